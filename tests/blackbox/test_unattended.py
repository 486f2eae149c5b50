"""The built program with the sample setup program, end to end: the exact
lines, the exit status and the log it leaves."""
import os
import shutil

import pytest

from conftest import START

PENDING_LOG = b"[ResponseResult]\r\nResultCode=999\r\n"


def exit_status(code):
    """The process exit status for a result code: the host keeps the low 8 bits."""
    return code & 0xFF


# (name, sample setup settings, result code, line after the start line)
OUTCOMES = [
    ("success", {}, 0, "Installation succeeded.\n"),
    ("failure", {"SAMPLE_SETUP_RECORD": "5"}, 5, "Installation failed 5.\n"),
    ("negative", {"SAMPLE_SETUP_RECORD": "-3"}, -3, "Installation failed -3.\n"),
    ("setup records 100", {"SAMPLE_SETUP_RECORD": "100"}, 100, "Installation failed 100.\n"),
    ("setup's own status ignored", {"SAMPLE_SETUP_EXIT": "7"}, 0, "Installation succeeded.\n"),
    ("recorded after setup exited",
     {"SAMPLE_SETUP_RECORD": "none", "SAMPLE_SETUP_LATER": "0", "SAMPLE_SETUP_LATER_MS": "1500"},
     0, "Installation succeeded.\n"),
    ("pending first, then a result",
     {"SAMPLE_SETUP_RECORD": "999", "SAMPLE_SETUP_LATER": "4", "SAMPLE_SETUP_LATER_MS": "1200"},
     4, "Installation failed 4.\n"),
]


@pytest.mark.parametrize("name,env,code,line", OUTCOMES, ids=[o[0] for o in OUTCOMES])
def test_outcome_of_the_recorded_result(prefix, name, env, code, line):
    result = prefix.run(env=env)
    assert result.output == START + line
    assert result.code == exit_status(code)
    value = prefix.log.read_text().split("ResultCode=")[1].split("\r\n")[0]
    assert int(value) == code


def test_setup_gets_the_silent_command_line_and_nothing_of_the_program(prefix):
    prefix.run(args=["-x", "/uninstall"])
    [report] = prefix.setup_reports()
    assert report.splitlines() == [
        "args: [setup] [-s] [-f2C:\\Torvask\\setup.log]",
        f"cwd: {prefix.work}",
        "descriptors: 0 1 2",
    ]


def test_arguments_change_nothing(prefix):
    result = prefix.run(args=["--help", "/q", "-s"])
    assert (result.output, result.code) == (START + "Installation succeeded.\n", 0)


def test_stale_success_is_overwritten_and_other_sections_kept(prefix):
    (prefix.drive_c / "Torvask").mkdir()
    prefix.log.write_bytes(b"[Setup]\r\nLang=en\r\n\r\n[ResponseResult]\r\nResultCode=0\r\nNote=old\r\n")
    # This setup records nothing itself; a value arrives 1.5 s after it ends.
    result = prefix.run(env={"SAMPLE_SETUP_RECORD": "none", "SAMPLE_SETUP_LATER": "6",
                             "SAMPLE_SETUP_LATER_MS": "1500"})
    assert (result.output, result.code) == (START + "Installation failed 6.\n", 6)
    assert prefix.log.read_bytes() == (
        b"[Setup]\r\nLang=en\r\n\r\n[ResponseResult]\r\nResultCode=6\r\nNote=old\r\n")


def test_existing_folder_in_another_case_is_accepted(prefix):
    (prefix.drive_c / "TORVASK").mkdir()
    result = prefix.run()
    assert (result.output, result.code) == (START + "Installation succeeded.\n", 0)
    assert (prefix.drive_c / "TORVASK" / "setup.log").exists()
    assert not (prefix.drive_c / "torvask").exists()


def test_first_read_comes_a_second_after_setup_ended(prefix):
    # Setup records 0 and exits; 600 ms later its helper records 5. A read
    # sooner than that would report success.
    result = prefix.run(env={"SAMPLE_SETUP_RECORD": "0", "SAMPLE_SETUP_LATER": "5",
                             "SAMPLE_SETUP_LATER_MS": "600"})
    assert (result.output, result.code) == (START + "Installation failed 5.\n", 5)
    assert result.seconds >= 1.0


def test_waits_for_a_long_setup(prefix):
    result = prefix.run(env={"SAMPLE_SETUP_DELAY_MS": "2500"})
    assert (result.output, result.code) == (START + "Installation succeeded.\n", 0)
    assert result.seconds >= 3.5


def test_setup_not_found(prefix, tmp_path):
    alone = tmp_path / "alone"
    alone.mkdir()
    shutil.copy2(prefix.build / "unattended", alone / "unattended")
    result = prefix.run(program=alone / "unattended")
    assert result.output == START + "Error while launching setup.exe.\nInstallation failed 100.\n"
    assert result.code == 100
    assert prefix.log.read_bytes() == PENDING_LOG


def test_folder_cannot_be_created(prefix):
    link = prefix.root / "dosdevices" / "c:"
    link.unlink()
    link.symlink_to("/nonexistent/drive")
    result = prefix.run()
    assert result.output == START + "Error while creating C:\\Torvask.\nInstallation failed 3.\n"
    assert result.code == 3
    assert prefix.setup_reports() == []


@pytest.mark.parametrize("obstacle,code", [("log is a folder", 5), ("Torvask is a file", 3)])
def test_log_cannot_be_armed(prefix, obstacle, code):
    if obstacle == "log is a folder":
        (prefix.drive_c / "torvask" / "setup.log").mkdir(parents=True)
    else:
        (prefix.drive_c / "Torvask").write_text("not a folder")
    result = prefix.run()
    assert result.output == (START + "Error while writing C:\\Torvask\\setup.log.\n"
                             f"Installation failed {code}.\n")
    assert result.code == code
    assert prefix.setup_reports() == []


def test_output_redirected_to_a_file_has_every_line_in_order(prefix, tmp_path):
    out = tmp_path / "out.txt"
    result = prefix.run(env={"SAMPLE_SETUP_RECORD": "5", "SAMPLE_SETUP_DELAY_MS": "300"},
                        stdout_file=out)
    assert result.output == START + "Installation failed 5.\n"
    assert result.code == 5
