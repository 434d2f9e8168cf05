#!/usr/bin/python3
"""check_view.py PELK_POST MODULE MODEL_LINES JOB WORKDIR [--screenshot PNG]

Writes the page of a job with `pelk-post view`, opens it in Debian's headless
Chromium (python3-selenium) and checks it as a person would use it:

1. it loads with no error or warning in the browser's console;
2. for every line that makes strokes, pelkView.select(line) then state()
   gives the place, station, index and strokes so far that the model of the
   control gives (MODEL_LINES, a program of the tests that reads the
   program as verify and stats do);
3. a real mouse click at screenOf(x, y) of a stroke selects a line that
   makes a stroke there; a click on a line's text selects it and draws its
   strokes highlighted;
4. the scrubber (keys Home and End) and the step buttons move through the
   program, and the status bar follows;
5. a screenshot is not blank and shows each tool's colour (and the laser's).

--screenshot PNG also keeps a picture of the page with half the program run
and a line selected (the README's picture is made so).
"""
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "plot"))

from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.actions.action_builder import ActionBuilder  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

from browser import Browser  # noqa: E402
from check_plot import png_pixels, run  # noqa: E402

PLACE_TOLERANCE = 0.002  # mm: the page keeps places to the micrometre


def console_faults(browser):
    return [text for level, text in browser.console() if level in ("SEVERE", "WARNING")]


def click_at(browser, x, y):
    """A real mouse click at the page's coordinates (x, y)."""
    actions = ActionBuilder(browser.driver)
    actions.pointer_action.move_to_location(int(round(x)), int(round(y)))
    actions.pointer_action.click()
    actions.perform()


def colour_of(hex_colour):
    v = int(hex_colour[1:], 16)
    return (v >> 16, (v >> 8) & 255, v & 255)


