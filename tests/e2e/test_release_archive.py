"""The release archive as a user downloads it: what it holds, that nothing of the build
machine is in it (so that every build of a commit gives the same bytes), and that the
program runs from the folder it is unpacked into, with its shortcut and its help."""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile
from pathlib import Path, PureWindowsPath

import harness
from compiled_help import extract, topic_table
from driver import Resident, help_requests
from formats import read_shortcut, settings_text
from harness import wait_until
from texts import ID_HELP, TOPICS

# Each help file and read-me in Japanese, then in English.
ENTRIES = ["Tollevane.exe", "Tollevane.com", "Tollevane.chm", "Tollevane.en.chm", "Readme.txt", "Readme.en.txt"]
IDH_MAIN = TOPICS["main"]
FILE_ATTRIBUTE_ARCHIVE = 0x20
BOM = b"\xef\xbb\xbf"
SYSTEM_COMPILE_TIME = 10


def archive_file() -> Path:
    archive = harness.paths().archive
    if archive is None or not archive.exists():
        raise harness.HarnessError(f"the release archive {archive} is not built")
    return archive


def commit_time(source: Path) -> int:
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    out = subprocess.run(["git", "-C", str(source), "log", "-1", "--format=%ct"],
                         capture_output=True, text=True, check=True).stdout
    return int(out)


def pe_timestamp(exe: bytes) -> int:
    (header,) = struct.unpack_from("<I", exe, 0x3C)
    if exe[header:header + 4] != b"PE\0\0":
        raise AssertionError("not a PE file")
    (stamp,) = struct.unpack_from("<I", exe, header + 8)
    return stamp


def system_records(system: bytes) -> dict[int, bytes]:
    """#SYSTEM: a version dword, then records of a code word, a length word and data."""
    records, pos = {}, 4
    while pos + 4 <= len(system):
        code, length = struct.unpack_from("<HH", system, pos)
        records[code] = system[pos + 4:pos + 4 + length]
        pos += 4 + length
    return records


def path_forms(path: Path) -> list[bytes]:
    """How a build folder could appear inside a file: as UTF-8 or UTF-16 text, with
    slashes or, as Wine would name it, as a Z: path with backslashes."""
    text = str(path)
    forms = [text, "Z:" + text.replace("/", "\\")]
    return [f.encode("utf-8") for f in forms] + [f.encode("utf-16-le") for f in forms]


