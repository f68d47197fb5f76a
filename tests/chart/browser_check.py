#!/usr/bin/env python3
"""The example's sky charts in a real browser.

Runs vespera on the bundled example, vespera-chart on its report (with the
CSV table), then headless Chromium twice on the page: a screenshot, which must
not be blank, and the page's DOM, whose tracks must be as many as the report
has passes. The CSV must have a row for every prediction line.

    browser_check.py VESPERA VESPERA_CHART EXAMPLES_DIR [SCREENSHOT.png]

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
    done = subprocess.run(command, cwd=work, capture_output=True, text=True, timeout=180)
    if done.returncode != 0:
        fail("chromium exit status %d: %s" % (done.returncode, done.stderr[-2000:]))
    return done.stdout


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__)
        return 2
    vespera, chart, examples = (os.path.abspath(a) for a in sys.argv[1:4])
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

        page = "file://" + os.path.join(work, "report.html")
        chromium_run(chromium, work, "--window-size=900,1250", "--hide-scrollbars",
                     "--screenshot=" + os.path.join(work, "shot.png"), page)
        width, height, pixels = png_pixels(os.path.join(work, "shot.png"))
        colours = {}
        for p in pixels:
            colours[p] = colours.get(p, 0) + 1
        most = max(colours.values())
        if len(colours) < 16 or most > 0.95 * len(pixels):
            fail("the screenshot looks blank: %d colours, %d of %d pixels alike"
                 % (len(colours), most, len(pixels)))

        dom = chromium_run(chromium, work, "--dump-dom", page)
        tracks = len(re.findall(r'<polyline[^>]*class="track"', dom))
        if tracks != passes:
            fail("%d tracks in the page's DOM for %d passes in the report" % (tracks, passes))
        if len(sys.argv) == 5:
            shutil.copy(os.path.join(work, "shot.png"), sys.argv[4])
    print("ok: %d passes drawn as %d tracks, %d CSV rows for %d prediction lines, screenshot "
          "%dx%d with %d colours" % (passes, tracks, rows, lines, width, height, len(colours)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
