#!/usr/bin/python3
"""view_benchmark.py BUILD [HITS]

The page and the plot of a big program: the generated punching job of
end_to_end_benchmark.cpp (HITS hits, a million by default, three stations,
a change of station every ten hits, index words in steps of 45 degrees),
posted once; then

- `pelk-post view JOB`: the time it takes and the page's size;
- the page opened in Debian's headless Chromium: the time to its first
  picture (from the start of the page's navigation), and how long a picture
  takes while scrubbing (the scrubber set to twenty places, on through the
  program and then back and forth, each drawn);
- `pelk-post plot JOB PROGRAM`: the time, the SVG's size, and
  `rsvg-convert` rendering it (time, peak memory).

Run from the source folder, as root, with the tests' packages installed
(bash tools/install-deps.sh tests) and a build in BUILD.
"""
import os
import resource
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "view"))
from browser import Browser  # noqa: E402


def write_job(hits):
    """The job of end_to_end_benchmark.cpp's write_punching_job, byte for byte."""
    path = f"/tmp/pelk_bench_{hits}_hits.json"
    if os.path.exists(path):
        return path
    with open(path + ".part", "w") as out:
        out.write('{"machine": {"post_processor": 7001}, "sheet": {"material": "ST37 (3)", "nest_name": "BENCH"},\n'
                  ' "turret": [{"tool": 11, "station": 1, "options": "R1", "indexable": true},\n'
                  '            {"tool": 12, "station": 2, "options": "F"},\n'
                  '            {"tool": 13, "station": 3, "indexable": true}],\n'
                  ' "work": [\n')
        for i in range(hits):
            tool = 11 + (i // 10) % 3
            angle = 0.0 if tool == 12 else (i % 4) * 45.0
            out.write('%s{"hit": {"x": %.2f, "y": %.2f, "tool": %d, "angle": %g}}'
                      % ("" if i == 0 else ",\n", 10.0 + i % 200 * 12.5, 10.0 + (i // 200) % 100 * 12.5, tool, angle))
        out.write("]}\n")
    os.rename(path + ".part", path)
    return path


def timed(args):
    """Wall time and the child's peak memory (MB) of one run."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    start = time.monotonic()
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
    seconds = time.monotonic() - start
    peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    return seconds, max(peak, before) / 1024


def main():
    build = sys.argv[1]
    hits = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    post = os.path.join(build, "pelk-post")
    job = write_job(hits)
    program = job + ".program.nc"
    if not os.path.exists(program):
        subprocess.run([post, "-o", program, job], check=True)
    page = f"/tmp/pelk_bench_{hits}_hits.html"
    svg = f"/tmp/pelk_bench_{hits}_hits.svg"
    png = f"/tmp/pelk_bench_{hits}_hits.png"

    seconds, _ = timed([post, "view", job, "-o", page])
    print(f"pelk-post view JOB ({hits} hits, posted first): {seconds:.2f} s, page {os.path.getsize(page) / 1e6:.1f} MB")

    with Browser() as b:
        start = time.monotonic()
        first = b.open(page, timeout=120)
        opened = time.monotonic() - start
        faults = [text for level, text in b.console() if level in ("SEVERE", "WARNING")]
        print(f"headless Chromium: first picture at {first / 1000:.2f} s from the page's start "
              f"({opened:.2f} s from the driver's request); console: {faults or 'nothing'}")
        draws = b.run("""
            const scrubber = document.getElementById('scrubber');
            const n = Number(scrubber.max), times = [];
            const frame = () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
            return (async () => {
              // On through the program, then back and forth.
              const places = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 3, 8, 1, 9, 5, 2, 7, 4, 10, 6];
              for (const k of places) {
                scrubber.value = String(Math.round(n * k / 11));
                const t = performance.now();
                scrubber.dispatchEvent(new Event('input'));
                await frame();
                times.push([performance.now() - t, pelkView.lastDrawMs]);
              }
              return times;
            })();""")
        waits = sorted(t[0] for t in draws)
        pictures = sorted(t[1] for t in draws)
        print(f"scrubbing: a picture in {pictures[len(pictures) // 2]:.0f} ms (median of 20; "
              f"{pictures[0]:.0f} to {pictures[-1]:.0f}), the scrubber's input to the next frame "
              f"{waits[len(waits) // 2]:.0f} ms")

    seconds, _ = timed([post, "plot", job, program, "-o", svg])
    print(f"pelk-post plot JOB PROGRAM: {seconds:.2f} s, SVG {os.path.getsize(svg) / 1e6:.1f} MB")
    seconds, peak = timed(["rsvg-convert", "-w", "1600", "-o", png, svg])
    print(f"rsvg-convert -w 1600: {seconds:.1f} s, peak {peak:.0f} MB, PNG {os.path.getsize(png) / 1e3:.0f} kB")


if __name__ == "__main__":
    main()
