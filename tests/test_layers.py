#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spinmarsh developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails on any include or link from a layer to one above it.

The layers, in the order they build: base, platform, art, play, screens,
windows, app. A folder may include headers ("layer/name.h") of its own layer
and those below, and its libraries may link only those. headless/, the
stand-in world, sits on screens and serves the tools, the benchmark and the
tests alone; tools/ and bench/ sit on it. tests/<layer>/ is held to its layer
and the stand-in world; tests/e2e/ and tests/install/ may use anything. Qt
Widgets only from windows/ up.

Usage: test_layers.py SOURCE_DIR
"""

import re
import sys
from pathlib import Path

LAYERS = ["base", "platform", "art", "play", "screens", "windows", "app"]
WIDGETS_FROM = LAYERS.index("windows")
# Folders beside the stack and the highest layer each rests on.
SIDE = {"headless": "screens", "tools": "headless", "bench": "headless", "e2e": "app",
        "install": "app"}
# What only the tools, the benchmark and the tests may use.
HARNESS = "headless"
# The test helpers belong to the layer of what they need.
SUPPORT = {"tests/support/windows.h": "windows", "tests/support/screen_rig.h": "screens"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/([^"]+)"', re.MULTILINE)
LINK = re.compile(r"target_link_libraries\(\s*([\w-]+)([^)]*)\)", re.DOTALL)
SET_LAYER = re.compile(r"set\(layer_(\w+)([^)]*)\)", re.DOTALL)
ADD_LIBRARY = re.compile(r"add_library\(\s*(\w+)")


def rank(folder):
    """Where a folder sits: its layer's place, or that of the layer it rests on."""
    if folder in LAYERS:
        return LAYERS.index(folder)
    return rank(SIDE[folder])


def allowed(folder, target_folder, test=False):
    """Whether code held to folder (in tests/ if test) may use target_folder."""
    if target_folder == folder:
        return True
    if target_folder in LAYERS:
        return rank(target_folder) <= rank(folder)
    if target_folder == HARNESS:
        return test or folder in ("tools", "bench")
    # Beside the stack: only the tests of the whole program use those.
    return folder in ("e2e", "install")


def sources(root):
    """Every source file with the folder it is held to and whether it is a test's."""
    for folder in LAYERS + list(SIDE):
        for base, test in ((root / folder, False), (root / "tests" / folder, True)):
            for path in sorted(base.rglob("*")):
                if path.suffix in (".h", ".cpp"):
                    yield path, folder, test
    for path in sorted((root / "tests" / "support").rglob("*")):
        if path.suffix in (".h", ".cpp"):
            yield path, SUPPORT.get(path.relative_to(root).as_posix(), "platform"), True


def check_includes(root, faults):
    seen = 0
    for path, folder, test in sources(root):
        for match in INCLUDE.finditer(path.read_text(encoding="utf-8")):
            target, rest = match.group(1), match.group(2)
            seen += 1
            name = f"{target}/{rest}"
            if target == "tests":
                ok = rank(SUPPORT.get(name, "platform")) <= rank(folder)
            elif target in LAYERS or target in SIDE:
                ok = allowed(folder, target, test)
            else:
                continue
            if not ok:
                faults.append(f"{path.relative_to(root)}: includes {name} from {folder}/")
    return seen


def check_links(root, faults):
    libraries = {}
    for cmake in root.glob("*/CMakeLists.txt"):
        for match in ADD_LIBRARY.finditer(cmake.read_text(encoding="utf-8")):
            libraries[match.group(1)] = cmake.parent.name
    libraries["spinmarsh_testing"] = "platform"
    seen = 0
    for cmake in sorted(root.glob("*/CMakeLists.txt")):
        text = re.sub(r"#.*", "", cmake.read_text(encoding="utf-8"))
        links = [(cmake.parent.name, m.group(2)) for m in LINK.finditer(text)]
        test = cmake.parent.name == "tests"
        if test:
            links = [(m.group(1), m.group(2)) for m in SET_LAYER.finditer(text)]
        for folder, items in links:
            if folder not in LAYERS and folder not in SIDE:
                continue
            seen += 1
            for item in items.split():
                if item == "Qt6::Widgets" and rank(folder) < WIDGETS_FROM:
                    faults.append(f"{cmake.relative_to(root)}: {folder}/ links Qt6::Widgets")
                target = libraries.get(item)
                if target is not None and not allowed(folder, target, test):
                    faults.append(f"{cmake.relative_to(root)}: {folder}/ links {item} ({target}/)")
    return seen


def main():
    root = Path(sys.argv[1]).resolve()
    faults = []
    includes = check_includes(root, faults)
    links = check_links(root, faults)
    # A check that read nothing would pass whatever the code does.
    if includes < 100 or links < len(LAYERS):
        faults.append(f"found only {includes} includes and {links} link lists to check")
    for fault in faults:
        print(fault)
    print(f"{includes} includes and {links} link lists checked, {len(faults)} upward")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
