#!/usr/bin/env python3
"""Fails when a machine file holds a device tree that Windows would never build.

Only the rules that need no source to judge are held here; what a particular device looks
like is each file's header's business.

- Generated instance IDs, n&hash&k&<own part>: the children of one parent that need one
  share the parent's prefix, no two parents share a prefix, and n is the depth of the
  node's parent below the tree's root (so one more than a generated parent's own n).
- A USBSTOR node's first hardware ID packs the vendor (8), product (16) and revision (4)
  of its device ID into 28 characters, spaces and the padding as underscores.
- Every volume a node lists in removes= exists below the volume manager of the file's
  Windows version; on Vista and later its ID names the disk in the disk's own letter case.

    check-machines.py [FOLDER]      (default: tests/machines beside this script's folder)
"""
import re
import sys
from pathlib import Path

GENERATED = re.compile(r"^([0-9A-Fa-f]{1,2})&([0-9A-Fa-f]{1,8})&([0-9A-Fa-f]+)(&.+)?$")
ATTRIBUTE = re.compile(r'([a-z0-9-]+)(?:="((?:[^"\\]|\\.)*)")?')
USBSTOR_ID = re.compile(r"^USBSTOR\\([A-Za-z]+)&Ven_([^&]*)&Prod_([^&]*)&Rev_([^\\&]*)\\", re.I)
DISK_VOLUME = re.compile(r"^STORAGE\\Volume\\_\?\?_(.+)#(\{[^}]*\})$", re.I)


class Node:
    def __init__(self, line, depth, parent, attrs):
        self.line, self.depth, self.parent, self.attrs = line, depth, parent, attrs

    def get(self, name):
        return self.attrs.get(name)

    def ids(self, name):
        value = self.get(name)
        return value.split(";") if value else []


def read_tree(path):
    nodes, open_at = [], []
    for number, text in enumerate(path.read_text(encoding="utf-8-sig").splitlines(), 1):
        body = text.lstrip(" ")
        if not body or body.startswith("#"):
            continue
        depth = (len(text) - len(body)) // 2
        attrs = {}
        for match in ATTRIBUTE.finditer(body.split(" ", 1)[1] if " " in body else ""):
            attrs[match.group(1)] = re.sub(r"\\(.)", r"\1", match.group(2) or "")
        del open_at[depth:]
        node = Node(number, depth, open_at[-1] if open_at else None, attrs)
        nodes.append(node)
        open_at.append(node)
    return nodes


def instance_part(node):
    node_id = node.get("id") or ""
    return node_id.rsplit("\\", 1)[-1] if node_id.count("\\") >= 2 else ""


def check_prefixes(nodes, say):
    prefix_of_parent, parent_of_prefix = {}, {}
    for node in nodes:
        match = GENERATED.match(instance_part(node))
        if not match:
            continue
        n, hash_, k, own = match.groups()
        if int(n, 16) != node.depth:
            say(node, f"prefix {n}&{hash_} below a parent at depth {node.depth}: n must be "
                      f"{node.depth:X}")
        # Without an own part the third field is the node's own (a LUN, say).
        prefix = f"{n}&{hash_}&{k}".upper() if own else f"{n}&{hash_}".upper()
        parent = node.parent.line if node.parent else 0
        earlier = prefix_of_parent.setdefault(parent, prefix)
        if earlier != prefix:
            say(node, f"prefix {prefix} beside {earlier}: one parent gives its children one")
        owner = parent_of_prefix.setdefault(prefix, parent)
        if owner != parent:
            say(node, f"prefix {prefix} is already the prefix of the parent on line {owner}")


def pad(text, width):
    return (text.replace(" ", "_") + "_" * width)[:width]


def check_usbstor(nodes, say):
    for node in nodes:
        match = USBSTOR_ID.match(node.get("id") or "")
        hwids = node.ids("hwids")
        if not match or not hwids:
            continue
        kind, vendor, product, revision = match.groups()
        expected = f"USBSTOR\\{kind}{pad(vendor, 8)}{pad(product, 16)}{pad(revision, 4)}"
        if hwids[0].upper() != expected.upper():
            say(node, f"first hardware ID {hwids[0]}: vendor, product and revision "
                      f"padded 8, 16 and 4 give {expected}")
        for hwid in hwids[1:]:
            tail = hwid.split("\\", 1)[-1]
            if tail.upper().startswith(kind.upper()) and not tail.upper().startswith("GEN"):
                tail = tail[len(kind):]
            if len(tail) not in (8, 24, 25) and not hwid.upper().endswith("GEN" + kind.upper()):
                say(node, f"hardware ID {hwid} is no cut of the padded 28 characters")


def check_volumes(path, nodes, say):
    manager_id = "ROOT\\FTDISK\\0000" if "-xp-" in path.name else "ROOT\\VOLMGR\\0000"
    by_id = {(node.get("id") or "").upper(): node for node in nodes}
    for node in nodes:
        for related in node.ids("removes"):
            target = by_id.get(related.upper())
            if target is None:
                say(node, f"removes {related}, which no node is")
                continue
            if not related.upper().startswith("STORAGE\\VOLUME\\"):
                continue
            if target.parent is None or (target.parent.get("id") or "").upper() != manager_id:
                say(node, f"removes {related}, which is not below {manager_id}")
            disk = DISK_VOLUME.match(related)
            if disk and manager_id.endswith("VOLMGR\\0000"):
                named = disk.group(1).replace("#", "\\")
                if named != node.get("id") or disk.group(2) != disk.group(2).lower():
                    say(node, f"removes {related}: the volume manager names the disk as its "
                              f"driver does, {node.get('id')}, and the GUID in lower case")


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent.parent / "tests" / "machines"
    faults = 0
    for path in sorted(folder.glob("*.tree")):
        nodes = read_tree(path)

        def say(node, message, path=path):
            nonlocal faults
            faults += 1
            print(f"{path.name}:{node.line}: {message}")

        check_prefixes(nodes, say)
        check_usbstor(nodes, say)
        check_volumes(path, nodes, say)
    if faults:
        print(f"{faults} shape(s) no Windows builds")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
