"""Screenshots of every window of the program at a given screen scale, to look at:
the tray icon and menu, the four pages of the settings sheet (with a present and
an absent registration), the hotkey entry dialog, the wait dialog, the forced-stop
question and the exit question.

    python3 tests/e2e/dpi_screenshots.py --build build/win32 --out DIR [--dpi 96 144]

Each picture is DIR/<dpi>/<window>.png."""

import argparse
import os
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=str(HERE.parents[1] / "build" / "win32"))
    parser.add_argument("--out", required=True)
    parser.add_argument("--dpi", type=int, nargs="+", default=[96, 144])
    args = parser.parse_args()
    build = Path(args.build).resolve()
    os.environ.update(TOLLEVANE_EXE=str(build / "Tollevane.exe"),
                      TOLLEVANE_E2E_HELPERS=str(build / "tests" / "e2e" / "helpers"),
                      TOLLEVANE_E2E_WORK=str(build / "e2e"), TOLLEVANE_SOURCE=str(HERE.parents[1]))
    sys.path.insert(0, str(HERE))
    for dpi in args.dpi:
        shoot(dpi, Path(args.out) / str(dpi))
    return 0


def shoot(dpi: int, out: Path) -> None:
    import harness
    from formats import Entry, settings_text
    from simulated_devices import DeviceTreeFile, EjectLog, tree_environment

    out.mkdir(parents=True, exist_ok=True)
    wm_command, wm_traynotify, psm_setcursel = 0x0111, 0x8001, 0x0465
    devices = DeviceTreeFile("resident_devices.tree")
    with harness.Session(f"dpi-{dpi}", "10", desktop=True) as s:
        s.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi))
        log = EjectLog(s)
        s.write_settings(settings_text({"STARTUP": 0}, {
            "001": Entry("Long Disk USB Device", "ctrl+alt+f5"),
            "002": Entry("Missing Card", "ctrl+alt+f6", kind=0x02, times=12)}))
        s.start_tollevane(env=tree_environment(devices, log))
        main = s.wait_window(title="Tollevane", class_name="Tollevane")
        harness.wait_until(lambda: s.hotkey_taken("ctrl+alt+f5"), 15, what="hotkeys")

        def shot(name: str) -> None:
            s.screenshot(out / f"{name}.png")

        shot("desktop-tray")
        s.helper("postmsg", main, str(wm_traynotify), "0", str(0x0204))
        s.wait_window(class_name="#32768", visible=True, timeout=10)
        shot("tray-menu")
        s.press("esc")
        s.wait_window_gone(class_name="#32768", timeout=10)

        s.helper("postmsg", main, str(wm_traynotify), "0", str(0x0203))
        sheet = s.wait_window(title="Tollevane", class_name="#32770", visible=True)
        for index in range(4):
            s.helper("postmsg", sheet, str(psm_setcursel), str(index))
            harness.wait_until(lambda: len([c for c in s.controls(sheet)[1:]
                                            if c.class_name == "#32770" and c.visible]) == 1, 10)
            import time
            time.sleep(0.5)  # the page paints
            shot(f"sheet-page{index}")
        s.helper("postmsg", sheet, str(psm_setcursel), "0")
        import time
        time.sleep(0.5)
        page = next(c.handle for c in s.controls(sheet)[1:] if c.class_name == "#32770" and c.visible)
        list_view = next(c.handle for c in s.controls(page) if c.control_id == 1000)
        s.helper("listview", list_view, "--select", "0")
        s.click(page, control_id=1001)
        dialog = s.wait_window(title="ホットキーの設定", class_name="#32770", visible=True)
        time.sleep(0.5)
        shot("hotkey-dialog")
        s.click(dialog, control_id=2)
        s.wait_window_gone(title="ホットキーの設定", class_name="#32770")
        s.click(sheet, control_id=2)
        s.wait_window_gone(title="Tollevane", class_name="#32770", timeout=15)
        harness.wait_until(lambda: s.hotkey_taken("ctrl+alt+f5"), 15, what="hotkeys again")

        s.press("ctrl+alt+f5")
        s.wait_window(title="Tollevane", class_name="#32770", visible=True, timeout=15)
        time.sleep(0.5)
        shot("wait-dialog")
        s.press("esc")
        s.message_box(title="Tollevane 確認", timeout=10)
        time.sleep(0.3)
        shot("force-stop-question")
        s.answer("yes", title="Tollevane 確認")
        s.wait_window_gone(title="Tollevane", class_name="#32770", timeout=15)

        s.helper("postmsg", main, str(wm_command), "32778", "0")
        s.message_box(title="Tollevane 確認", timeout=10)
        time.sleep(0.3)
        shot("exit-question")
        s.answer("no", title="Tollevane 確認")


if __name__ == "__main__":
    sys.exit(main())
