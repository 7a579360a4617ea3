#!/usr/bin/env python3
"""Checks that a command-line tool links neither the GUI nor the raster layer nor their
libraries.

The virtual unit and orvo-prg stand on the unit's model: they must start on a machine without a
display and must not grow with the panel. Two views are checked, so that neither a static layer
library nor a shared library slips in:

- LINKS, the libraries and targets CMake links the tool with, all the way down (a ';' list);
- the shared libraries the program needs, as `readelf -d` lists them.

Exits 1 and names every forbidden link; 0 when there is none.

Usage: check-tool-links.py PROGRAM LINKS
"""
import re
import subprocess
import sys

# Layers and libraries of the panel and its images; the library's database (orvo_library_db)
# stands below them and is allowed.
FORBIDDEN_TARGETS = re.compile(
    r"^(orvo_(gui|raster|editor|library|platform_qt|shell)$|PNG::|Qt6?::)")
FORBIDDEN_SHARED = re.compile(r"^lib(png|Qt6?)")


def needed(program):
    """The shared libraries the program names as needed."""
    out = subprocess.run(["readelf", "-d", program], check=True, capture_output=True,
                         text=True).stdout
    return re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", out)


def faults(program, links):
    found = [f"links {link}" for link in links if FORBIDDEN_TARGETS.match(link)]
    found += [f"needs {lib}" for lib in needed(program) if FORBIDDEN_SHARED.match(lib)]
    return found


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program, links = sys.argv[1], [link for link in sys.argv[2].split(";") if link]
    if not links:
        sys.exit(f"{program}: no links given")
    found = faults(program, links)
    for fault in found:
        print(f"{program}: {fault}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
