#!/usr/bin/env python3
"""floors.py: every #include of the product folders runs down the floors.

The house's floors, lowest first. A file may include its own folder and any
folder on a lower floor; nothing else of the house.

  numberlines/, gui_quarn/     the codec and the toolkit: the bottom, each alone
  pluginhost/                  the contract, the slot table and the fault seam
                               (portable) and the Win32 host
  engine/                      the processing chain and the devices
  ringout/, howlcut/           plug-ins: the contract, the codec and the toolkit
                               only (the host loads them; they know nothing of it)
  app/                         the programs

Includes are written from the root ("engine/engine.h"); a bare or "../" name
that resolves to a file of the house is reported as well, so that every file
is read the same way.

  python3 tests/floors.py [ROOT]     exit 0 when clean, 1 with one line a fault
"""
import os
import re
import sys

# folder -> the folders it may include besides itself
FLOORS = {
    "numberlines": set(),
    "gui_quarn": set(),
    "pluginhost": {"numberlines", "gui_quarn"},
    "engine": {"pluginhost", "numberlines", "gui_quarn"},
    "ringout": {"pluginhost/plugincontract.h", "numberlines", "gui_quarn"},
    "howlcut": {"pluginhost/plugincontract.h", "numberlines", "gui_quarn"},
    "app": {"engine", "pluginhost", "numberlines", "gui_quarn"},
}
SOURCES = (".h", ".hpp", ".cpp", ".c")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def allowed(folder, target):
    if target.split("/")[0] == folder:
        return True
    for rule in FLOORS[folder]:
        if target == rule or target.startswith(rule + "/"):
            return True
    return False


def resolve(root, source, name):
    """The root-relative path the compiler would find, or None (not ours)."""
    here = os.path.dirname(source)
    for base in (here, root):
        path = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(path):
            return os.path.relpath(path, root).replace(os.sep, "/")
    return None


def check(root):
    faults = []
    for folder in FLOORS:
        for top, _, files in os.walk(os.path.join(root, folder)):
            for f in sorted(files):
                if not f.endswith(SOURCES):
                    continue
                source = os.path.join(top, f)
                shown = os.path.relpath(source, root).replace(os.sep, "/")
                with open(source, encoding="utf-8", errors="replace") as text:
                    for number, line in enumerate(text, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        name = m.group(1)
                        target = resolve(root, source, name)
                        if target is None:
                            continue
                        where = f"{shown}:{number}: #include \"{name}\""
                        if not allowed(folder, target):
                            faults.append(f"{where}: {folder}/ may not include {target} (up the floors)")
                        elif name != target:
                            faults.append(f"{where}: write it from the root, \"{target}\"")
    return faults


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    faults = check(root)
    for f in faults:
        print(f)
    print(f"floors: {len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
