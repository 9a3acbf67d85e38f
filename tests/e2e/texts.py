"""What the program shows and answers to, as the end-to-end tests name it: window
titles and classes, message texts, the window messages and command ids it handles,
control ids and help topics. A text here is written once, so that a test and the
driver cannot disagree about what the program says."""

# -- windows

PROGRAM = "Tollevane"              # the main window's title and class, the sheet's title
DIALOG_CLASS = "#32770"            # dialogs, property sheets and pages, message boxes
MENU_CLASS = "#32768"              # a popup menu
TOOLTIP_CLASS = "tooltips_class32"  # the tray's balloons are tooltips of explorer.exe
PROCESS = "Tollevane.exe"

ERROR_CAPTION = "Tollevane エラー"
CONFIRM_CAPTION = "Tollevane 確認"
HOTKEY_DIALOG_CAPTION = "ホットキーの設定"
# The sheet's pages in tab order.
PAGE_CAPTIONS = ["ホットキー設定", "表示設定", "オプション", "バージョン情報"]
DEVICE_LIST_PAGE, DISPLAY_PAGE, OPTIONS_PAGE, VERSION_PAGE = range(4)

# -- message texts

REMOVAL_FAILED = ("{}\n\nこのデバイスの安全な取り外しに失敗しました。\n"
                  "接続されていないか、使用中の可能性があります。")
HOTKEY_TAKEN_AT_START = ("{}\n\nこのデバイスのホットキーは、すで他のアプリケーションによって使用されています。\n"
                         "別のホットキーを設定してください。")
STARTUP_FAILED = "起動設定の変更に失敗しました。\n起動設定を変更するには、Administrators権限が必要になります。"
SETTINGS_NOT_SAVED = "設定を保存できませんでした。設定ファイルは変更前のまま残っています。\n\n"
TAKEN_BY_ROW = "このホットキーはすでに登録されています。\n別のホットキーを指定してください。"
TAKEN_ELSEWHERE = "このホットキーはすで他のアプリケーションによって使用されています。\n別のホットキーを指定してください。"
CONGRATULATION = "おめでとうございます。\n'{}' の取り外しに {}回成功しました。"
STILL_REMOVING = "'{}' の取り外しがまだ終わっていません。\n終わってから、もう一度お試しください。"
FORCE_STOP_QUESTION = "現在デバイスを取り外しています。\nデバイスの取り外しを強制的に終了しますか？"
EXIT_QUESTION = "Tollevane を終了します。\nよろしいですか？"
REMOVING = "を取り外しています…"
NOTHING_TO_REMOVE = "取り外せるデバイスはありません"   # the eject menu's one greyed item
# A vetoed removal: the device, why, what to do, a blank line between them.
VETO_DEVICE = "{}\n\nこのデバイスの安全な取り外しが拒否されました。"
VETO_HELD_BY_PROGRAM = "次のプログラムがこのデバイスを使用しています。\n{} (プロセス ID: {})"
VETO_IN_USE = "このデバイスはほかのプログラムによって使用されています。"
VETO_ADVICE_CLOSE = "使用中のプログラムを終了してから、[再試行] を押してください。"


def veto_message(device: str, program: str = "", pid: int = 0) -> str:
    """The veto message of a device held open: naming the program when it is known."""
    reason = VETO_HELD_BY_PROGRAM.format(program, pid) if program else VETO_IN_USE
    return "\n\n".join([VETO_DEVICE.format(device), reason, VETO_ADVICE_CLOSE])


# The system's description of a USB mass-storage node, and the device list's row
# that stands for all of them, before Vista (2000, XP) and from Vista on.
STORAGE_XP = "USB 大容量記憶装置デバイス"
STORAGE_VISTA = "USB 大容量記憶装置"
ALL_STORAGE_XP = "すべての USB 大容量記憶装置デバイス"
ALL_STORAGE_VISTA = "すべての USB 大容量記憶装置"

# -- the same in English, on an English Windows or with LANGUAGE=en

ERROR_CAPTION_EN = "Tollevane Error"
CONFIRM_CAPTION_EN = "Tollevane Confirmation"
HOTKEY_DIALOG_CAPTION_EN = "Set Hotkey"
PAGE_CAPTIONS_EN = ["Hotkeys", "Display", "Options", "About"]
STORAGE_EN = "USB Mass Storage Device"
ALL_STORAGE_EN = "All USB Mass Storage Devices"


def veto_message_en(device: str, program: str, pid: int) -> str:
    return "\n\n".join([f"{device}\n\nWindows was asked to safely remove this device and refused.",
                        f"The following program is using this device:\n{program} (process ID: {pid})",
                        "Close the program that is using the device, then click Retry."])


# -- window messages the tests send

WM_ENDSESSION = 0x0016
WM_COMMAND = 0x0111
WM_RBUTTONDOWN = 0x0204
WM_LBUTTONDBLCLK = 0x0203
WM_LBUTTONDOWN = 0x0201
WM_LBUTTONUP = 0x0202
PSM_SETCURSEL = 0x0465
WM_TRAYNOTIFY = 0x8001  # WM_APP + 1, the tray icon's callback message

# -- the tray menu's commands

ID_SETTINGS = 32775
ID_HELP = 32776
ID_VERSION = 32777
ID_EXIT = 32778

# -- controls

IDOK, IDCANCEL = 1, 2
IDRETRY = 4
HELP_BUTTON = 9
APPLY_BUTTON = 12321
# The device list page.
LIST, SET, RELEASE, UPDATE, DELETE = 1000, 1001, 1002, 1008, 32774
# The hotkey dialog.
HOTKEY_ENTRY, WINKEY_BOX = 1003, 1007
# The wait dialog's device name.
WAIT_DEVICE_NAME = 1010

# -- help topics, as the Help buttons ask for them

TOPICS = {
    "main": 12000,
    "device_list": 12100,
    "hotkey": 12101,
    "display_settings": 12102,
    "options": 12103,
    "version": 12104,
}


# -- the removal command line: its usage and the reasons it gives, one line each
USAGE_FIRST_LINE = "使い方: Tollevane [名前 | E: | フォルダー | /label:ラベル] [/whatif] [/wait:秒]"
NO_DEVICE = "{}: この名前のデバイスは接続されていません。"
UNKNOWN_SWITCH = "{}: 不明なスイッチです。使い方は Tollevane /? で表示されます。"
MISSING_VALUE = "{}: このスイッチには値が必要です。使い方は Tollevane /? で表示されます。"
WOULD_REMOVE = "取り外すデバイス: {}"