class ReleaseArchive(unittest.TestCase):

    def setUp(self):
        self.archive = archive_file()
        self.config = harness.paths()

    def test_entries_carry_the_commit_time_and_nothing_of_the_builder(self):
        # An entry's time counts in steps of two seconds.
        expected_time = time.gmtime(commit_time(self.config.source) // 2 * 2)[:6]
        with zipfile.ZipFile(self.archive) as archive:
            infos = archive.infolist()
            self.assertEqual([i.filename for i in infos], ENTRIES, "these entries, in this order")
            self.assertEqual(archive.comment, b"")
            for info in infos:
                with self.subTest(entry=info.filename):
                    self.assertEqual(info.date_time, expected_time)
                    self.assertEqual((info.create_system, info.external_attr), (0, FILE_ATTRIBUTE_ARCHIVE))
                    self.assertEqual(info.extra, b"", "no owner, mode or time fields")
                    self.assertEqual(info.compress_type, zipfile.ZIP_DEFLATED)
            # The archive packs what this build made.
            build = self.config.exe.parent
            self.assertEqual(archive.read("Tollevane.exe"), self.config.exe.read_bytes())
            self.assertEqual(archive.read("Tollevane.com"), self.config.exe.with_suffix(".com").read_bytes())
            for chm in ("Tollevane.chm", "Tollevane.en.chm"):
                self.assertEqual(archive.read(chm), (build / chm).read_bytes())

    def test_packing_ignores_file_times_and_folders(self):
        # The same inputs, copied elsewhere with other modification times, give the same bytes.
        with tempfile.TemporaryDirectory(prefix="repack-") as folder:
            folder = Path(folder)
            build = self.config.exe.parent
            inputs = {"Tollevane.exe": self.config.exe, "Tollevane.com": self.config.exe.with_suffix(".com"),
                      "Tollevane.chm": build / "Tollevane.chm", "Tollevane.en.chm": build / "Tollevane.en.chm",
                      "Readme.txt": self.config.source / "release" / "Readme.txt",
                      "Readme.en.txt": self.config.source / "release" / "Readme.en.txt"}
            copies = {}
            for index, (name, path) in enumerate(inputs.items()):
                copies[name] = folder / "in" / str(index) / name
                copies[name].parent.mkdir(parents=True)
                shutil.copyfile(path, copies[name])
                os.utime(copies[name], (1_000_000_000 + index, 1_000_000_000 + index))
            version = re.fullmatch(r"Tollevane-(.+)-win(?:32|64)\.zip", self.archive.name).group(1)
            output = folder / "out" / self.archive.name
            output.parent.mkdir()
            subprocess.run([sys.executable, str(self.config.source / "scripts" / "pack-release.py"),
                            "--output", str(output), "--version", version, "--source", str(self.config.source),
                            f"Tollevane.exe={copies['Tollevane.exe']}", f"Tollevane.com={copies['Tollevane.com']}",
                            f"Tollevane.chm={copies['Tollevane.chm']}",
                            f"Tollevane.en.chm={copies['Tollevane.en.chm']}",
                            "--text", f"Readme.txt={copies['Readme.txt']}",
                            "--text", f"Readme.en.txt={copies['Readme.en.txt']}"], check=True, cwd=folder)
            self.assertEqual(output.read_bytes(), self.archive.read_bytes())

    def test_no_build_folder_or_build_time_in_the_program_or_the_help(self):
        build = self.config.exe.parent
        forbidden = path_forms(self.config.source) + path_forms(build)
        with zipfile.ZipFile(self.archive) as archive, tempfile.TemporaryDirectory(prefix="chm-") as folder:
            exe = archive.read("Tollevane.exe")
            companion = archive.read("Tollevane.com")
            self.assertEqual(pe_timestamp(exe), 0, "the link time is left out")
            self.assertEqual(pe_timestamp(companion), 0, "the companion's link time is left out")
            chm = Path(folder) / "Tollevane.chm"
            chm.write_bytes(archive.read("Tollevane.chm"))
            streams = {"(file)": chm.read_bytes(), "(program)": exe, "(companion)": companion}
            for name in extract(chm, Path(folder) / "streams"):
                stored = Path(folder) / "streams" / name.lstrip("/")
                if stored.is_file():
                    streams[name] = stored.read_bytes()
            for name, data in streams.items():
                for form in forbidden:
                    self.assertNotIn(form, data, f"{name} holds a build path")
            self.assertEqual(chm.read_bytes()[0x10:0x14], bytes(4), "no compile time in the header")
            self.assertEqual(system_records(streams["#SYSTEM"]).get(SYSTEM_COMPILE_TIME), bytes(4),
                             "no compile time in #SYSTEM")

    def test_readme_is_windows_text_with_the_switches_and_the_settings_file(self):
        with zipfile.ZipFile(self.archive) as archive:
            raw = archive.read("Readme.txt")
        self.assertTrue(raw.startswith(BOM), "Notepad recognises UTF-8 by its byte-order mark")
        self.assertNotRegex(raw, rb"(?<!\r)\n", "CRLF line ends")
        text = raw[len(BOM):].decode("utf-8")
        version = re.fullmatch(r"Tollevane-(.+)-win(?:32|64)\.zip", self.archive.name).group(1)
        self.assertTrue(text.startswith(f"Tollevane {version}\r\n"))
        self.assertNotIn("@", text, "every placeholder replaced")
        for needed in ('"/create"', '"/delete"', "/utf8", "Tollevane.com", r"%APPDATA%\Tollevane\Tollevane.ini", "Tollevane.LNK",
                       f"Tollevane-{version}-win32.zip", f"Tollevane-{version}-win64.zip"):
            self.assertIn(needed, text)


class UnpackedProgram(harness.TestCase):

    def test_runs_resident_creates_its_shortcut_and_opens_its_help_from_program_files(self):
        archive = archive_file()
        with self.session("10") as s:
            # "Extract all" proposes a folder named after the archive.
            folder = PureWindowsPath(r"C:\Program Files") / archive.stem
            self.assertEqual(s.install_archive(archive, str(folder)), ENTRIES)
            s.write_settings(settings_text({"STARTUP": 0}))
            resident = Resident.start(s, env={"WINEDEBUG": "trace+htmlhelp"})

            created = s.run_tollevane("/create")
            self.assertEqual(created.status, 0, created.stderr[-1000:])
            shortcut = read_shortcut(s.shortcut)
            self.assertEqual((shortcut.target, shortcut.working_dir),
                             (str(folder / "Tollevane.exe"), str(folder)))

            # The tray menu's help item asks for the main topic of the help file beside the program...
            resident.command(ID_HELP)

            def requests() -> list[tuple[str, int]]:
                return [(asked.path, asked.topic) for asked in help_requests(resident.process)]

            wait_until(lambda: requests(), what="the help request")
            self.assertEqual(requests()[0], (str(folder / "Tollevane.chm"), IDH_MAIN))

            # ...the help component opens a window for it...
            def help_windows():
                return [w for w in s.windows() if w.process.lower() == "tollevane.exe" and w.class_name == "HH Parent"]

            wait_until(help_windows, what="the program's help window")
            # ...and the topic leads to a page stored in the unpacked file.
            with tempfile.TemporaryDirectory(prefix="chm-") as folder_on_host:
                streams = extract(s.unix_path(folder / "Tollevane.chm"), Path(folder_on_host))
                with open(Path(folder_on_host) / "#IVB", "rb") as ivb, \
                        open(Path(folder_on_host) / "#STRINGS", "rb") as strings:
                    target = topic_table(ivb.read(), strings.read())[IDH_MAIN]
                self.assertIn("/" + target.lstrip("/"), {"/" + n.lstrip("/") for n in streams})
                self.assertEqual(target, "main.html")


if __name__ == "__main__":
    unittest.main()
