"""The winget and Scoop manifests as make dist writes them pass their schemas and carry
the archives' hashes; the check names each fault planted in a copy of them."""
import re
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
VERSION = "1.10"  # a version YAML would read as the number 1.1
ARCHIVES = {"x86": f"Tollevane-{VERSION}-win32.zip", "x64": f"Tollevane-{VERSION}-win64.zip"}
INSTALLER = "winget/Tollevane.Tollevane.installer.yaml"
SCOOP = "scoop/tollevane.json"
DIGITS = "1234567890" * 6 + "1234"  # a hash YAML would read as an integer
ZEROS = "0" * 64

# (file, pattern replaced once, replacement, a line the check must report)
PLANTED = [
    (INSTALLER, "[0-9A-F]{64}", ZEROS, "winget installer x86: Tollevane-1.10-win32.zip: hash " + ZEROS + " is not"),
    (INSTALLER, "'[0-9A-F]{64}'", DIGITS, "Installers/0/InstallerSha256: " + DIGITS + " is not of type 'string'"),
    (INSTALLER, "PackageVersion: '1.10'", "PackageVersion: 1.10", "PackageVersion: 1.1 is not of type 'string'"),
    (INSTALLER, "NestedInstallerType: 'portable'", "NestedInstallerType: 'zip'", "NestedInstallerType: 'zip' is not one of"),
    (SCOOP, "[0-9a-f]{64}", ZEROS, "scoop 32bit: Tollevane-1.10-win32.zip: hash " + ZEROS + " is not"),
    (SCOOP, '"bin"', '"persist": "x", "bin"', "Additional properties are not allowed ('persist' was unexpected)"),
]


def run(script: str, *args: str) -> tuple[int, list[str]]:
    done = subprocess.run([sys.executable, str(ROOT / "scripts" / script), *args], capture_output=True, text=True)
    return done.returncode, (done.stdout + done.stderr).splitlines()


class Manifests(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.dist = Path(scratch.name)
        for arch, name in ARCHIVES.items():
            with zipfile.ZipFile(self.dist / name, "w") as archive:
                archive.writestr("Tollevane.exe", arch)
        status, lines = run("package-manifests.py", "--version", VERSION, "--release-url",
                            "https://example.org/tollevane/", "--output", str(self.dist),
                            *(f"{arch}={self.dist / name}" for arch, name in ARCHIVES.items()))
        self.assertEqual(status, 0, lines)

    def test_as_written_they_pass(self):
        self.assertEqual(run("check-manifests.py", str(self.dist)), (0, ["manifests ok"]))

    def test_planted_faults_are_named(self):
        for name, old, new, expected in PLANTED:
            with self.subTest(expected=expected):
                path = self.dist / name
                original = path.read_text(encoding="utf-8")
                planted = re.sub(old, new, original, count=1)
                self.assertNotEqual(planted, original)
                path.write_text(planted, encoding="utf-8")
                status, lines = run("check-manifests.py", str(self.dist))
                path.write_text(original, encoding="utf-8")
                self.assertEqual(status, 1, lines)
                self.assertTrue(any(expected in line for line in lines), lines)


if __name__ == "__main__":
    unittest.main()
