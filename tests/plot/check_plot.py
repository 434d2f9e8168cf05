#!/usr/bin/env python3
"""check_plot.py PELK_POST MODULE JOB WORKDIR

Draws the job's program with `pelk-post plot`, counts it with
`pelk-post stats --json`, and checks the SVG: it is well-formed XML, it
holds a footprint for each station that works and as many strokes (the
points of its paths of strokes), nibbled paths, laser elements, pierces and
positionings as the statistics count,
and rsvg-convert renders it into a PNG that is not blank.
"""
import json
import os
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET
import zlib

SVG = "{http://www.w3.org/2000/svg}"


def run(args):
    r = subprocess.run(args, capture_output=True, text=True)
    if r.returncode not in (0, 3):
        sys.exit(f"{' '.join(args)} ended with {r.returncode}:\n{r.stderr}")
    return r.stdout


def png_pixels(path):
    """The rows of an 8-bit RGB or RGBA PNG, unfiltered: (width, height, channels, bytes)."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path} is no PNG")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour = header[:4]
    if depth != 8 or colour not in (2, 6):
        sys.exit(f"{path}: a PNG of depth {depth} and colour type {colour} is not read here")
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + b) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


def main():
    post, module, job, workdir = sys.argv[1:5]
    name = os.path.splitext(os.path.basename(job))[0]
    svg_path = os.path.join(workdir, name + ".svg")
    png_path = os.path.join(workdir, name + ".png")
    run([post, "plot", "--module", module, "-q", job, "-o", svg_path])
    stats = json.loads(run([post, "stats", "--module", module, "-q", "--json", job]))

    # 1. Well-formed, and as much in it as the statistics count.
    root = ET.parse(svg_path).getroot()
    def count(tag, cls):
        return sum(1 for e in root.iter(SVG + tag) if e.get("class") == cls)

    def count_strokes(cls):
        """Strokes of the paths of one class: each relative move ends at a footprint."""
        return sum(e.get("d").count("l") for e in root.iter(SVG + "path")
                   if (e.get("class") or "").split()[:1] == [cls])
    expected = {
        ("strokes", "path"): count_strokes("strokes"),
        ("nibble-strokes", "path"): count_strokes("nibble-strokes"),
        ("path", "nibble"): stats["nibble_paths"],
        ("path", "laser"): stats["laser_elements"],
        ("circle", "pierce"): stats["pierces"],
        ("line", "move"): stats["moves"],
    }
    failures = []
    strokes_drawn = expected.pop(("strokes", "path"))
    nibble_strokes_drawn = expected.pop(("nibble-strokes", "path"))
    if strokes_drawn != stats["strokes"]:
        failures.append(f"{strokes_drawn} strokes on the paths of strokes, the statistics count {stats['strokes']}")
    if nibble_strokes_drawn != stats["nibble_strokes"]:
        failures.append(f"{nibble_strokes_drawn} strokes along nibbled paths, the statistics count {stats['nibble_strokes']}")
    for (tag, cls), n in expected.items():
        if count(tag, cls) != n:
            failures.append(f"{count(tag, cls)} <{tag} class=\"{cls}\">, the statistics count {n}")
    # A footprint's marker for each station that works, and every path of
    # strokes placing one of them.
    working = {s["station"] for s in stats["stations"] if s["strokes"] + s["nibble_strokes"] > 0}
    defs = root.find(SVG + "defs")
    markers = {e.get("id"): e.get("class") for e in defs.iter(SVG + "marker")} if defs is not None else {}
    if set(markers.values()) - {None} != {f"t{s}" for s in working}:
        failures.append(f"footprints of {sorted(set(markers.values()) - {None})} for the stations {sorted(working)}")
    for path in root.iter(SVG + "path"):
        kinds = (path.get("class") or "").split()
        if kinds[:1] in (["strokes"], ["nibble-strokes"]) and (len(kinds) != 2 or kinds[1] not in markers):
            failures.append(f"a path of strokes places {kinds[1:]}, no footprint of the plot")
            break

    # 2. Rendered by a real renderer, into a picture that is not blank.
    subprocess.run(["rsvg-convert", "-w", "600", "-o", png_path, svg_path], check=True)
    width, height, channels, rows = png_pixels(png_path)
    inked = sum(1 for row in rows for x in range(0, len(row), channels)
                if min(row[x:x + 3]) < 200 and (channels == 3 or row[x + 3] > 0))
    colours = {row[x:x + 3] for row in rows[::4] for x in range(0, len(row), channels * 4)}
    if inked < width * height // 200 or len(colours) < 3:
        failures.append(f"the PNG of {width} x {height} looks blank: {inked} inked pixels, {len(colours)} colours")

    if failures:
        sys.exit(f"{svg_path}:\n  " + "\n  ".join(failures))
    print(f"{name}: {stats['strokes']} strokes, {stats['nibble_strokes']} nibbling strokes, "
          f"{stats['laser_elements']} laser elements, {inked} inked pixels")


if __name__ == "__main__":
    main()
