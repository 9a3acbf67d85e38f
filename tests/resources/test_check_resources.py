"""The resource check names what one language lacks or gets wrong, on a copy of the
resources with one fault planted at a time, and passes the resources as they are."""
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SCRIPT = ROOT / "scripts" / "check-resources.py"
WINDRES = sys.argv[1] if len(sys.argv) > 1 else "i686-w64-mingw32-windres"

# (file, text replaced, replacement, the one line reported)
PLANTED = [
    ("en/Tollevane.rc", '  IDS_VETO_UNKNOWN "Windows did not say why the removal was refused."\n', "",
     "string IDS_VETO_UNKNOWN (145): no English text"),
    ("en/Tollevane.rc", "'%s' has been", "'%d' has been",
     "string IDS_CONGRATULATION (112): placeholders differ: Japanese %s %d, English %d %d"),
    ("en/DeviceListPage.rc", 'PUSHBUTTON "&Clear"', 'PUSHBUTTON "解除"',
     "dialog IDD_DEVICE_LIST (133): Japanese characters in the English text '解除'"),
    ("SettingsPages.rc", "  COMBOBOX IDC_OPTIONS_LANGUAGE, 17, 166, 100, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP\n", "",
     "dialog IDD_OPTIONS (108): ids only in English: 1031 (IDC_OPTIONS_LANGUAGE)"),
    ("en/Resident.rc", "IDD_WAIT DIALOGEX",
     'IDM_TRAY + 65 MENU\nBEGIN\n  POPUP "x"\n  BEGIN\n    MENUITEM "y", 1\n  END\nEND\nIDD_WAIT DIALOGEX',
     "menu 199: no Japanese text"),
]


def check(folder):
    run = subprocess.run([sys.executable, str(SCRIPT), str(folder), "--windres", WINDRES],
                         capture_output=True, text=True)
    return run.returncode, run.stdout.splitlines()


class ResourceCheck(unittest.TestCase):
    def test_resources_as_they_are_pass(self):
        self.assertEqual(check(ROOT / "src" / "resources")[0], 0)

    def test_planted_faults_are_named(self):
        for name, old, new, expected in PLANTED:
            with self.subTest(expected=expected), tempfile.TemporaryDirectory() as scratch:
                folder = Path(scratch) / "resources"
                shutil.copytree(ROOT / "src" / "resources", folder)
                path = folder / name
                text = path.read_text(encoding="utf-8")
                self.assertIn(old, text)
                path.write_text(text.replace(old, new, 1), encoding="utf-8")
                status, lines = check(folder)
                self.assertEqual((status, lines[:-1]), (1, [expected]))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
