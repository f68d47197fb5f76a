#!/usr/bin/python3
"""Accuracy of `vespera --model sgp4` against an independent SGP4 (Debian's
python3-sgp4; run with the Debian /usr/bin/python3). Not part of the tests.

    /usr/bin/python3 tools/check_sgp4_accuracy.py VESPERA ELEMENTFILE YEAR MONTH DAY \\
        LATITUDE WESTLONGITUDE [--nights N] [--sample N] [--feet H] [--model M]

The program runs in a temporary directory on a control file of its own: the
nights from DAY on (N of them, default 1) at the site (degrees north, degrees
west as the control file takes them, H feet, default 300), times in UT on the
24-hour clock, magnitudes to 12 above 10 degrees with no magnitude file (every
object estimated), walked passes, format E, the element file read in
streaming mode with older duplicates dropped. `--model compact` checks the
default model the same way.

Every listed point (or a seeded random sample of N of them, default 4000) is
compared with SGP4 (WGS-72, improved mode) of the element set of its
catalogue number (of several sets, the one that fits best), turned from TEME
to the earth by GMST IAU-82 (UT1 taken as UTC), seen from the site on the
WGS-84 ellipsoid along the geodetic vertical. The report cuts the seconds of
each time, so the listed direction belongs to a moment within the printed
second: for each point the tool finds the offset from the printed time, in
-1.5 .. 2.5 s, at which SGP4's direction comes nearest the listed azimuth
and altitude (golden-section search to 0.005 s). It prints:
  - the direction error: the angle on the sky between the listed direction
    and SGP4's at that offset (median, 95th percentile, largest), and
    without the offset (at the printed time + 0.5 s);
  - the time offsets: how many lie within the printed second (0 .. 1 s, with
    a tolerance of 0.02 s for the rounding of the listed angles), their
    median and extremes;
  - the range (km) listed against SGP4's at the offset.
"""
import argparse
import math
import os
import random
import re
import statistics
import subprocess
import sys
import tempfile

from sgp4.api import Satrec, WGS72

MJD_TO_JD = 2400000.5
# A prediction line starts with the time (i2, i3, i3), then format E's angles.
TIME_COLUMNS = re.compile(r"^[ 12]\d [ 1-5]\d [ 1-5]\d[ \d]{4}[ \d]{3}\d\.\d\d[ \d-]{2}\d\.\d\d")
MONTHS = "Jan Feb Mar Apr May JuneJulyAug SeptOct Nov Dec "

CONTROL = """{year} {month}
{first} {last}
0 0
{lat} {wlon} {feet} Accuracy check
0 UT 24
2000
12
10
1.0
F
T
F
T 99
F
F

E
no-such-magnitudes
none
report.txt
elements
end
"""


def mjd_of(year, month, day):
    """Modified Julian day of a calendar date (Gregorian)."""
    a = (14 - month) // 12
    y, m = year + 4800 - a, month + 12 * a - 3
    jdn = day + (153 * m + 2) // 5 + 365 * y + y // 4 - y // 100 + y // 400 - 32045
    return jdn - 2400001


def run_program(args):
    work = tempfile.mkdtemp(prefix="vsp-accuracy-")
    os.symlink(os.path.abspath(args.elements), os.path.join(work, "elements"))
    with open(os.path.join(work, "check.ctl"), "w") as f:
        f.write(CONTROL.format(year=args.year, month=args.month, first=args.day,
                               last=args.day + args.nights - 1, lat=args.latitude,
                               wlon=args.west_longitude, feet=args.feet))
    subprocess.run([os.path.abspath(args.vespera), "--model", args.model, "check.ctl"], cwd=work,
                   check=True, capture_output=True)
    with open(os.path.join(work, "report.txt")) as f:
        return f.read()


def catalogue_key(field):
    """A catalogue number's five columns as a key: the number, or the
    Alpha-5 form (a letter, then four digits) as it stands."""
    field = field.strip()
    return int(field) if field.isdigit() else field


