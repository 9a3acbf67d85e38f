"""The files the program leaves or reads, as the end-to-end tests write and
check them: the settings file (INI, letter-encoded hotkeys) and shell links."""

from __future__ import annotations

import re
from dataclasses import dataclass
from pathlib import Path
from typing import Optional


def read_ini(path: Path) -> dict[str, dict[str, str]]:
    """Sections and keys upper-cased (the profile functions ignore their case)."""
    raw = path.read_bytes()
    if raw.startswith(b"\xff\xfe"):
        text = raw[2:].decode("utf-16-le")
    elif raw.startswith(b"\xef\xbb\xbf"):
        text = raw[3:].decode("utf-8")
    else:
        text = raw.decode("cp932")
    sections: dict[str, dict[str, str]] = {}
    current: Optional[dict[str, str]] = None
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("[") and "]" in stripped:
            current = sections.setdefault(stripped[1:stripped.index("]")].strip().upper(), {})
        elif current is not None and "=" in stripped:
            key, value = stripped.split("=", 1)
            current[key.strip().upper()] = value.strip()
    return sections


def encode_letters(data: bytes) -> str:
    """The settings file's byte encoding: low nibble then high nibble, 'A' + n each."""
    return "".join(chr(ord("A") + (b & 0x0F)) + chr(ord("A") + (b >> 4)) for b in data)


# The hotkey control's modifier bits, as stored in bits 16-23 of a hotkey code.
_HOTKEYF = {"shift": 0x01, "ctrl": 0x02, "control": 0x02, "alt": 0x04}


def hotkey_entry(combo: str) -> tuple[str, int]:
    """HOTKEY and WINKEY values for a combination such as "ctrl+alt+f5"."""
    *modifiers, key = combo.lower().split("+")
    flags, winkey = 0, 0
    for modifier in modifiers:
        if modifier == "win":
            winkey = 1
        else:
            flags |= _HOTKEYF[modifier]
    if len(key) == 1 and key.isalnum():
        vk = ord(key.upper())
    elif re.fullmatch(r"f([1-9]|1[0-9]|2[0-4])", key):
        vk = 0x70 + int(key[1:]) - 1
    else:
        raise ValueError(f"no key code for {key!r}")
    code = vk | (flags << 16)
    return encode_letters(code.to_bytes(4, "little")), winkey


def hotkey_letters(combo: str) -> str:
    """The HOTKEY value alone."""
    return hotkey_entry(combo)[0]


@dataclass
class Shortcut:
    target: Optional[str]
    working_dir: Optional[str]
    arguments: Optional[str]


def read_shortcut(path: Path) -> Shortcut:
    """The parts of a shell link file (.lnk) that say what it starts."""
    data = path.read_bytes()
    if len(data) < 0x4C or int.from_bytes(data[:4], "little") != 0x4C:
        raise ValueError(f"{path} is not a shell link")
    flags = int.from_bytes(data[0x14:0x18], "little")
    unicode = bool(flags & 0x80)
    offset = 0x4C
    id_list_target = None
    if flags & 0x01:  # HasLinkTargetIDList
        size = int.from_bytes(data[offset:offset + 2], "little")
        id_list_target = _id_list_path(data[offset + 2:offset + 2 + size])
        offset += 2 + size
    info_target = None
    if flags & 0x02:  # HasLinkInfo
        size = int.from_bytes(data[offset:offset + 4], "little")
        info_target = _link_info_path(data[offset:offset + size])
        offset += size

    def string_data() -> str:
        nonlocal offset
        count = int.from_bytes(data[offset:offset + 2], "little")
        offset += 2
        if unicode:
            text = data[offset:offset + 2 * count].decode("utf-16-le")
            offset += 2 * count
        else:
            text = data[offset:offset + count].decode("cp932")
            offset += count
        # Wine counts the terminating NUL in; Windows does not.
        return text.rstrip("\0")

    strings = {}
    for bit, name in ((0x04, "name"), (0x08, "relative"), (0x10, "workdir"), (0x20, "args"), (0x40, "icon")):
        if flags & bit:
            strings[name] = string_data()
    return Shortcut(info_target or id_list_target, strings.get("workdir"), strings.get("args"))


def _link_info_path(info: bytes) -> Optional[str]:
    def u32(at: int) -> int:
        return int.from_bytes(info[at:at + 4], "little")

    def c_string(at: int, wide: bool) -> str:
        if wide:
            end = at
            while info[end:end + 2] != b"\0\0":
                end += 2
            return info[at:end].decode("utf-16-le")
        return info[at:info.index(b"\0", at)].decode("cp932")

    header_size, link_flags = u32(4), u32(8)
    if not link_flags & 0x01:  # VolumeIDAndLocalBasePath
        return None
    if header_size >= 0x24 and u32(0x1C):
        return c_string(u32(0x1C), True) + c_string(u32(0x20), True)
    return c_string(u32(0x10), False) + c_string(u32(0x18), False)


def _id_list_path(id_list: bytes) -> Optional[str]:
    """Best effort: a drive item followed by file-system items with long names."""
    parts, at = [], 0
    while at + 2 <= len(id_list):
        size = int.from_bytes(id_list[at:at + 2], "little")
        if size == 0:
            break
        item = id_list[at + 2:at + size]
        at += size
        kind = item[0] & 0x70 if item else 0
        if kind == 0x20:  # drive
            parts.append(item[1:].split(b"\0")[0].decode("ascii", "replace").rstrip("\\"))
        elif kind == 0x30:  # file or folder: the long name is in the 0xBEEF0004 extension
            long_name = None
            ext = item.find(b"\x04\x00\xef\xbe")
            if ext >= 4:
                name_at = ext - 4 + 0x14
                end = name_at
                while end + 1 < len(item) and item[end:end + 2] != b"\0\0":
                    end += 2
                long_name = item[name_at:end].decode("utf-16-le", "replace")
            parts.append(long_name or item[12:].split(b"\0")[0].decode("cp932", "replace"))
    return "\\".join(parts) if parts else None


@dataclass
class Entry:
    """One stored registration; hotkey is a combination ("ctrl+alt+f5") or the
    stored letters themselves ("AAAAAAAA")."""
    name: str
    hotkey: str
    kind: int = 1
    times: int = 0
    eject_on: int = 0  # the moments' bits: 1 sleep, 2 lock, 4 display off


def settings_text(app: Optional[dict] = None, entries: Optional[dict[str, Entry]] = None) -> str:
    """A settings file with section APP and the registration sections, keyed
    "001".. or "STORAGE"."""
    sections: dict[str, dict[str, str]] = {"APP": {k: str(v) for k, v in (app or {}).items()}}
    for key, entry in (entries or {}).items():
        if re.fullmatch(r"[A-P]*", entry.hotkey):
            letters, winkey = entry.hotkey, 0
        else:
            letters, winkey = hotkey_entry(entry.hotkey)
        for section, value in (("NAME", entry.name), ("HOTKEY", letters), ("WINKEY", winkey),
                               ("IMAGE", 0), ("DEVICE_KIND", entry.kind), ("REJECT_TIMES", entry.times)):
            sections.setdefault(section, {})[key] = str(value)
        if entry.eject_on:
            sections.setdefault("EJECT_ON", {})[key] = str(entry.eject_on)
    lines = []
    for section, values in sections.items():
        lines.append(f"[{section}]")
        lines.extend(f"{k}={v}" for k, v in values.items())
    return "\n".join(lines) + "\n"
