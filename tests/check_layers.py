#!/usr/bin/env python3
"""Fails when the library's folders include one another in a cycle.

Reads every #include "folder/..." line of the library's sources; an edge A -> B means a file
in A includes one in B. The folders must form layers: no path leads from a folder back to
itself. Prints the layers from the bottom up, each folder with what it uses.
Usage: check_layers.py SOURCE_DIR
"""
import pathlib
import re
import sys

FOLDERS = ["base", "quillon", "platform", "codepages", "japanese", "utf8", "convert", "font",
           "frame", "cxx", "detect", "include"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(included):
    top = included.split("/", 1)[0]
    if "/" not in included:
        return "include" if included in ("corvane.h", "corvane.hpp") else None
    return top if top in FOLDERS else None


def main():
    root = pathlib.Path(sys.argv[1])
    uses = {f: set() for f in FOLDERS}
    for folder in FOLDERS:
        for path in (root / folder).rglob("*"):
            if path.suffix not in (".h", ".cpp", ".c"):
                continue
            for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
                target = folder_of(included)
                if target is not None and target != folder:
                    uses[folder].add(target)

    layers, placed = [], set()
    while len(placed) < len(FOLDERS):
        layer = sorted(f for f in FOLDERS if f not in placed and uses[f] <= placed)
        if not layer:
            stuck = sorted(f for f in FOLDERS if f not in placed)
            print("folders that include one another in a cycle: " + ", ".join(stuck))
            for f in stuck:
                print(f"  {f} uses {', '.join(sorted(uses[f] - placed))}")
            return 1
        layers.append(layer)
        placed.update(layer)
    for depth, layer in enumerate(layers):
        for f in layer:
            print(f"layer {depth}: {f:10} uses {', '.join(sorted(uses[f])) or '-'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
