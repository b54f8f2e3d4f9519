#!/usr/bin/env python3
"""Checks a plotmap SVG: it parses as XML, and, when a PNG rendering of it is
given, the pixels at chosen places of the map frame have the expected colours.

usage: check_map.py MAP.svg [MAP.png FX,FY,#RRGGBB ...]

FX and FY are fractions of the frame (the rectangle with id "frame"), from
its left and from its top edge.
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree
import zlib

SVG = "{http://www.w3.org/2000/svg}"
TOLERANCE = 3


def read_png(path, last_row):
    """Width, height, channels and the rows up to last_row of an 8-bit RGBA
    or RGB PNG, not interlaced."""
    with open(path, "rb") as png:
        data = png.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    at, chunks, header = 8, [], None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        at += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type not in (2, 6) or interlace:
        sys.exit(f"{path}: only 8-bit RGB or RGBA PNG without interlacing is read here")
    channels = 4 if colour_type == 6 else 3
    raw = zlib.decompress(b"".join(chunks))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(min(height, last_row + 1)):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            up_left = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else up_left
                line[i] = (line[i] + predictor) & 0xFF
        rows.append(line)
        previous = line
    return width, height, channels, rows


def main():
    if len(sys.argv) < 2 or len(sys.argv) == 3:
        sys.exit(__doc__)
    root = ElementTree.parse(sys.argv[1]).getroot()
    if root.tag != SVG + "svg":
        sys.exit(f"{sys.argv[1]}: the root element is {root.tag}, not svg")
    if len(sys.argv) == 2:
        return
    frame = next((e for e in root.iter(SVG + "rect") if e.get("id") == "frame"), None)
    if frame is None:
        sys.exit("no frame rectangle in the map")
    fx, fy, fw, fh = (float(frame.get(k)) for k in ("x", "y", "width", "height"))
    places = []
    for check in sys.argv[3:]:
        along, down, colour = check.split(",")
        places.append((along, down, colour, int(fx + float(along) * fw), int(fy + float(down) * fh)))
    width, height, channels, rows = read_png(sys.argv[2], max(y for *_, y in places))
    failed = False
    for along, down, colour, x, y in places:
        expected = bytes.fromhex(colour.lstrip("#"))
        found = bytes(rows[y][x * channels:x * channels + 3])
        if any(abs(a - b) > TOLERANCE for a, b in zip(expected, found)):
            print(f"pixel ({x}, {y}) at {along}, {down} of the frame is #{found.hex()}, not {colour}")
            failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
