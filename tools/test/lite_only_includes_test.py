#!/usr/bin/env python3
"""Fails when a source meant for real ROS 2 includes a header only our rclcpp subset has.

Usage: lite_only_includes_test.py WORKSPACE_ROOT

The node, its interfaces, the tools and the tests build against real rclcpp on a robot, so they
may include only headers that ROS 2 Humble ships. Headers of our subset that real rclcpp does not
have: everything under rclcpp_lite/ and our own rclcpp/detail/ helpers.
"""
import pathlib
import re
import sys

# Built only where ROS 2 is absent: the subset itself, its yardstick (see bench/CMakeLists.txt)
# and the fuzzers, which also take the subset's own parsers apart.
BUILT_ONLY_WITHOUT_ROS_DIRS = {"standalone", "fuzz"}
BUILT_ONLY_WITHOUT_ROS = {"bench/raw_dds_roundtrip.cpp"}
SOURCE_SUFFIXES = {".cpp", ".hpp", ".h", ".cc"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)


def lite_only_headers(root):
    headers = set()
    # Each layer of the subset has an include directory of its own (rclcpp/, rcl/, rmw/, cdr/).
    for include_dir in (root / "standalone" / "rclcpp_lite").glob("*/include"):
        for path in include_dir.rglob("*"):
            name = path.relative_to(include_dir).as_posix()
            if path.is_file() and name.startswith(("rclcpp_lite/", "rclcpp/detail/")):
                headers.add(name)
    return headers


def offending_includes(root, forbidden):
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root).as_posix()
        top = relative.split("/", 1)[0]
        if (path.suffix not in SOURCE_SUFFIXES or top in BUILT_ONLY_WITHOUT_ROS_DIRS
                or top.startswith(("build", "install", "log")) or relative in BUILT_ONLY_WITHOUT_ROS):
            continue
        for header in INCLUDE.findall(path.read_text(errors="replace")):
            if header in forbidden:
                yield relative, header


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    forbidden = lite_only_headers(root)
    if not forbidden:
        print(f"no headers of the rclcpp subset found under {root}: wrong workspace root?")
        return 1
    offences = list(offending_includes(root, forbidden))
    for source, header in offences:
        print(f"{source}: includes {header}, which real ROS 2 does not have")
    print(f"checked against {len(forbidden)} subset-only headers: {len(offences)} offending includes")
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())
