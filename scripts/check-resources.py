#!/usr/bin/env python3
"""Checks that every text of Tollevane.exe exists in Japanese and in English.

Compiles src/resources/Tollevane.rc with windres into a .res file and reads what the
program will carry, so a forgotten LANGUAGE statement counts as much as a forgotten text.
For every string, dialog, menu and version block it reports, by name and number:
  - an id that one language lacks;
  - a string whose printf placeholders differ between the languages (FormatMessage-free
    swprintf calls take the arguments in the order the Japanese text expects them, so a
    mismatch is a crash or garbage at run time);
  - a dialog or menu whose control or command ids differ (the code asks for them by id);
  - Japanese characters in an English resource.
Usage: check-resources.py [resources-folder] [--windres PROGRAM]. Exit status 1 on any problem.
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

JAPANESE, ENGLISH = 0x0411, 0x0409
LANGUAGES = {JAPANESE: "Japanese", ENGLISH: "English"}
RT_MENU, RT_DIALOG, RT_STRING, RT_VERSION = 4, 5, 6, 16
KINDS = {RT_STRING: ("string", "IDS_"), RT_DIALOG: ("dialog", "IDD_"), RT_MENU: ("menu", "IDM_"),
         RT_VERSION: ("version block", "VS_")}
# Kana, CJK punctuation and ideographs, full-width forms: what no English text holds.
JAPANESE_TEXT = re.compile("[\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uff00-\uffef]")
PLACEHOLDER = re.compile(r"%(?:%|[-+ #0]*(?:\*|\d+)?(?:\.(?:\*|\d+))?(?:hh|h|ll|l|L|z|j|t|I64|I32|I)?[diouxXeEfgGcsSpn])")


def compile_resources(folder, windres):
    with tempfile.TemporaryDirectory() as scratch:
        out = os.path.join(scratch, "Tollevane.res")
        subprocess.run([windres, "-c", "65001", "-I", folder, "-O", "res", "-i",
                        os.path.join(folder, "Tollevane.rc"), "-o", out], check=True, cwd=folder)
        with open(out, "rb") as f:
            return f.read()


def read_sz_or_ord(data, at):
    """A resource name, class or title: (value, next offset); an int for an ordinal."""
    first = struct.unpack_from("<H", data, at)[0]
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def align(at, size=4):
    return (at + size - 1) // size * size


def read_res(data):
    """Yields (type, name, language, bytes) for every resource of a .res file."""
    at = 0
    while at + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, at)
        kind, after = read_sz_or_ord(data, at + 8)
        name, after = read_sz_or_ord(data, after)
        language = struct.unpack_from("<H", data, align(after) + 6)[0]
        body = data[at + header:at + header + size]
        if size:
            yield kind, name, language, body
        at = align(at + header + size)


def string_block(block, body):
    """{id: text} of one block of sixteen counted strings; an empty slot is no string."""
    strings, at = {}, 0
    for slot in range(16):
        length = struct.unpack_from("<H", body, at)[0]
        text = body[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        if text:
            strings[(block - 1) * 16 + slot] = text
        at += 2 + 2 * length
    return strings


def dialog_parts(body):
    """(texts, control ids) of a DIALOGEX template."""
    style = struct.unpack_from("<I", body, 12)[0]
    count = struct.unpack_from("<H", body, 16)[0]
    at = 26
    _, at = read_sz_or_ord(body, at)  # menu
    _, at = read_sz_or_ord(body, at)  # class
    title, at = read_sz_or_ord(body, at)
    texts, ids = [title], set()
    if style & 0x40:  # DS_SETFONT: size, weight, italic, charset, face
        _, at = read_sz_or_ord(body, at + 6)
    for _ in range(count):
        at = align(at)
        control = struct.unpack_from("<i", body, at + 20)[0]
        _, at = read_sz_or_ord(body, at + 24)
        text, at = read_sz_or_ord(body, at)
        extra = struct.unpack_from("<H", body, at)[0]
        at += 2 + extra
        if isinstance(text, str):
            texts.append(text)
        if control not in (-1, 0xFFFF):
            ids.add(control)
    return texts, ids


def menu_parts(body):
    """(texts, command ids) of a MENU template."""
    texts, ids = [], set()

    def items(at):
        while at < len(body):
            flags = struct.unpack_from("<H", body, at)[0]
            at += 2
            if not flags & 0x10:  # MF_POPUP items have no id but items of their own
                command = struct.unpack_from("<H", body, at)[0]
                at += 2
                if command:
                    ids.add(command)
            text, at = read_sz_or_ord(body, at)
            texts.append(text)
            if flags & 0x10:
                at = items(at)
            if flags & 0x80:  # MF_END: the last item of its level
                return at
        return at

    items(4)
    return texts, ids


def version_texts(body, at=0, end=None):
    """Every key and text value of a VS_VERSIONINFO tree."""
    end = len(body) if end is None else end
    texts = []
    while at + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", body, at)
        if length == 0:
            break
        key, after = read_sz_or_ord(body, at + 6)
        after = align(after)
        texts.append(key)
        if kind == 1 and value_length:
            texts.append(body[after:after + 2 * value_length].decode("utf-16-le").rstrip("\0"))
            children = align(after + 2 * value_length)
        else:
            children = align(after + value_length)
        texts += version_texts(body, children, at + length)
        at = align(at + length)
    return texts


def resource_names(folder):
    """{number: [names]} from the #defines of the resource headers."""
    names = {}
    for header in sorted(os.listdir(folder)):
        if header.endswith(".h"):
            with open(os.path.join(folder, header), encoding="utf-8") as f:
                for name, value in re.findall(r"^#define\s+(\w+)\s+\(?(-?\d+)\)?", f.read(), re.M):
                    names.setdefault(int(value), []).append(name)
    return names


