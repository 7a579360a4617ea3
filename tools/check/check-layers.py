#!/usr/bin/env python3
"""Checks the layer rule over every #include line of the project's C++ files.

The layer order is the numbered list under "Layers, from the bottom up" in README.md: one line a
level, the layers of a line side by side. The tools' places are the list under "Tools, by the
highest layer they link" there: one line a tool (or several tools), naming that layer.

Every include is resolved as the compiler does: a "..." header first against the including
file's own folder (so "Foo.h" and "../gui/Foo.h" count as the file they name), then, like every
<...> header, against the include roots src/, resources/include/, tests/ and tools/. A <...>
header found under none of them is the system's and is not checked. What a header belongs to
follows from where it lies:

- src/LAYER/... (and resources/include/resources/...) is of that layer;
- tools/TOOL/... is of that tool;
- tests/support/... is test support; tests/X/... counts as of layer X (or tool X).

Who may include what:

- A file of a layer: its own layer and the levels below it; a layer beside it or above it, a
  tool or test support is a fault.
- A file under tools/TOOL: the layer README.md names for the tool and the levels below it, and
  the headers of any tool. A tool includes what it links: it links the layers it includes.
- A file under tests/X: when X is a layer (tests/platform is platform/qt), that layer and the
  levels below it; when X is a tool, what that tool may include; otherwise (test support) every
  layer. Benchmarks and fuzz targets (bench/, fuzz/) measure and shake the program as it is
  built and may include every layer. All of them may include test support and the tools, whose
  virtual unit is the fake device of the tests.

Folders named data or corpus hold files that programs read, not sources, and are skipped.

POSIX file calls stay in util: only files under src/util include <fcntl.h>, <unistd.h>,
<sys/stat.h>, <sys/file.h> or <dirent.h>. Tests, benchmarks and fuzz targets may, since they
prepare and inspect the files, modes and processes that the program meets and are not shipped.

Exits 1 and names every fault; 0 when there is none.

Usage: check-layers.py README.md ROOT [FOLDER...]   (folders under ROOT; default: all of
       src tests tools bench fuzz)
"""
import os
import re
import sys

LAYERS_HEADING = "Layers, from the bottom up"
TOOLS_HEADING = "Tools, by the highest layer they link"
FOLDERS = ("src", "tests", "tools", "bench", "fuzz")
TEST_FOLDERS = ("tests", "bench", "fuzz")
SKIPPED_FOLDERS = ("data", "corpus")
SOURCE_SUFFIXES = (".h", ".cpp", ".hpp", ".cc")
POSIX_FILE_HEADERS = ("fcntl.h", "unistd.h", "sys/stat.h", "sys/file.h", "dirent.h")
UTIL = "util"
TOP = 1 << 20  # above every layer
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def read_list(lines, heading, readme_path):
    """The lines of the list under heading: (item number or None, text)."""
    try:
        start = next(i for i, line in enumerate(lines) if heading in line)
    except StopIteration:
        sys.exit(f"{readme_path}: no line with \"{heading}\"")
    items = []
    for line in lines[start + 1:]:
        item = re.match(r"^\s*(?:(\d+)\.|-)\s+(.*)$", line)
        if item is None:
            if items and line.strip() == "":
                break
            continue
        items.append((int(item.group(1)) if item.group(1) else None, item.group(2)))
    return items


def read_readme(readme_path):
    """(layer name -> level, tool name -> the layer it stands on), from README.md's lists."""
    with open(readme_path, encoding="utf-8") as readme:
        lines = readme.read().splitlines()
    levels = {}
    for level, text in read_list(lines, LAYERS_HEADING, readme_path):
        for name in re.findall(r"`([^`]+)`", text):
            levels[name] = level
    if not levels:
        sys.exit(f"{readme_path}: the list under \"{LAYERS_HEADING}\" names no layer")
    tools = {}
    for _, text in read_list(lines, TOOLS_HEADING, readme_path):
        names, _, layer = text.partition(":")
        layer_names = re.findall(r"`([^`]+)`", layer)
        if len(layer_names) != 1 or layer_names[0] not in levels:
            sys.exit(f"{readme_path}: \"{text}\" names no layer of the list")
        for name in re.findall(r"`([^`]+)`", names):
            tools[name] = layer_names[0]
    return levels, tools