def parse_report(text):
    """Points of a format E report with UT times on the 24-hour clock:
    (ncat, mjd of the printed second, azimuth, altitude, range km)."""
    points, header_mjd, evening, ncat = [], None, False, None
    for line in text.splitlines()[1:]:
        if line.startswith("***  "):
            year, month, day = int(line[5:9]), MONTHS.index(line[10:14]) // 4 + 1, int(line[14:17])
            header_mjd = mjd_of(year, month, day)
            evening = "evening" in line
            continue
        if not line.strip() or line.startswith(" H  M  S"):
            continue
        if TIME_COLUMNS.match(line) and len(line) >= 56:
            h, m, s = int(line[0:2]), int(line[2:5]), int(line[5:8])
            day = header_mjd + (1 if evening and h < 12 else 0)
            points.append((ncat, day + (h * 3600 + m * 60 + s) / 86400.0, float(line[12:19]),
                           float(line[19:25]), int(line[51:56])))
            continue
        ncat = catalogue_key(line[0:5])
    return points


def read_sets(path):
    """Every set of each catalogue number, as Satrec objects."""
    sets = {}
    lines = [l.rstrip("\r\n").rstrip("\r") for l in open(path, newline="")]
    for i, line in enumerate(lines[:-1]):
        if line.startswith("1 ") and lines[i + 1].startswith("2 "):
            sets.setdefault(catalogue_key(line[2:7]), []).append(Satrec.twoline2rv(line, lines[i + 1], WGS72))
    return sets


def gmst(jd):
    t = (jd - 2451545.0) / 36525.0
    seconds = 67310.54841 + (876600.0 * 3600 + 8640184.812866) * t + 0.093104 * t * t - 6.2e-6 * t ** 3
    return math.radians((seconds % 86400.0) / 240.0)


class Site:
    """The site on the WGS-84 ellipsoid, earth-fixed, with its local axes."""

    def __init__(self, lat_deg, wlon_deg, feet):
        a, f = 6378.137, 1.0 / 298.257223563
        e2 = f * (2 - f)
        lat, lon = math.radians(lat_deg), -math.radians(wlon_deg)
        n = a / math.sqrt(1 - e2 * math.sin(lat) ** 2)
        h = feet * 0.0003048
        self.r = ((n + h) * math.cos(lat) * math.cos(lon), (n + h) * math.cos(lat) * math.sin(lon),
                  (n * (1 - e2) + h) * math.sin(lat))
        self.east = (-math.sin(lon), math.cos(lon), 0.0)
        self.north = (-math.sin(lat) * math.cos(lon), -math.sin(lat) * math.sin(lon), math.cos(lat))
        self.up = (math.cos(lat) * math.cos(lon), math.cos(lat) * math.sin(lon), math.sin(lat))


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def look(sat, site, mjd):
    """SGP4's azimuth, altitude (degrees) and range (km) at an MJD (UTC)."""
    jd = mjd + MJD_TO_JD
    whole = math.floor(jd)
    err, r, _ = sat.sgp4(whole, jd - whole)
    if err:
        return None
    th = gmst(jd)
    c, s = math.cos(th), math.sin(th)
    fixed = (c * r[0] + s * r[1], -s * r[0] + c * r[1], r[2])
    d = (fixed[0] - site.r[0], fixed[1] - site.r[1], fixed[2] - site.r[2])
    rng = math.sqrt(dot(d, d))
    alt = math.degrees(math.asin(dot(d, site.up) / rng))
    az = math.degrees(math.atan2(dot(d, site.east), dot(d, site.north))) % 360.0
    return az, alt, rng


