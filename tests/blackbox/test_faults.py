"""Faults of the setup program, the file system and the log: the program must
end with a true line and a true code, or keep waiting, and never damage the log."""
import os
import time

import pytest

from conftest import START


def wait_for(condition, seconds=10.0):
    """Polls `condition` until it holds; fails the test after `seconds`."""
    deadline = time.monotonic() + seconds
    while not condition():
        assert time.monotonic() < deadline, "timed out"
        time.sleep(0.05)


def replace_log(prefix, data: bytes):
    """Puts `data` in place of the log by a rename, as a careful writer would."""
    temporary = prefix.log.with_name("replacement.tmp")
    temporary.write_bytes(data)
    os.replace(temporary, prefix.log)


def test_setup_that_crashes_before_recording_leaves_the_program_waiting(prefix):
    program = prefix.start(env={"SAMPLE_SETUP_RECORD": "none", "SAMPLE_SETUP_CRASH": "1"})
    try:
        wait_for(lambda: prefix.setup_reports())
        time.sleep(2.5)
        assert program.poll() is None, "a crash is no result: the wait goes on"
        # A value recorded later, by anyone, still ends the wait.
        replace_log(prefix, b"[ResponseResult]\r\nResultCode=8\r\n")
        output, errors = program.communicate(timeout=10)
    finally:
        program.kill()
    assert (output.decode(), errors, program.returncode) == (
        START + "Installation failed 8.\n", b"", 8)


def test_log_deleted_truncated_and_torn_during_the_wait_reads_as_pending(prefix):
    program = prefix.start(env={"SAMPLE_SETUP_RECORD": "none"})
    try:
        wait_for(lambda: prefix.setup_reports())
        steps = [
            ("delete", lambda: prefix.log.unlink()),
            ("truncate", lambda: prefix.log.write_bytes(b"")),
            ("torn", lambda: prefix.log.write_bytes(b"[ResponseResult]\r\nResultCo")),
            ("pending again",
             lambda: replace_log(prefix, b"[ResponseResult]\r\nResultCode=999\r\n")),
        ]
        for step, change in steps:
            change()
            time.sleep(1.3)
            assert program.poll() is None, f"ended after: {step}"
        replace_log(prefix, b"[ResponseResult]\r\nResultCode=0\r\n")
        output, _ = program.communicate(timeout=10)
    finally:
        program.kill()
    assert (output.decode(), program.returncode) == (START + "Installation succeeded.\n", 0)


def test_result_recorded_twice_between_reads_is_seen_in_its_last_form(prefix):
    program = prefix.start(env={"SAMPLE_SETUP_RECORD": "none"})
    try:
        wait_for(lambda: prefix.setup_reports())
        replace_log(prefix, b"[ResponseResult]\r\nResultCode=0\r\n")
        replace_log(prefix, b"[ResponseResult]\r\nResultCode=12\r\n")
        output, _ = program.communicate(timeout=10)
    finally:
        program.kill()
    assert (output.decode(), program.returncode) == (START + "Installation failed 12.\n", 12)


GARBAGE = bytes(range(256)) + b"\0\0\0"

# (why, log before the run, bytes that must survive the run unchanged)
HOSTILE_LOGS = [
    ("10 MB log, entry at its end",
     b"[Filler]\r\n" + b"key=" + b"x" * 60 + b"\r\n" + (b"k=" + b"v" * 62 + b"\r\n") * 160000
     + b"[ResponseResult]\r\nResultCode=0\r\n"),
    ("1 MB line inside the section",
     b"[ResponseResult]\r\nNote=" + b"n" * (1 << 20) + b"\r\nResultCode=0\r\n"),
    ("binary garbage and NUL bytes around and inside the section",
     GARBAGE + b"\r\n[ResponseResult]\r\n" + GARBAGE + b"\r\nResultCode=0\r\n" + GARBAGE),
]


@pytest.mark.parametrize("why,log", HOSTILE_LOGS, ids=[h[0] for h in HOSTILE_LOGS])
def test_hostile_log_is_read_and_kept_byte_for_byte(prefix, why, log):
    (prefix.drive_c / "Torvask").mkdir()
    prefix.log.write_bytes(log)
    result = prefix.run(env={"SAMPLE_SETUP_RECORD": "7"})
    assert (result.output, result.code) == (START + "Installation failed 7.\n", 7)
    assert prefix.log.read_bytes() == log.replace(b"ResultCode=0", b"ResultCode=7")


def test_value_of_ten_thousand_digits_wraps_as_the_platform_reads_it(prefix):
    result = prefix.run(env={"SAMPLE_SETUP_RECORD": "9" * 10000})
    # 10^10000 - 1 modulo 2^32 is 2^32 - 1, that is -1.
    assert (result.output, result.code) == (START + "Installation failed -1.\n", 255)


def test_nothing_of_the_program_is_left_open_or_running(prefix):
    program = prefix.start()
    pid = program.pid
    output, _ = program.communicate(timeout=20)
    assert output.decode() == START + "Installation succeeded.\n"
    [report] = prefix.setup_reports()
    assert report.splitlines()[-1] == "descriptors: 0 1 2"
    assert not os.path.exists(f"/proc/{pid}")
    # No temporary file of a log write is left behind.
    assert sorted(p.name for p in prefix.log.parent.iterdir()) == ["setup.log"]
