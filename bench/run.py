#!/usr/bin/python3
"""What unattended costs on top of the installer, beside a shell script doing
the same job: overhead, CPU while waiting, peak memory and size. Native build
only; both are measured in the same run, alternating.

    /usr/bin/python3 bench/run.py [--runs N] [--long-runs N] [--write bench/RESULTS.md]
"""
import argparse
import errno
import os
import platform
import shutil
import statistics
import subprocess
import tempfile
import time
from datetime import date
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
NATIVE = ROOT / "build" / "native"
SETUP = NATIVE / "setup.exe"
LOG = "-f2C:\\Torvask\\setup.log"
# Process start times here vary by about a millisecond from run to run, so a
# CPU or time difference below this is noise, not a figure to divide by.
NOISE_MS = 1.0


def fresh_prefix():
    root = Path(tempfile.mkdtemp(prefix="unattended-bench-"))
    (root / "drive_c").mkdir()
    (root / "dosdevices").mkdir()
    (root / "dosdevices" / "c:").symlink_to("../drive_c")
    return root


def measure(command, env):
    """(wall seconds, user+system CPU seconds) of one run of `command`."""
    started = time.perf_counter()
    child = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)
    wall = time.perf_counter() - started
    assert child.returncode == 0, f"{command} failed: {child.returncode}"
    return wall, usage.ru_utime + usage.ru_stime


def peak_memory_kb(command, env):
    """Peak resident memory of `command`, measured by GNU time, a small parent."""
    out = subprocess.run(["/usr/bin/time", "-f", "%M", *command], env=env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(out.stderr.decode().strip().splitlines()[-1])


def ratio(peer, ours):
    """peer/ours for two figures in ms as "N.Nx"; "-" when either is at or
    below the noise floor, where a quotient would mean nothing."""
    if peer <= NOISE_MS or ours <= NOISE_MS:
        return "-"
    return f"{peer / ours:.1f}x"


def wine_note():
    """Why the Windows build is not timed, as it stands on this machine."""
    try:
        subprocess.run(["/usr/lib/wine/wine", "--version"], capture_output=True, timeout=60)
        why = "which this script does not drive yet"
    except OSError as error:
        why = ("which cannot start on this machine: its kernel runs no 32-bit code"
               if error.errno == errno.ENOEXEC else "which is not installed here")
    return ("Only the native build is timed: the Windows build and a `.cmd` peer\n"
            f"would need 32-bit Wine, {why}.\n\n")


def environment(prefix, delay_ms):
    return {"PATH": "/usr/bin:/bin", "WINEPREFIX": str(prefix),
            "SAMPLE_SETUP_DELAY_MS": str(delay_ms)}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=41)
    parser.add_argument("--long-runs", type=int, default=5)
    parser.add_argument("--write")
    args = parser.parse_args()

    programs = {
        "unattended": [str(NATIVE / "unattended")],
        "shell script": ["/bin/sh", str(ROOT / "bench" / "peer.sh"), str(SETUP)],
    }
    prefix = fresh_prefix()
    try:
        quick = {name: [] for name in programs}
        quick_cpu = {name: [] for name in programs}
        setup_alone = []
        # The start of a program that does nothing: the floor under any
        # overhead, since a run starts the program and then setup.
        bare_start = []
        env = environment(prefix, 0)
        for _ in range(args.runs):
            for name, command in programs.items():
                (prefix / "drive_c" / "torvask").mkdir(exist_ok=True)
                bare_start.append(measure(["/bin/true"], env)[0])
                setup_alone.append(measure([str(SETUP), "-s", LOG], env)[0])
                wall, cpu = measure(command, env)
                quick[name].append(wall)
                quick_cpu[name].append(cpu)
        setup_median = statistics.median(setup_alone)
        long_cpu = {name: [] for name in programs}
        long_env = environment(prefix, 20000)
        for _ in range(args.long_runs):
            for name, command in programs.items():
                long_cpu[name].append(measure(command, long_env)[1])
        memory = {name: peak_memory_kb(command, env) for name, command in programs.items()}
    finally:
        shutil.rmtree(prefix)

    sizes = {"unattended": (NATIVE / "unattended").stat().st_size,
             "shell script": (ROOT / "bench" / "peer.sh").stat().st_size}
    windows_exe = ROOT / "build" / "windows" / "unattended.exe"
    rows = []
    for name in programs:
        overhead_ms = (statistics.median(quick[name]) - setup_median - 1.0) * 1000
        added_cpu_ms = (statistics.median(long_cpu[name]) - statistics.median(quick_cpu[name])) * 1000
        rows.append((name, overhead_ms, added_cpu_ms, memory[name], sizes[name]))
    base = rows[0]
    lines = [
        "| program | overhead (ms) | CPU added by a 20 s setup (ms) | peak RSS (KiB) | size (bytes) |",
        "|---|---|---|---|---|",
    ]
    for name, overhead, cpu, rss, size in rows:
        lines.append(f"| {name} | {overhead:.2f} | {cpu:.2f} | {rss} | {size} |")
    peer = rows[1]
    lines.append(f"| peer / unattended | {ratio(peer[1], base[1])} | {ratio(peer[2], base[2])} | "
                 f"{peer[3] / base[3]:.1f}x | |")
    if windows_exe.exists():
        lines.append("")
        lines.append(f"unattended.exe (Windows build, with resources): "
                     f"{windows_exe.stat().st_size} bytes")
    lines.append("")
    lines.append(f"Sample setup alone: median {setup_median * 1000:.2f} ms over "
                 f"{len(setup_alone)} runs; {args.runs} quick and {args.long_runs} "
                 f"20-second runs of each program.")
    lines.append("")
    quartiles = statistics.quantiles(bare_start, n=4)
    lines.append(f"Start of /bin/true, which does nothing: median "
                 f"{statistics.median(bare_start) * 1000:.2f} ms, quartiles "
                 f"{quartiles[0] * 1000:.2f} and {quartiles[2] * 1000:.2f} ms.")
    table = "\n".join(lines)
    print(table)
    if args.write:
        machine = f"{platform.node()}, {os.cpu_count()} cores, {platform.platform()}"
        Path(args.write).write_text(
            "# Benchmark results\n\n"
            f"Machine: {machine}. Date: {date.today().isoformat()}.\n\n"
            f"Command: `/usr/bin/python3 bench/run.py --runs {args.runs} "
            f"--long-runs {args.long_runs} --write {args.write}`\n\n"
            "Overhead is wall time minus the sample setup's own run time minus the\n"
            "1000 ms that the first poll waits by design. It includes the start of\n"
            "the program itself, whose floor is the start of /bin/true below; on a\n"
            "virtual machine that varies by milliseconds from minute to minute.\n"
            "CPU is user + system time of the program and the setup it runs; the\n"
            "difference between a setup that waits 20 s and one that ends at once\n"
            "is what waiting costs. Both programs block while they wait, so it is\n"
            "noise-level, and a ratio of two such figures is shown as \"-\".\n\n"
            "The native `unattended` is linked statically (its size is mostly the\n"
            "C library); linked dynamically, and starting setup with fork, its\n"
            "overhead was 8 to 11 ms. It starts setup with posix_spawn, which does\n"
            "not copy the parent's page tables as fork does.\n\n"
            + wine_note() + table + "\n")


if __name__ == "__main__":
    main()
