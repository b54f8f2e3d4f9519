#!/usr/bin/env python3
"""Checks the floors of src/: every include runs from a room to itself or to a
room below it, and no two files of a room include each other, however
indirectly. A file and its header count as one unit.

Floors, lowest first: platform, number, the diagnostics and the failure type
(src/*.cpp but main), plot, then merge beside map, dialogue, and main.
Usage: check_rooms.py SRC_DIR; exit status 1 with the faults listed.
"""
import os
import re
import sys

BELOW = {
    'platform': set(),
    'number': {'platform'},
    'root': {'platform', 'number'},
    'plot': {'platform', 'number', 'root'},
    'merge': {'platform', 'number', 'root', 'plot'},
    'map': {'platform', 'number', 'root', 'plot'},
    'dialogue': {'platform', 'number', 'root', 'plot', 'merge'},
    'main': {'platform', 'number', 'root', 'plot', 'merge', 'dialogue'},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def room_of(path):
    if path == 'main.cpp':
        return 'main'
    return path.split('/')[0] if '/' in path else 'root'


def unit_of(path):
    return os.path.splitext(path)[0]


def main():
    src = sys.argv[1]
    faults = []
    edges = {}
    for folder, _, names in os.walk(src):
        for name in names:
            if not name.endswith(('.cpp', '.hpp')):
                continue
            path = os.path.relpath(os.path.join(folder, name), src).replace(os.sep, '/')
            with open(os.path.join(folder, name), encoding='utf-8') as f:
                included = INCLUDE.findall(f.read())
            for target in included:
                if not os.path.exists(os.path.join(src, target)):
                    continue  # an include of tests' own headers, or a system one written with quotes
                here, there = room_of(path), room_of(target)
                if here != there and there not in BELOW[here]:
                    faults.append('%s includes %s: room %s stands below room %s' % (path, target, here, there))
                if unit_of(target) != unit_of(path):
                    edges.setdefault(unit_of(path), set()).add(unit_of(target))
    # A circle of units: a depth-first walk that meets a unit still on its path.
    state = {}

    def walk(unit, path):
        state[unit] = 'open'
        for nxt in sorted(edges.get(unit, ())):
            if state.get(nxt) == 'open':
                faults.append('a circle of includes: ' + ' -> '.join(path[path.index(nxt):] + [nxt]))
            elif nxt not in state:
                walk(nxt, path + [nxt])
        state[unit] = 'done'

    for unit in sorted(edges):
        if unit not in state:
            walk(unit, [unit])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
