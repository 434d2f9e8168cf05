#!/usr/bin/python3
"""check_program_alone.py PELK_POST MODULE EXAMPLES WORKDIR

A program without its job, as a shop has it: the program of
examples/mixed.json (which cuts with the laser, so its LASER.PAR lines stand
in it) read alone by view, plot and stats, with the machine file
examples/machines/shop.json and without one.  The sheet comes from the
program's header, the strokes and the cut are those of the job's program,
and the page loads in headless Chromium with nothing in its console.
"""
import json
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from browser import Browser  # noqa: E402


def run(args, status=(0,)):
    r = subprocess.run(args, capture_output=True, text=True)
    if r.returncode not in status:
        sys.exit(f"{' '.join(args)} ended with {r.returncode}:\n{r.stderr}")
    return r


def main():
    post, module, examples, workdir = sys.argv[1:5]
    os.makedirs(workdir, exist_ok=True)
    job = os.path.join(examples, "mixed.json")
    machine = os.path.join(examples, "machines", "shop.json")
    program = os.path.join(workdir, "alone.nc")
    run([post, "--module", module, "-q", "-o", program, job])
    with_job = json.loads(run([post, "stats", "--json", job, program]).stdout)
    failures = []
    for extra in ([], ["--machine", machine]):
        alone = json.loads(run([post, "stats", "--json", program] + extra).stdout)
        for key in ("strokes", "nibble_strokes", "laser_elements", "pierces", "blocks"):
            if alone[key] != with_job[key]:
                failures.append(f"stats {' '.join(extra)}: {key} {alone[key]}, with the job {with_job[key]}")
        svg = os.path.join(workdir, "alone.svg")
        run([post, "plot", program, "-o", svg] + extra)
        if b'class="laser"' not in open(svg, "rb").read():
            failures.append(f"plot {' '.join(extra)}: no laser cut drawn")

    page = os.path.join(workdir, "alone.html")
    run([post, "view", program, "--machine", machine, "-o", page])
    with Browser() as b:
        if b.open(page) < 0:
            sys.exit(f"{page}: no first picture")
        faults = [text for level, text in b.console() if level in ("SEVERE", "WARNING")]
        if faults:
            failures.append("the console: " + "; ".join(faults[:5]))
        meta = b.run("return window.PELK.meta")
        if meta["sheet"] != [2000, 1000] or meta["clamps"] != [400, 1300]:
            failures.append(f"the sheet {meta['sheet']} and clamps {meta['clamps']}, not the header's")
        if not meta["tools"]:
            failures.append("the machine file's turret gave no footprints")
        s = b.run("return pelkView.state()")
        if s["strokes"] != with_job["strokes"] + with_job["nibble_strokes"]:
            failures.append(f"the page counts {s['strokes']} strokes")
    # Refused: a header whose sheet is no number names its line; nothing written.
    bad = os.path.join(workdir, "bad_header.nc")
    text = open(program, "rb").read().replace(b"(SHEET - 1.5 X 2000 Y 1000)", b"(SHEET - 1.5 X 2000 Y 1O00)")
    open(bad, "wb").write(text)
    out = os.path.join(workdir, "bad_header.html")
    if os.path.exists(out):
        os.remove(out)
    r = run([post, "view", bad, "-o", out], status=(1,))
    if "line 5" not in r.stderr or os.path.exists(out):
        failures.append(f"a header with a size that is no number: {r.stderr.strip()!r}, page written: {os.path.exists(out)}")
    if failures:
        sys.exit("\n".join(failures))
    print(f"the program alone: {with_job['strokes']} strokes, {with_job['laser_elements']} laser elements, as with its job")


if __name__ == "__main__":
    main()