def collect(data):
    """{(kind, id): {language: (texts, inner ids)}} for the checked kinds."""
    found = {}
    for kind, name, language, body in read_res(data):
        if kind not in KINDS or not isinstance(name, int):
            continue
        if kind == RT_STRING:
            for sid, text in string_block(name, body).items():
                found.setdefault((kind, sid), {})[language] = ([text], set())
        elif kind == RT_DIALOG:
            found.setdefault((kind, name), {})[language] = dialog_parts(body)
        elif kind == RT_MENU:
            found.setdefault((kind, name), {})[language] = menu_parts(body)
        else:
            found.setdefault((kind, name), {})[language] = (version_texts(body), set())
    return found


def problems(found, names):
    def label(kind, rid):
        what, prefix = KINDS[kind]
        known = [n for n in names.get(rid, []) if n.startswith(prefix)]
        return f"{what} {known[0]} ({rid})" if known else f"{what} {rid}"

    def inner(ids):
        return ", ".join(f"{i} ({' or '.join(names.get(i, ['?']))})" for i in sorted(ids))

    for (kind, rid), by_language in sorted(found.items()):
        where = label(kind, rid)
        for language, language_name in LANGUAGES.items():
            if language not in by_language:
                yield f"{where}: no {language_name} text"
        if set(by_language) - set(LANGUAGES):
            yield f"{where}: in a language other than Japanese and English"
        english = by_language.get(ENGLISH)
        if english:
            for text in english[0]:
                if isinstance(text, str) and JAPANESE_TEXT.search(text):
                    yield f"{where}: Japanese characters in the English text {text!r}"
        japanese = by_language.get(JAPANESE)
        if not (english and japanese):
            continue
        if kind == RT_STRING:
            ja, en = PLACEHOLDER.findall(japanese[0][0]), PLACEHOLDER.findall(english[0][0])
            if ja != en:
                yield (f"{where}: placeholders differ: Japanese {' '.join(ja) or 'none'}, "
                       f"English {' '.join(en) or 'none'}")
        for only, one, other in (("Japanese", japanese[1], english[1]),
                                 ("English", english[1], japanese[1])):
            if one - other:
                yield f"{where}: ids only in {only}: {inner(one - other)}"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", nargs="?", default=os.path.join(here, "..", "src", "resources"))
    parser.add_argument("--windres", default="i686-w64-mingw32-windres")
    args = parser.parse_args()
    folder = os.path.abspath(args.folder)
    found = collect(compile_resources(folder, args.windres))
    reported = list(problems(found, resource_names(folder)))
    for line in reported:
        print(line)
    if reported:
        print(f"{len(reported)} resource problem(s)")
        return 1
    print(f"resources ok: {len(found)} ids in Japanese and English")
    return 0


if __name__ == "__main__":
    sys.exit(main())
