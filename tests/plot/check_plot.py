#!/usr/bin/env python3
"""check_plot.py PELK_POST MODULE JOB WORKDIR

Draws the job's program with `pelk-post plot`, counts it with
`pelk-post stats --json`, and checks the SVG: it is well-formed XML, it
holds one symbol per station that works and as many strokes, nibbled
paths, laser elements, pierces and positionings as the statistics count,
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
XLINK = "{http://www.w3.org/1999/xlink}"


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
        return sum(1 for e in root.iter(SVG + tag) if cls in (e.get("class") or "").split())
    expected = {
        ("use", "stroke"): stats["strokes"],
        ("use", "nibble-stroke"): stats["nibble_strokes"],
        ("path", "nibble"): stats["nibble_paths"],
        ("path", "laser"): stats["laser_elements"],
        ("circle", "pierce"): stats["pierces"],
        ("line", "move"): stats["moves"],
    }
    failures = []
    for (tag, cls), n in expected.items():
        if count(tag, cls) != n:
            failures.append(f"{count(tag, cls)} <{tag} class=\"{cls}\">, the statistics count {n}")
    working = {s["station"] for s in stats["stations"] if s["strokes"] + s["nibble_strokes"] > 0}
    defs = root.find(SVG + "defs")
    symbols = {e.get("id") for e in defs.iter(SVG + "g")} if defs is not None else set()
    # A station whose strokes strike a clamp's zone or lie off the sheet has a red symbol too.
    if {s for s in symbols if not s.endswith("x")} != {f"t{s}" for s in working} or \
            not {s[:-1] for s in symbols if s.endswith("x")} <= symbols:
        failures.append(f"symbols {sorted(symbols)} for the stations {sorted(working)}")
    for use in root.iter(SVG + "use"):
        if use.get(XLINK + "href") not in {f"#{s}" for s in symbols}:
            failures.append(f"a stroke uses {use.get(XLINK + 'href')}, no symbol of the plot")
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
