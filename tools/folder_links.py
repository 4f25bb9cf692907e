#!/usr/bin/env python3
"""How the folders of Game_Engine/ depend on each other, from their #include "..." lines.

A folder is the first path part under Game_Engine/ ("(entry)" for the files beside main.cpp);
folder A links to B when a file of A includes a file of B. Prints the number of folders, the
pairs linked (either way), the pairs that include each other both ways, and the cycles: each
group of two or more folders that can all reach one another through includes.

    python3 tools/folder_links.py [--details] [ENGINE_DIR]
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(relative_path):
    parts = relative_path.split("/")
    return parts[0] if len(parts) > 1 else "(entry)"


def read_links(engine_dir):
    """Maps (from_folder, to_folder) to the include lines behind it."""
    links, folders = {}, set()
    for directory, _, files in os.walk(engine_dir):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(directory, name)
            source = os.path.relpath(path, engine_dir)
            folders.add(folder_of(source))
            with open(path, encoding="utf-8", errors="replace") as text:
                for line in text:
                    match = INCLUDE.match(line)
                    if not match or not os.path.exists(os.path.join(engine_dir, match.group(1))):
                        continue
                    target = folder_of(match.group(1))
                    if target != folder_of(source):
                        links.setdefault((folder_of(source), target), []).append(source + " -> " + match.group(1))
    return folders, links


def cycles(folders, links):
    """The strongly connected groups of more than one folder."""
    reach = {f: set() for f in folders}
    for start in folders:
        stack = [start]
        while stack:
            for (a, b) in links:
                if a == stack[-1] and b not in reach[start]:
                    reach[start].add(b)
                    stack.append(b)
                    break
            else:
                stack.pop()
    groups, placed = [], set()
    for f in sorted(folders):
        if f in placed:
            continue
        group = {f} | {g for g in reach[f] if f in reach[g]}
        placed |= group
        if len(group) > 1:
            groups.append(sorted(group))
    return groups


def main():
    arguments = [a for a in sys.argv[1:] if a != "--details"]
    engine_dir = arguments[0] if arguments else os.path.join(os.path.dirname(__file__), "..", "Game_Engine")
    folders, links = read_links(engine_dir)
    linked = {frozenset(pair) for pair in links}
    both_ways = sorted(tuple(sorted(pair)) for pair in linked if len(pair) == 2 and tuple(reversed(sorted(pair))) in links
                       and tuple(sorted(pair)) in links)
    groups = cycles(folders, links)
    print(f"folders: {len(folders)}, pairs possible: {len(folders) * (len(folders) - 1) // 2}")
    print(f"pairs linked: {len(linked)}")
    print(f"pairs including each other both ways: {len(both_ways)}")
    for a, b in both_ways:
        print(f"  {a} <-> {b} ({len(links[(a, b)])} / {len(links[(b, a)])} includes)")
        if "--details" in sys.argv:
            for line in links[(a, b)] + links[(b, a)]:
                print("      " + line)
    print(f"folder cycles: {len(groups)}")
    for group in groups:
        print(f"  {len(group)} folders: {' '.join(group)}")


if __name__ == "__main__":
    main()
