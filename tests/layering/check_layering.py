#!/usr/bin/env python3
"""Checks that no folder of src/ includes a header of a folder above it.

usage: check_layering.py SRC_DIR
"""
import os
import re
import sys

# Each folder and the folders it may include, itself always allowed.
ALLOWED = {
    "platform": set(),
    "dbf": {"platform"},
    "standard": {"platform", "dbf"},
    "mapping": {"platform", "dbf", "standard"},
    "convert": {"platform", "dbf", "standard", "mapping"},
    "adif": {"platform", "dbf", "standard", "mapping"},
    "cli": {"platform", "dbf", "standard", "mapping", "convert", "adif"},
    "app": {"platform", "dbf", "standard", "mapping", "convert"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/')


def main(src):
    problems = []
    for folder, allowed in ALLOWED.items():
        root = os.path.join(src, folder)
        for name in sorted(os.listdir(root)):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            with open(path, encoding="latin-1") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if m and m.group(1) != folder and m.group(1) not in allowed:
                        problems.append(f"{folder}/{name}:{number}: includes "
                                        f"{m.group(1)}/, which is above it")
    unknown = set(os.listdir(src)) - set(ALLOWED) - {"CMakeLists.txt"}
    for folder in sorted(unknown):
        problems.append(f"{folder}/: a folder with no place in the layering")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
