#!/usr/bin/env python3
"""Checks the layer rule over every #include "..." line under src/.

The layer order is the numbered list under "Layers, from the bottom up" in README.md: one line a
level, the layers of a line side by side. A file may include headers of its own layer and of the
levels below its own; a header of a layer beside it or above it is a fault, and so is a header
of no known layer. Exits 1 and names every fault; 0 when there is none.

Usage: check-layers.py README.md SRC_DIR
"""
import os
import re
import sys

HEADING = "Layers, from the bottom up"


def read_levels(readme_path):
    """Layer name -> level number, from the README's list."""
    levels = {}
    with open(readme_path, encoding="utf-8") as readme:
        lines = readme.read().splitlines()
    try:
        start = next(i for i, line in enumerate(lines) if HEADING in line)
    except StopIteration:
        sys.exit(f"{readme_path}: no line with \"{HEADING}\"")
    for line in lines[start + 1:]:
        item = re.match(r"^\s*(\d+)\.\s+(.*)$", line)
        if item is None:
            if levels and line.strip() == "":
                break
            continue
        level = int(item.group(1))
        for name in re.findall(r"`([^`]+)`", item.group(2)):
            levels[name] = level
    if not levels:
        sys.exit(f"{readme_path}: the list under \"{HEADING}\" names no layer")
    return levels


def layer_of(path, levels):
    """The longest layer name that path starts with, or None."""
    best = None
    for name in levels:
        if (path == name or path.startswith(name + "/")) and (best is None or len(name) > len(best)):
            best = name
    return best


def check(src_dir, levels):
    faults = []
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    for root, _, files in os.walk(src_dir):
        for file_name in sorted(files):
            if not file_name.endswith((".h", ".cpp", ".hpp", ".cc")):
                continue
            path = os.path.join(root, file_name)
            own = layer_of(os.path.relpath(path, src_dir).replace(os.sep, "/"), levels)
            if own is None:
                faults.append(f"{path}: the folder is no layer of README.md's list")
                continue
            with open(path, encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    match = include.match(line)
                    if match is None:
                        continue
                    header = match.group(1)
                    if os.path.exists(os.path.join(root, header)):
                        continue  # a header beside the file, of its own layer
                    other = layer_of(header, levels)
                    if other is None:
                        faults.append(f"{path}:{number}: \"{header}\" is of no known layer")
                    elif other != own and levels[other] >= levels[own]:
                        where = "beside" if levels[other] == levels[own] else "above"
                        faults.append(f"{path}:{number}: {own} includes \"{header}\" of {other}, "
                                      f"a layer {where} it")
    return faults


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    faults = check(sys.argv[2], read_levels(sys.argv[1]))
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) break the layer order of README.md")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
