#!/usr/bin/env python3
"""The sky charts in a real browser.

Runs vespera on the bundled example, vespera-chart on its report (with the
CSV table), then headless Chromium on the page: a screenshot, which must not
be blank, and the page's DOM, which must have a track on the night's chart
and one on the pass's own chart for every pass of the report, and a chart
with stars for every pass. The CSV must have a row for every prediction line.

Then the labels as the browser lays them out: a copy of the page with a
script that measures every label and tag (getBBox) and reports the pairs
that overlap on any chart, and any label whose text reaches out of the box
that vespera-chart measured for it. Checked on the example and on a crowded
night of the whole-catalogue month (its 30 brightest passes, and all 150
passes of the test's excerpt).

    browser_check.py VESPERA VESPERA_CHART EXAMPLES_DIR CROWDED_REPORT [PICTURES_DIR]

With PICTURES_DIR, the screenshots of the example's first night
(chart-example.png) and of the ISS's pass with the stars (chart-pass.png)
are kept there.

Exits 77 (skipped) when chromium is not on PATH, 1 on a failed check.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

SKIPPED = 77
EXAMPLE_FILES = ("vespera.ctl", "visual.mag", "visual-2017-10-16.tle")

# Measures the labels of every chart after the page has loaded; the result
# replaces the page's body, where --dump-dom finds it.
MEASURE = """
<script>
window.addEventListener("load", () => {
  const lines = [];
  let labels = 0;
  document.querySelectorAll("svg").forEach((svg, chart) => {
    const boxes = [];
    svg.querySelectorAll("text.label, text.tag").forEach((text) => {
      const b = text.getBBox();
      boxes.push({text: text.textContent, x: b.x, y: b.y, w: b.width, h: b.height});
      const plate = text.previousElementSibling;
      const p = plate.getBBox();
      const slack = 0.5;
      if (b.x < p.x - slack || b.y < p.y - slack || b.x + b.width > p.x + p.width + slack ||
          b.y + b.height > p.y + p.height + slack) {
        lines.push("OUTSIDE chart " + chart + ": " + text.textContent + " " +
                   [b.x, b.y, b.width, b.height].join(",") + " in " + [p.x, p.y, p.width, p.height].join(","));
      }
    });
    labels += boxes.length;
    for (let i = 0; i < boxes.length; ++i) {
      for (let j = i + 1; j < boxes.length; ++j) {
        const a = boxes[i], b = boxes[j];
        if (a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h) {
          lines.push("OVERLAP chart " + chart + ": " + a.text + " / " + b.text);
        }
      }
    }
  });
  document.body.innerHTML = "<pre id='measured'>LABELS " + labels + "\\n" + lines.join("\\n") + "</pre>";
});
</script>
"""


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def report_counts(text):
    """Passes and prediction lines of a format-A report, counted from its text:
    an identification line starts with a catalogue number in columns 1-5, a
    prediction line with the hour, minute and second in columns 1-8."""
    passes = lines = 0
    for row in text.splitlines():
        if re.match(r"^ *[0-9]+$", row[:5]) and (len(row) == 5 or row[5] == " "):
            passes += 1
        elif re.match(r"^[ 0-9][0-9][ 0-9]{2}[0-9][ 0-9]{2}[0-9]", row):
            lines += 1
    return passes, lines


def png_pixels(path):
    """Width, height and the pixels (tuples) of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("the screenshot is not a PNG")
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
        fail("unexpected PNG kind: depth %d, colour type %d" % (depth, colour))
    bpp = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    pixels = [row[x:x + bpp] for row in rows for x in range(0, stride, bpp)]
    return width, height, pixels


def chromium_run(chromium, work, *arguments):
    profile = tempfile.mkdtemp(prefix="profile-", dir=work)
    command = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
               "--no-first-run", "--disable-background-networking", "--disable-component-update",
               "--disable-sync", "--user-data-dir=" + profile] + list(arguments)
    done = subprocess.run(command, cwd=work, capture_output=True, text=True, timeout=300)
    if done.returncode != 0:
        fail("chromium exit status %d: %s" % (done.returncode, done.stderr[-2000:]))
    return done.stdout


def screenshot(chromium, work, page, size, name):
    """A screenshot of a page, which must not be blank; its path."""
    shot = os.path.join(work, name)
    chromium_run(chromium, work, "--window-size=" + size, "--hide-scrollbars", "--screenshot=" + shot,
                 "file://" + page)
    width, height, pixels = png_pixels(shot)
    colours = {}
    for p in pixels:
        colours[p] = colours.get(p, 0) + 1
    most = max(colours.values())
    if len(colours) < 16 or most > 0.95 * len(pixels):
        fail("the screenshot %s looks blank: %d colours, %d of %d pixels alike"
             % (name, len(colours), most, len(pixels)))
    return shot