def separation(az1, alt1, az2, alt2):
    """Angle on the sky between two directions, degrees."""
    a1, h1, a2, h2 = map(math.radians, (az1, alt1, az2, alt2))
    c = math.sin(h1) * math.sin(h2) + math.cos(h1) * math.cos(h2) * math.cos(a1 - a2)
    s = math.hypot(math.cos(h2) * math.sin(a2 - a1),
                   math.cos(h1) * math.sin(h2) - math.sin(h1) * math.cos(h2) * math.cos(a2 - a1))
    return math.degrees(math.atan2(s, c))


def best_offset(sat, site, point):
    """The offset (s) from the printed second at which SGP4 comes nearest the
    listed direction, the angle there, and SGP4's range there."""
    _, mjd, az, alt, _ = point

    def error(offset):
        seen = look(sat, site, mjd + offset / 86400.0)
        return 1e9 if seen is None else separation(az, alt, seen[0], seen[1])

    lo, hi = -1.5, 2.5
    g = (math.sqrt(5) - 1) / 2
    x1, x2 = hi - g * (hi - lo), lo + g * (hi - lo)
    f1, f2 = error(x1), error(x2)
    while hi - lo > 0.005:
        if f1 < f2:
            hi, x2, f2 = x2, x1, f1
            x1 = hi - g * (hi - lo)
            f1 = error(x1)
        else:
            lo, x1, f1 = x1, x2, f2
            x2 = lo + g * (hi - lo)
            f2 = error(x2)
    offset = (lo + hi) / 2
    seen = look(sat, site, mjd + offset / 86400.0)
    return offset, error(offset), seen[2] if seen else float("nan"), error(0.5)


def percentile(values, q):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(q * len(ordered)))]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vespera")
    parser.add_argument("elements")
    parser.add_argument("year", type=int)
    parser.add_argument("month", type=int)
    parser.add_argument("day", type=int)
    parser.add_argument("latitude", type=float)
    parser.add_argument("west_longitude", type=float)
    parser.add_argument("--nights", type=int, default=1)
    parser.add_argument("--sample", type=int, default=4000)
    parser.add_argument("--feet", type=float, default=300.0)
    parser.add_argument("--model", default="sgp4")
    args = parser.parse_args()

    points = parse_report(run_program(args))
    sets = read_sets(args.elements)
    site = Site(args.latitude, args.west_longitude, args.feet)
    listed = len(points)
    random.seed(20180114)
    if len(points) > args.sample:
        points = random.sample(points, args.sample)
    errors, raw_errors, offsets, range_diffs = [], [], [], []
    for point in points:
        best = None
        for sat in sets.get(point[0], []):
            found = best_offset(sat, site, point)
            if best is None or found[1] < best[1]:
                best = found
        if best is None or best[1] >= 1e9:
            continue
        offset, angle, rng, raw = best
        errors.append(angle)
        raw_errors.append(raw)
        offsets.append(offset)
        range_diffs.append(point[4] - rng)
    n = len(errors)
    print("model %s, %s, nights from %04d-%02d-%02d (%d), site %.2f N %.2f W: %d points listed, %d compared"
          % (args.model, os.path.basename(args.elements), args.year, args.month, args.day, args.nights,
             args.latitude, args.west_longitude, listed, n))
    if not n:
        return 1
    print("  direction, best offset:  median %.4f deg, 95%% %.4f deg, largest %.4f deg"
          % (statistics.median(errors), percentile(errors, 0.95), max(errors)))
    print("  direction, printed + 0.5 s: median %.4f deg, 95%% %.4f deg, largest %.4f deg"
          % (statistics.median(raw_errors), percentile(raw_errors, 0.95), max(raw_errors)))
    inside = sum(1 for o in offsets if -0.02 <= o <= 1.02)
    print("  time offsets: %d of %d (%.2f%%) within the printed second; median %.3f s, %.3f .. %.3f s"
          % (inside, n, 100.0 * inside / n, statistics.median(offsets), min(offsets), max(offsets)))
    abs_range = [abs(x) for x in range_diffs]
    print("  range listed - SGP4: median |d| %.2f km, largest %.2f km" % (statistics.median(abs_range),
                                                                        max(abs_range)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
