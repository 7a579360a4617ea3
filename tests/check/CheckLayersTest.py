#!/usr/bin/env python3
"""The layer checker over small trees: a clean one, and one with each kind of fault it knows."""
import importlib.util
import os
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "tools", "check", "check-layers.py")

spec = importlib.util.spec_from_file_location("check_layers", SCRIPT)
check_layers = importlib.util.module_from_spec(spec)
spec.loader.exec_module(check_layers)

README = """# A project

  Layers, from the bottom up:

  1. `util`
  2. `unit`, `raster`
  3. `gui`

  Tools, by the highest layer they link:

  - `sim`: `unit`
"""

# Headers every tree has, and source files that break no rule.
CLEAN = {
    "src/util/Bytes.h": "",
    "src/util/Files.cpp": "#include <unistd.h>\n#include \"Bytes.h\"\n",
    "src/unit/Chart.h": "#include \"util/Bytes.h\"\n",
    "src/raster/Bitmap.h": "#include <util/Bytes.h>\n#include <png.h>\n",
    "src/gui/Panel.h": "#include \"unit/Chart.h\"\n#include \"../raster/Bitmap.h\"\n",
    "tools/sim/Virtual.h": "#include \"unit/Chart.h\"\n",
    "tools/sim/main.cpp": "#include \"Virtual.h\"\n#include <vector>\n",
    "tests/support/Temp.h": "#include <sys/stat.h>\n#include \"gui/Panel.h\"\n",
    "tests/unit/ChartTest.cpp": "#include \"unit/Chart.h\"\n#include \"support/Temp.h\"\n"
                                "#include \"sim/Virtual.h\"\n#include <unistd.h>\n",
    "tests/sim/VirtualTest.cpp": "#include \"sim/Virtual.h\"\n",
    "tests/gui/data/Layout.h": "#include \"Nowhere.h\"\n",
    "bench/gui/PanelBench.cpp": "#include \"gui/Panel.h\"\n",
}


class Tree:
    def __init__(self, extra):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        with open(os.path.join(self.root, "README.md"), "w", encoding="utf-8") as readme:
            readme.write(README)
        for path, text in {**CLEAN, **extra}.items():
            full = os.path.join(self.root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8") as source:
                source.write(text)

    def faults(self):
        levels, tools = check_layers.read_readme(os.path.join(self.root, "README.md"))
        found = check_layers.check(self.root, levels, tools)
        return [fault.replace(self.root + os.sep, "") for fault in found]


def faults_of(extra):
    tree = Tree(extra)
    try:
        return tree.faults()
    finally:
        tree.dir.cleanup()


class LayerChecker(unittest.TestCase):
    def test_clean_tree_has_no_fault(self):
        self.assertEqual(faults_of({}), [])

    def test_includes_upward_or_sideways_in_every_spelling(self):
        found = faults_of({
            "src/unit/Quoted.cpp": "#include \"gui/Panel.h\"\n",
            "src/unit/Angled.cpp": "#include <gui/Panel.h>\n",
            "src/unit/Relative.cpp": "#include \"../gui/Panel.h\"\n",
            "src/unit/Beside.cpp": "#include \"../raster/Bitmap.h\"\n",
        })
        self.assertEqual(sorted(found), [
            "src/unit/Angled.cpp:1: unit includes \"gui/Panel.h\" of gui, a layer above it",
            "src/unit/Beside.cpp:1: unit includes \"../raster/Bitmap.h\" of raster, "
            "a layer beside it",
            "src/unit/Quoted.cpp:1: unit includes \"gui/Panel.h\" of gui, a layer above it",
            "src/unit/Relative.cpp:1: unit includes \"../gui/Panel.h\" of gui, a layer above it",
        ])

    def test_a_sibling_header_counts_as_the_file_it_names(self):
        # "Panel.h" beside a file of gui is gui's; the same name from unit's folder is no file.
        found = faults_of({"src/gui/Use.cpp": "#include \"Panel.h\"\n",
                           "src/unit/Use.cpp": "#include \"Panel.h\"\n"})
        self.assertEqual(found, ["src/unit/Use.cpp:1: \"Panel.h\" names no file of the project"])

    def test_tests_tools_and_unknown_folders(self):
        found = faults_of({
            "tests/unit/PanelTest.cpp": "#include \"gui/Panel.h\"\n",
            "tools/sim/Draw.cpp": "#include <gui/Panel.h>\n",
            "tools/other/main.cpp": "#include \"util/Bytes.h\"\n",
            "src/unit/Helper.cpp": "#include \"support/Temp.h\"\n",
            "src/extra/Thing.cpp": "",
        })
        self.assertEqual(sorted(found), [
            "src/extra/Thing.cpp: the folder is no layer of README.md's list",
            "src/unit/Helper.cpp:1: unit includes \"support/Temp.h\" of test support",
            "tests/unit/PanelTest.cpp:1: a test of unit includes \"gui/Panel.h\" of gui, "
            "a layer above it",
            "tools/other/main.cpp: the tool is not in README.md's list of tools",
            "tools/sim/Draw.cpp:1: tool sim includes \"gui/Panel.h\" of gui, a layer above it",
        ])

    def test_posix_file_headers_stay_in_util(self):
        found = faults_of({
            "src/gui/Store.cpp": "#include <fcntl.h>\n#include <dirent.h>\n",
            "tools/sim/Save.cpp": "#include <sys/stat.h>\n",
        })
        self.assertEqual(sorted(found), [
            "src/gui/Store.cpp:1: <fcntl.h> outside util: file calls go through util's functions",
            "src/gui/Store.cpp:2: <dirent.h> outside util: file calls go through util's functions",
            "tools/sim/Save.cpp:1: <sys/stat.h> outside util: file calls go through util's "
            "functions",
        ])


if __name__ == "__main__":
    unittest.main()