def figure_page(work, page, figure_id):
    """A page of one pass's chart alone, with the page's style."""
    with open(page) as f:
        html = f.read()
    style = re.search(r"<style>.*?</style>", html, re.S).group(0)
    figure = re.search(r'<figure class="pass-chart" id="%s">.*?</figure>' % figure_id, html, re.S).group(0)
    path = os.path.join(work, figure_id + ".html")
    with open(path, "w") as f:
        f.write('<!DOCTYPE html><html><head><meta charset="utf-8">%s</head><body style="margin:10px">%s'
                "</body></html>" % (style, figure))
    return path


def check_labels(chromium, work, page, least_labels):
    """The labels of every chart in the browser: no two overlap, none
    reaches out of its measured box."""
    with open(page) as f:
        html = f.read()
    measuring = page.replace(".html", "-measure.html")
    with open(measuring, "w") as f:
        f.write(html.replace("</body>", MEASURE + "</body>"))
    dom = chromium_run(chromium, work, "--virtual-time-budget=20000", "--dump-dom", "file://" + measuring)
    found = re.search(r"<pre id=\"measured\">LABELS (\d+)\n?(.*?)</pre>", dom, re.S)
    if not found:
        fail("the labels of %s were not measured" % os.path.basename(page))
    labels, problems = int(found.group(1)), found.group(2).strip()
    if problems:
        fail("labels of %s:\n%s" % (os.path.basename(page), problems[:3000]))
    if labels < least_labels:
        fail("%d labels measured on %s, fewer than %d" % (labels, os.path.basename(page), least_labels))
    return labels


def main():
    if len(sys.argv) not in (5, 6):
        print(__doc__)
        return 2
    vespera, chart, examples, crowded = (os.path.abspath(a) for a in sys.argv[1:5])
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        print("chromium is not on PATH: the browser check of the sky charts is skipped")
        return SKIPPED
    with tempfile.TemporaryDirectory(prefix="vespera-chart-") as work:
        for name in EXAMPLE_FILES:
            shutil.copy(os.path.join(examples, name), work)
        subprocess.run([vespera, "vespera.ctl"], cwd=work, check=True, stdout=subprocess.DEVNULL,
                       stdin=subprocess.DEVNULL)
        with open(os.path.join(work, "report.txt")) as f:
            passes, lines = report_counts(f.read())
        subprocess.run([chart, "report.txt", "--csv", "rows.csv"], cwd=work, check=True)
        with open(os.path.join(work, "rows.csv")) as f:
            rows = len(f.read().splitlines()) - 1
        if rows != lines or lines == 0:
            fail("%d CSV rows for %d prediction lines" % (rows, lines))

        page = os.path.join(work, "report.html")
        night_shot = screenshot(chromium, work, page, "900,1250", "chart-example.png")
        pass_shot = screenshot(chromium, work, figure_page(work, page, "n1p2"), "360,420", "chart-pass.png")

        dom = chromium_run(chromium, work, "--dump-dom", "file://" + page)
        tracks = len(re.findall(r'<polyline[^>]*class="track"', dom))
        figures = re.findall(r'<figure class="pass-chart".*?</figure>', dom, re.S)
        starred = sum(1 for f in figures if len(re.findall(r'<path class="stars"', f)) >= 3)
        if tracks != 2 * passes or len(figures) != passes or starred != passes:
            fail("%d tracks, %d pass charts, %d with stars in the page's DOM for %d passes in the report"
                 % (tracks, len(figures), starred, passes))
        labels = check_labels(chromium, work, page, passes)

        shutil.copy(crowded, os.path.join(work, "crowded.txt"))
        crowded_labels = 0
        for name, arguments in (("crowded.html", []), ("crowded-all.html", ["--passes", "0"])):
            subprocess.run([chart, "crowded.txt", "-o", name] + arguments, cwd=work, check=True)
            crowded_labels += check_labels(chromium, work, os.path.join(work, name), 30)
        if len(sys.argv) == 6:
            for shot in (night_shot, pass_shot):
                shutil.copy(shot, os.path.join(sys.argv[5], os.path.basename(shot)))
    print("ok: %d passes drawn as %d tracks with %d pass charts with stars, %d CSV rows for %d prediction "
          "lines; %d labels on the example's charts and %d on the crowded night's, none overlapping"
          % (passes, tracks, len(figures), rows, lines, labels, crowded_labels))
    return 0


if __name__ == "__main__":
    sys.exit(main())
