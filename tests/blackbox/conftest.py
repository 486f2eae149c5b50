"""Runs the built program for real, in a fresh Windows prefix for each test.

The native build runs directly against the POSIX layer, which maps C: into
$WINEPREFIX/dosdevices/c:. Each test gets a prefix of its own; nothing touches
a real ~/.wine.
"""
import os
import shutil
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path

import pytest

START = "Starting unattended installation.\n"


@dataclass
class Result:
    code: int
    output: str
    seconds: float


class Prefix:
    """A throwaway prefix with drive C: and the program beside the sample setup."""

    def __init__(self, root: Path, build: Path):
        self.root = root
        self.drive_c = root / "drive_c"
        self.drive_c.mkdir()
        (root / "dosdevices").mkdir()
        (root / "dosdevices" / "c:").symlink_to("../drive_c")
        self.build = build
        self.work = root / "work"
        self.work.mkdir()
        self.report = root / "report.txt"

    @property
    def log(self) -> Path:
        """C:\\Torvask\\setup.log on the host, the folder found in any case."""
        for entry in self.drive_c.iterdir():
            if entry.name.lower() == "torvask":
                return entry / "setup.log"
        return self.drive_c / "torvask" / "setup.log"

    def environment(self, env=None) -> dict:
        """The program's environment, with the sample setup's settings in `env`."""
        environment = {
            "PATH": "/usr/bin:/bin",
            "HOME": str(self.root),
            "WINEPREFIX": str(self.root),
            "SAMPLE_SETUP_REPORT": str(self.report),
        }
        environment.update(env or {})
        return environment

    def start(self, env=None) -> subprocess.Popen:
        """Starts the program in the background, its output on a pipe."""
        return subprocess.Popen([str(self.build / "unattended")], env=self.environment(env),
                                cwd=self.work, stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def run(self, args=(), env=None, program=None, stdout_file=None) -> Result:
        """Runs the program with the sample setup's settings in `env`."""
        environment = self.environment(env)
        command = [str(program or self.build / "unattended"), *args]
        started = time.monotonic()
        if stdout_file is not None:
            with open(stdout_file, "wb") as out:
                completed = subprocess.run(command, env=environment, cwd=self.work,
                                           stdout=out, stderr=subprocess.PIPE, timeout=60)
            output = Path(stdout_file).read_bytes()
        else:
            completed = subprocess.run(command, env=environment, cwd=self.work,
                                       capture_output=True, timeout=60)
            output = completed.stdout
        seconds = time.monotonic() - started
        assert completed.stderr == b"", "nothing goes to standard error"
        return Result(completed.returncode, output.decode(), seconds)

    def setup_reports(self) -> list:
        """The reports of every sample setup process started, one block each."""
        if not self.report.exists():
            return []
        text = self.report.read_text()
        return ["args:" + block for block in text.split("args:")[1:]]


@pytest.fixture
def prefix(tmp_path):
    build = Path(os.environ["UNATTENDED_NATIVE_DIR"])
    return Prefix(tmp_path, build)
