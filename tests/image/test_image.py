"""The built unattended.exe as a Windows program image, read with pefile."""
import os
import struct
import subprocess
from pathlib import Path

import pefile
import pytest

WINDOWS_DIR = Path(os.environ["UNATTENDED_WINDOWS_DIR"])
SOURCE_DIR = Path(__file__).resolve().parents[2]
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


@pytest.fixture(scope="module")
def pe():
    return pefile.PE(str(WINDOWS_DIR / "unattended.exe"))


def resource(pe, type_id, name_id):
    """(language id, bytes) of the resource `type_id`/`name_id`."""
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if rtype.id != type_id:
            continue
        for name in rtype.directory.entries:
            if name.id == name_id:
                [lang] = name.directory.entries
                data = lang.data.struct
                return lang.id, pe.get_data(data.OffsetToData, data.Size)
    raise AssertionError(f"no resource {type_id}/{name_id}")


def test_is_a_32_bit_console_program_of_subsystem_4(pe):
    assert pe.OPTIONAL_HEADER.Magic == 0x10B  # PE32
    assert pe.FILE_HEADER.Machine == 0x14C  # i386
    assert pe.OPTIONAL_HEADER.Subsystem == 3  # console
    assert (pe.OPTIONAL_HEADER.MajorSubsystemVersion,
            pe.OPTIONAL_HEADER.MinorSubsystemVersion) == (4, 0)


def test_imports_only_what_a_clean_windows_has(pe):
    imports = {entry.dll.decode().lower(): {i.name.decode() for i in entry.imports if i.name}
               for entry in pe.DIRECTORY_ENTRY_IMPORT}
    assert set(imports) == {"kernel32.dll", "msvcrt.dll"}
    assert {"CreateDirectoryA", "GetLastError", "WritePrivateProfileStringA",
            "GetPrivateProfileIntA", "Sleep", "CreateProcessA", "WaitForSingleObject",
            "CloseHandle"} <= imports["kernel32.dll"]
    assert "vprintf" in imports["msvcrt.dll"]


def test_carries_no_time_stamp_and_no_build_paths(pe):
    assert pe.FILE_HEADER.TimeDateStamp == 0
    data = (WINDOWS_DIR / "unattended.exe").read_bytes()
    assert str(SOURCE_DIR).encode() not in data
    assert str(WINDOWS_DIR).encode() not in data


def test_version_record(pe):
    lang, _ = resource(pe, RT_VERSION, 1)
    assert lang == 1033
    [fixed] = pe.VS_FIXEDFILEINFO
    assert (fixed.FileVersionMS, fixed.FileVersionLS) == (0x00010000, 0x00000001)
    assert (fixed.ProductVersionMS, fixed.ProductVersionLS) == (0x00010000, 0x00000001)
    assert (fixed.FileFlagsMask, fixed.FileFlags) == (0x3F, 0)
    assert (fixed.FileOS, fixed.FileType, fixed.FileSubtype) == (4, 1, 0)
    assert (fixed.FileDateMS, fixed.FileDateLS) == (0, 0)
    tables, translations = [], []
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            tables = info.StringTable
        elif info.Key == b"VarFileInfo":
            translations = [var.entry for var in info.Var]
    [table] = tables
    assert table.LangID == b"040904e4"
    entries = [(k.decode(), v.decode()) for k, v in table.entries.items()]
    assert [k for k, _ in entries] == [
        "CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
        "OriginalFilename", "ProductName", "ProductVersion"]
    values = dict(entries)
    assert values["FileVersion"] == values["ProductVersion"] == "Version 1.0"
    assert values["ProductName"] == "Torvask"
    assert values["OriginalFilename"] == "unattended.exe"
    assert values["InternalName"] == "unattended"
    assert all(values.values())
    assert translations == [{b"Translation": "0x0409 0x04e4"}]


def test_icon_group_has_the_four_images_in_order(pe):
    _, group = resource(pe, RT_GROUP_ICON, 1)
    reserved, kind, count = struct.unpack_from("<HHH", group)
    assert (reserved, kind, count) == (0, 1, 4)
    seen = []
    for i in range(count):
        width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from(
            "<BBBBHHIH", group, 6 + 14 * i)
        _, image = resource(pe, RT_ICON, icon_id)
        assert len(image) == size
        header_size, w, h, _, image_bits = struct.unpack_from("<IiiHH", image)
        # Colour bitmap and transparency mask: twice the height.
        assert (header_size, w, h, image_bits) == (40, width, 2 * height, bits)
        seen.append((width, height, colours, bits))
    assert seen == [(32, 32, 16, 4), (16, 16, 16, 4), (16, 16, 2, 1), (32, 32, 2, 1)]


def test_manifest_runs_as_invoker(pe):
    _, manifest = resource(pe, RT_MANIFEST, 1)
    assert b'level="asInvoker"' in manifest


def test_icon_is_rebuilt_from_its_source(tmp_path):
    out = tmp_path / "icon.ico"
    subprocess.run(["/usr/bin/python3", str(SOURCE_DIR / "res" / "make_icon.py"), str(out)],
                   check=True)
    assert out.read_bytes() == (SOURCE_DIR / "res" / "unattended.ico").read_bytes()