class Rules:
    def __init__(self, root, levels, tools):
        self.root = root
        self.levels = levels
        self.tools = tools
        self.include_roots = [os.path.join(root, d) for d in ("src", "resources/include", "tests",
                                                               "tools")]

    def layer_of(self, path):
        """The longest layer name that path starts with, or None."""
        best = None
        for name in self.levels:
            if (path == name or path.startswith(name + "/")) and (best is None or
                                                                   len(name) > len(best)):
                best = name
        return best

    def layer_of_folder(self, folder):
        """The layer a test folder is named after: tests/gui is gui, tests/platform platform/qt."""
        layer = self.layer_of(folder)
        if layer is not None:
            return layer
        inside = [name for name in self.levels if name.startswith(folder + "/")]
        return inside[0] if len(inside) == 1 else None

    def kind_of(self, relative):
        """What a project file belongs to: ("layer", name), ("tool", name), ("support", None) or
        None for a file outside every known place."""
        parts = relative.split("/")
        if parts[0] == "src":
            layer = self.layer_of("/".join(parts[1:]))
            return ("layer", layer) if layer else None
        if parts[:2] == ["resources", "include"] and len(parts) > 3:
            layer = self.layer_of("/".join(parts[2:]))
            return ("layer", layer) if layer else None
        if parts[0] == "tools" and len(parts) > 2:
            return ("tool", parts[1])
        if parts[0] in TEST_FOLDERS and len(parts) > 2:
            if parts[0] == "tests" and parts[1] == "support":
                return ("support", None)
            layer = self.layer_of_folder(parts[1])
            if layer:
                return ("layer", layer)
            if parts[1] in self.tools:
                return ("tool", parts[1])
            return ("support", None)
        return None

    def resolve(self, including, bracket, header):
        """The project file a header names, relative to the root, or None."""
        places = self.include_roots
        if bracket == '"':
            places = [os.path.dirname(including)] + places
        for place in places:
            candidate = os.path.normpath(os.path.join(place, header))
            if os.path.isfile(candidate):
                relative = os.path.relpath(candidate, self.root).replace(os.sep, "/")
                if not relative.startswith("../"):
                    return relative
        return None

    def limit(self, kind):
        """The level up to which a file of kind may include layers, and the layer it may include
        at that level."""
        what, name = kind
        if what == "layer":
            return self.levels[name], name
        if what == "tool":
            layer = self.tools[name]
            return self.levels[layer], layer
        return TOP, None

    def verdict(self, owner, target_kind):
        """None when owner may include a header of target_kind, or the reason it may not."""
        what, name = target_kind
        owner_what = owner[0]
        if what == "support":
            return None if owner_what == "test" else "test support"
        if what == "tool":
            return None if owner_what in ("tool", "test") else f"the tool {name}"
        level, own_layer = self.limit(owner[1])
        if name == own_layer or self.levels[name] < level:
            return None
        where = "beside" if self.levels[name] == level else "above"
        return f"{name}, a layer {where} it"


def owner_of(rules, relative):
    """("layer"|"tool"|"test", the kind whose limit holds) for a file, or a fault text."""
    parts = relative.split("/")
    if parts[0] == "src":
        kind = rules.kind_of(relative)
        return ("layer", kind) if kind else "the folder is no layer of README.md's list"
    if parts[0] == "tools":
        if parts[1] not in rules.tools:
            return "the tool is not in README.md's list of tools"
        return ("tool", ("tool", parts[1]))
    kind = rules.kind_of(relative)
    if parts[0] != "tests" or kind is None or kind[0] == "support":
        return ("test", ("support", None))
    return ("test", kind)


def describe_owner(owner):
    what, (kind, name) = owner
    if what == "test":
        return f"a test of {name}" if name else "a test"
    return f"{kind} {name}" if what == "tool" else name


def check_file(rules, path, relative, faults):
    owner = owner_of(rules, relative)
    if isinstance(owner, str):
        faults.append(f"{path}: {owner}")
        return
    in_util = owner == ("layer", ("layer", UTIL))
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if match is None:
                continue
            bracket, header = match.groups()
            where = f"{path}:{number}"
            if bracket == "<" and header in POSIX_FILE_HEADERS:
                if owner[0] != "test" and not in_util:
                    faults.append(f"{where}: <{header}> outside util: file calls go through "
                                  "util's functions")
                continue
            target = rules.resolve(path, bracket, header)
            if target is None:
                if bracket == "<":
                    continue  # a system or library header
                faults.append(f"{where}: \"{header}\" names no file of the project")
                continue
            kind = rules.kind_of(target)
            if kind is None:
                faults.append(f"{where}: \"{header}\" is of no known layer")
                continue
            reason = rules.verdict(owner, kind)
            if reason is not None:
                faults.append(f"{where}: {describe_owner(owner)} includes \"{header}\" of "
                              f"{reason}")


def check(root, levels, tools, folders=FOLDERS):
    rules = Rules(root, levels, tools)
    faults = []
    for folder in folders:
        for here, dirs, files in os.walk(os.path.join(root, folder)):
            dirs[:] = sorted(d for d in dirs if d not in SKIPPED_FOLDERS)
            for file_name in sorted(files):
                if file_name.endswith(SOURCE_SUFFIXES):
                    path = os.path.join(here, file_name)
                    relative = os.path.relpath(path, root).replace(os.sep, "/")
                    check_file(rules, path, relative, faults)
    return faults


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    levels, tools = read_readme(sys.argv[1])
    folders = sys.argv[3:] or FOLDERS
    faults = check(sys.argv[2], levels, tools, folders)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) break the layer order of README.md")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
