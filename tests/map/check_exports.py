#!/usr/bin/env python3
"""Checks plotmap's CSV and GeoJSON exports of a plot file against the plot
file itself, read here by its columns: every data line a CSV row and a Point
feature, field by field; and, for contour levels, every vertex of a level's
lines on an edge between neighbouring receptors of the file's regular grid at
the point interpolated between their values, one on each edge the level
crosses.

usage: check_exports.py PLOT FIELDS NAMES [--csv FILE SEPARATOR] [--geojson FILE [LEVEL ...]]

FIELDS lists the layout's fields as KIND:FIRST:LAST:DECIMALS separated by
blanks (KIND F, E, I or A; columns from 1); NAMES the expected column names,
separated by '|'.
"""
import csv
import json
import re
import struct
import sys
from decimal import Decimal

NUMBER = re.compile(r"^([+-]?)(\d*)(\.?)(\d*)(?:[EeDd]([+-]?\d+)|([+-]\d+))?$")


def fortran_value(text, decimals):
    """The exact value of a real field's text (blanks anywhere ignored), or
    None for infinities and not-a-number."""
    text = text.replace(" ", "")
    if text == "":
        return Decimal(0)
    if re.fullmatch(r"[+-]?(inf|infinity|nan)", text, re.I):
        return None
    match = NUMBER.match(text)
    sign, whole, point, fraction, exponent, signed_exponent = match.groups()
    digits = whole + fraction
    scale = -len(fraction) if point else -decimals
    scale += int(exponent or signed_exponent or 0)
    value = Decimal(int(digits)).scaleb(scale)
    return -value if sign == "-" else value


def as_json_text(raw):
    """Bytes as plotmap puts them in JSON: UTF-8 characters as they are, every other byte as Latin-1."""
    out, at = [], 0
    while at < len(raw):
        for length in (1, 2, 3, 4):
            try:
                character = raw[at:at + length].decode("utf-8")
            except UnicodeDecodeError:
                continue
            if len(character) == 1:
                out.append(character)
                at += length
                break
        else:
            out.append(chr(raw[at]))
            at += 1
    return "".join(out)


def float32(value):
    return struct.unpack("f", struct.pack("f", float(value)))[0]


def main():
    args = sys.argv[1:]
    plot, fields, names = args[0], args[1].split(), args[2].split("|")
    fields = [(kind, int(first) - 1, int(last), int(decimals))
              for kind, first, last, decimals in (f.split(":") for f in fields)]
    with open(plot, "rb") as f:
        lines = [line.rstrip(b"\r\n") for line in f if not line.startswith(b"*")]
    lines = [line.ljust(fields[-1][2]) for line in lines]
    failures = []

    def expect(condition, what):
        if not condition:
            failures.append(what)

    rest = args[3:]
    while rest:
        option = rest.pop(0)
        if option == "--csv":
            name, separator = rest.pop(0), rest.pop(0)
            with open(name, newline="", encoding="latin-1") as f:
                rows = list(csv.reader(f, delimiter=separator, strict=True))
            expect(rows[0] == names, f"CSV heading {rows[0]}")
            expect(len(rows) == len(lines) + 1, f"{len(rows) - 1} CSV rows for {len(lines)} data lines")
            for number, (row, line) in enumerate(zip(rows[1:], lines), 1):
                for (kind, first, last, _), cell in zip(fields, row):
                    raw = line[first:last].decode("latin-1")
                    expected = raw if kind == "A" else raw.strip(" ")
                    if kind != "A" and separator == ";":
                        expected = expected.replace(".", ",")
                    expect(cell == expected, f"CSV row {number}: {cell!r}, not {expected!r}")
                expect(len(row) == len(fields), f"CSV row {number} has {len(row)} cells")
        elif option == "--geojson":
            name = rest.pop(0)
            levels = []
            while rest and not rest[0].startswith("--"):
                levels.append(rest.pop(0))
            with open(name, encoding="utf-8") as f:
                collection = json.load(f, parse_float=Decimal, parse_int=Decimal)
            features = collection["features"]
            points = [f for f in features if f["geometry"] is None or f["geometry"]["type"] == "Point"]
            expect(len(points) == len(lines), f"{len(points)} points for {len(lines)} data lines")
            for number, (feature, line) in enumerate(zip(points, lines), 1):
                properties = feature["properties"]
                expect(list(properties) == names, f"feature {number} properties {list(properties)}")
                values = []
                for (kind, first, last, decimals), key in zip(fields, names):
                    raw = line[first:last]
                    if kind in "FE":
                        expected = fortran_value(raw.decode("latin-1"), decimals)
                    elif kind == "I":
                        expected = Decimal(int(raw.replace(b" ", b"") or b"0"))
                    else:
                        expected = as_json_text(raw)
                    values.append(expected)
                    expect(properties[key] == expected, f"feature {number} {key}: {properties[key]!r}, not {expected!r}")
                place = None if values[0] is None or values[1] is None else [values[0], values[1]]
                geometry = feature["geometry"]
                expect((geometry and geometry["coordinates"]) == place, f"feature {number} at {geometry}, not {place}")
            check_contours(features, levels, fields, lines, expect)
        else:
            sys.exit(__doc__)
    for failure in failures[:20]:
        print(failure)
    sys.exit(1 if failures else 0)


def check_contours(features, levels, fields, lines, expect):
    contours = [f for f in features if f["geometry"] and f["geometry"]["type"] == "MultiLineString"]
    expect([str(f["properties"]["level"]) for f in contours] == levels, f"levels {[f['properties'] for f in contours]}")
    if not levels:
        return
    (_, x0, x1, xd), (_, y0, y1, yd), value = fields[0], fields[1], fields[2]
    receptors = {}
    for line in lines:
        x = float32(fortran_value(line[x0:x1].decode(), xd))
        y = float32(fortran_value(line[y0:y1].decode(), yd))
        receptors[(x, y)] = float32(fortran_value(line[value[1]:value[2]].decode(), value[3]))
    xs, ys = sorted({x for x, _ in receptors}), sorted({y for _, y in receptors})
    # The edges of the cells whose four receptors are all there.
    edges = set()
    for i in range(len(xs) - 1):
        for j in range(len(ys) - 1):
            corners = [(xs[i], ys[j]), (xs[i + 1], ys[j]), (xs[i + 1], ys[j + 1]), (xs[i], ys[j + 1])]
            if all(c in receptors for c in corners):
                edges.update(tuple(sorted((corners[k], corners[(k + 1) % 4]))) for k in range(4))
    for feature in contours:
        level = float32(feature["properties"]["level"])
        crossings = {}
        for a, b in edges:
            va, vb = receptors[a], receptors[b]
            if (va >= level) != (vb >= level):
                t = (level - va) / (vb - va)
                crossings[(a, b)] = (a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]))
        held = {edge: 0 for edge in crossings}
        for line in feature["geometry"]["coordinates"]:
            # A closed line repeats its first point at its end.
            points = line[:-1] if len(line) > 2 and line[0] == line[-1] else line
            for x, y in points:
                on = [edge for edge, (cx, cy) in crossings.items() if abs(float(x) - cx) + abs(float(y) - cy) < 1e-6]
                expect(len(on) == 1, f"level {level}: vertex {x}, {y} lies on {len(on)} crossed edges")
                for edge in on:
                    held[edge] += 1
        expect(all(count == 1 for count in held.values()), f"level {level}: edges hold {sorted(held.values())} vertices")


if __name__ == "__main__":
    main()
