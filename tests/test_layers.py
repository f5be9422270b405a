#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spinmarsh developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails on any include or link from a layer to one above it.

The layers, in the order they build: base, platform, art, play, screens,
windows, app. A folder may include headers ("layer/name.h") of its own layer
and those below, and its libraries may link only those. The platform's
implementations that bring a library in (platform/audio, platform/input,
platform/storage) rest on platform and serve app/ and the tests alone. The
stand-in world serves the tools, the benchmark and the tests alone:
headless/stand_ins/ sits on platform, headless/ on play; tools/ and bench/
sit on it. tests/<layer>/ (tests/platform/<part>/ for those implementations)
is held to its layer, includes and linked libraries alike; tests/e2e/ and
tests/install/ may use anything. Qt Widgets only from windows/ up.

Usage: test_layers.py SOURCE_DIR
"""

import re
import sys
from pathlib import Path

LAYERS = ["base", "platform", "art", "play", "screens", "windows", "app"]
WIDGETS_FROM = LAYERS.index("windows")
# Folders beside the stack and the highest layer each rests on.
SIDE = {"platform/audio": "platform", "platform/input": "platform",
        "platform/storage": "platform", "headless/stand_ins": "platform", "headless": "play",
        "tools": "headless", "bench": "headless", "e2e": "app", "install": "app"}
# What only the tools, the benchmark and the tests may use.
HARNESS = ("headless", "headless/stand_ins")
# What only the game itself and the tests may use.
IMPLEMENTATIONS = ("platform/audio", "platform/input", "platform/storage")
FOLDERS = LAYERS + list(SIDE)
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


def folder_of(path):
    """The deepest known folder a path ("platform/audio/x.h") lies in."""
    parts = path.split("/")
    for n in range(len(parts) - 1, 0, -1):
        folder = "/".join(parts[:n])
        if folder in FOLDERS:
            return folder
    return None


def allowed(folder, target_folder, test=False):
    """Whether code held to folder (in tests/ if test) may use target_folder."""
    if target_folder == folder:
        return True
    if rank(target_folder) > rank(folder):
        return False
    if target_folder in LAYERS:
        return True
    if target_folder in HARNESS:
        return test or folder in ("tools", "bench") + HARNESS
    if target_folder in IMPLEMENTATIONS:
        return test or folder == "app"
    # Beside the stack: only the tests of the whole program use those.
    return folder in ("e2e", "install")


def sources(root):
    """Every source file with the folder it is held to and whether it is a test's."""
    for top in LAYERS + list(SIDE):
        for base, test in ((root, False), (root / "tests", True)):
            for path in sorted((base / top).glob("*")):
                if path.suffix in (".h", ".cpp"):
                    yield path, folder_of(path.relative_to(base).as_posix()), test
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
                ok = allowed(folder, folder_of(name), test)
            else:
                continue
            if not ok:
                faults.append(f"{path.relative_to(root)}: includes {name} from {folder}/")
    return seen


def check_links(root, faults):
    cmakes = sorted(path for path in (root / folder / "CMakeLists.txt" for folder in FOLDERS)
                    if path.exists()) + [root / "tests" / "CMakeLists.txt"]
    libraries = {}
    for cmake in cmakes:
        for match in ADD_LIBRARY.finditer(cmake.read_text(encoding="utf-8")):
            libraries[match.group(1)] = cmake.parent.relative_to(root).as_posix()
    libraries["spinmarsh_testing"] = "platform"
    # A test folder's list is named after it: layer_platform_audio.
    test_folders = {folder.replace("/", "_"): folder for folder in FOLDERS}
    seen = 0
    for cmake in cmakes:
        text = re.sub(r"#.*", "", cmake.read_text(encoding="utf-8"))
        folder = cmake.parent.relative_to(root).as_posix()
        links = [(folder, m.group(2)) for m in LINK.finditer(text)]
        test = folder == "tests"
        if test:
            links = [(test_folders.get(m.group(1)), m.group(2)) for m in SET_LAYER.finditer(text)]
        for folder, items in links:
            if folder not in FOLDERS:
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