def main():
    args = sys.argv[1:]
    screenshot = None
    if "--screenshot" in args:
        at = args.index("--screenshot")
        screenshot = args[at + 1]
        del args[at:at + 2]
    post, module, model_lines, job, workdir = args
    name = os.path.splitext(os.path.basename(job))[0]
    os.makedirs(workdir, exist_ok=True)
    page = os.path.join(workdir, name + ".html")
    program = os.path.join(workdir, name + ".nc")
    run([post, "view", "--module", module, "-q", job, "-o", page])
    run([post, "--module", module, "-q", "-o", program, job])
    stats = json.loads(run([post, "stats", "--module", module, "-q", "--json", job, program]))
    model, piercing = [], []
    for text in run([model_lines, job, program]).splitlines():
        line, work, x, y, station, angle, strokes = text.split()
        model.append((int(line), float(x), float(y), int(station), float(angle), int(strokes)))
        if work == "pierce":
            piercing.append(int(line))
    if not model:
        sys.exit(f"{job}: the model finds no line that works")

    failures = []
    with Browser() as b:
        # 1. Loaded, drawn, nothing in the console.
        if b.open(page) < 0:
            sys.exit(f"{page}: no first picture")
        faults = console_faults(b)
        if faults:
            failures.append("the console: " + "; ".join(faults[:5]))
        total = stats["strokes"] + stats["nibble_strokes"]
        end = b.run("return pelkView.state()")
        if end["strokes"] != total:
            failures.append(f"the page counts {end['strokes']} strokes, the statistics {total}")
        # The whole machine time, tool changes, pierces, stops and all: the
        # page sums each event's time in hundredths of a second.
        if abs(end["seconds"] - stats["time_s"]["total"]) > 0.011:
            failures.append(f"the page's machine time is {end['seconds']} s, the statistics' {stats['time_s']['total']} s")
        if b.run("return pelkView.lineCount()") != stats["blocks"]:
            failures.append(f"the page shows {b.run('return pelkView.lineCount()')} lines, the program has {stats['blocks']}")

        # 2. Every line that makes strokes: the page's state is the model's.
        states = b.run("return arguments[0].map((l) => { pelkView.select(l); return pelkView.state(); });",
                       [m[0] for m in model])
        for (line, x, y, station, angle, strokes), s in zip(model, states):
            wrong = []
            if abs(s["x"] - x) > PLACE_TOLERANCE or abs(s["y"] - y) > PLACE_TOLERANCE:
                wrong.append(f"at {s['x']:.4f} {s['y']:.4f}, the model at {x:.4f} {y:.4f}")
            if s["station"] != station or abs(s["index"] - angle) > 0.001:
                wrong.append(f"T{s['station']} C{s['index']}, the model T{station} C{angle}")
            if s["strokes"] != strokes:
                wrong.append(f"{s['strokes']} strokes so far, the model {strokes}")
            if s["line"] != line:
                wrong.append(f"stands at line {s['line']}")
            if wrong:
                failures.append(f"line {line}: " + "; ".join(wrong))

        # 3. A real click on a stroke selects a line that strikes there.
        lines = [m[0] for m in model if m[0] not in piercing]
        picked = lines[:: max(1, len(lines) // 6)][:6]
        clicked = 0
        for line in picked:
            points = b.run("return pelkView.strokesOf(arguments[0])", line)
            for p in points:
                where = b.run("return pelkView.screenOf(arguments[0], arguments[1])", p["x"], p["y"])
                if b.run("return document.elementFromPoint(arguments[0], arguments[1]) === document.getElementById('sheet')",
                         where["x"], where["y"]) is not True:
                    continue  # under the legend: another of its strokes
                click_at(b, where["x"], where["y"])
                chosen = b.run("return pelkView.selectedLine()")
                there = b.run("return pelkView.strokesOf(arguments[0])", chosen)
                if not any(abs(q["x"] - p["x"]) < 0.01 and abs(q["y"] - p["y"]) < 0.01 for q in there):
                    failures.append(f"a click on the stroke of line {line} at {p['x']} {p['y']} selected line {chosen}, "
                                    "which strikes not there")
                clicked += 1
                break
        # ... and one on a pierce selects the line that starts the cut there.
        for line in piercing[:3]:
            b.run("pelkView.select(arguments[0])", line)
            p = b.run("const s = pelkView.state(); return {x: s.sheetX, y: s.sheetY}")
            where = b.run("return pelkView.screenOf(arguments[0], arguments[1])", p["x"], p["y"])
            if b.run("return document.elementFromPoint(arguments[0], arguments[1]) === document.getElementById('sheet')",
                     where["x"], where["y"]) is not True:
                continue
            b.run("pelkView.select(1)")
            click_at(b, where["x"], where["y"])
            chosen = b.run("return pelkView.selectedLine()")
            there = b.run("return pelkView.piercesOf(arguments[0])", chosen)
            if not any(abs(q["x"] - p["x"]) < 0.01 and abs(q["y"] - p["y"]) < 0.01 for q in there):
                failures.append(f"a click on the pierce of line {line} selected line {chosen}, which pierces not there")
            clicked += 1
        if clicked == 0:
            failures.append("no stroke or pierce could be clicked")

        # ... and a click on a line's text highlights its strokes.
        if picked:
            line = picked[0]
            p = b.run("return pelkView.strokesOf(arguments[0])[0]", line)
            probe = ("const w = pelkView.screenOf(arguments[0], arguments[1]);"
                     "const c = document.getElementById('sheet'), r = c.getBoundingClientRect();"
                     "const d = window.devicePixelRatio || 1;"
                     "const probe = document.createElement('canvas'); probe.width = probe.height = 1;"
                     "const p = probe.getContext('2d', {willReadFrequently: true});"
                     "p.drawImage(c, Math.round((w.x - r.left + 6) * d), Math.round((w.y - r.top) * d), 1, 1, 0, 0, 1, 1);"
                     "const px = p.getImageData(0, 0, 1, 1).data;"
                     "return px[0] + px[1] + px[2];")
            b.run("pelkView.select(1)")
            b.run("return new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))")
            before = b.run(probe, p["x"], p["y"])
            b.run("const box = document.getElementById('program');"
                  "box.scrollTop = Math.max(0, (arguments[0] - 5) * 16); box.dispatchEvent(new Event('scroll'));", line)
            b.run("return new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))")
            b.driver.find_element(By.CSS_SELECTOR, f'#program-lines .line[data-line="{line}"]').click()
            b.run("return new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))")
            after = b.run(probe, p["x"], p["y"])
            if b.run("return pelkView.selectedLine()") != line:
                failures.append(f"a click on the text of line {line} selected line {b.run('return pelkView.selectedLine()')}")
            if not after < before - 150:
                failures.append(f"a click on the text of line {line} did not highlight its stroke at {p['x']} {p['y']} "
                                f"(brightness {before} before, {after} after)")

        # 4. The scrubber and the step buttons, and the status bar.
        scrubber = b.driver.find_element(By.ID, "scrubber")
        ActionChains(b.driver).click(scrubber).send_keys(Keys.HOME).perform()
        s = b.run("return pelkView.state()")
        if s["event"] != 0 or s["strokes"] != 0:
            failures.append(f"Home on the scrubber leaves the program at event {s['event']} with {s['strokes']} strokes")
        # The next stroke, or in a program that only cuts, the next contour.
        kind = "stroke" if total > 0 else "contour"
        b.driver.find_element(By.CSS_SELECTOR, f'[data-step="{kind}"][data-dir="1"]').click()
        s = b.run("return pelkView.state()")
        status = b.driver.find_element(By.ID, "status").text
        told = f"strokes {s['strokes']}" if total > 0 else f"cut {s['cutLength']:.1f} mm"
        if (s["strokes"] if total > 0 else s["cutLength"]) <= 0 or told not in status or f"line {s['line']} of" not in status:
            failures.append(f"the next {kind}: {s['strokes']} strokes, {s['cutLength']} mm cut at line {s['line']}; "
                            f"the status says {status!r}")
        first_stroke = s
        b.driver.find_element(By.CSS_SELECTOR, '[data-step="block"][data-dir="1"]').click()
        s = b.run("return pelkView.state()")
        if s["event"] <= first_stroke["event"] or (s["line"] <= first_stroke["line"] and s["copy"] is None):
            failures.append(f"the next block after line {first_stroke['line']} stands at line {s['line']}, event {s['event']}")
        one_block = s
        b.driver.find_element(By.CSS_SELECTOR, '[data-step="block"][data-dir="1"]').click()
        b.driver.find_element(By.CSS_SELECTOR, '[data-step="block"][data-dir="-1"]').click()
        s = b.run("return pelkView.state()")
        if s["event"] != one_block["event"] and one_block["event"] != one_block["events"]:
            failures.append(f"a block on and back goes to event {s['event']}, not back to {one_block['event']}")
        ActionChains(b.driver).click(scrubber).send_keys(Keys.END).perform()
        s = b.run("return pelkView.state()")
        if s["strokes"] != total or s["event"] != s["events"]:
            failures.append(f"End on the scrubber: {s['strokes']} strokes at event {s['event']} of {s['events']}")
        faults = console_faults(b)
        if faults:
            failures.append("the console after use: " + "; ".join(faults[:5]))

        # 5. A picture that is not blank, with each tool's colour.
        b.run("pelkView.select(arguments[0])", b.run("return pelkView.lineCount()"))
        b.run("return new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))")
        png = b.driver.get_screenshot_as_png()
        path = os.path.join(workdir, name + ".png")
        with open(path, "wb") as out:
            out.write(png)
        width, height, channels, rows = png_pixels(path)
        pixels = {row[x:x + 3] for row in rows for x in range(0, len(row), channels)}
        wanted = dict(b.run("return pelkView.stationColours()"))
        if stats["laser_elements"] > 0:
            wanted["laser"] = "#d62728"
        for tool, hex_colour in wanted.items():
            want = colour_of(hex_colour)
            if not any(sum(abs(a - c) for a, c in zip(px, want)) < 30 for px in pixels):
                failures.append(f"the screenshot shows no {hex_colour} of {tool}")
        if len(pixels) < 8:
            failures.append(f"the screenshot looks blank: {len(pixels)} colours")

        # The picture for the README: half the program run, a line selected.
        if screenshot:
            b.run("pelkView.select(arguments[0])", model[len(model) // 2][0])
            b.run("return new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))")
            b.driver.save_screenshot(screenshot)

    if failures:
        sys.exit(f"{page}:\n  " + "\n  ".join(failures))
    print(f"{name}: {len(model)} lines with strokes held against the model, {clicked} clicked, {len(wanted)} colours seen")


if __name__ == "__main__":
    main()
