#!/usr/bin/python3
"""Compares the points of a vespera report with an SGP4 computation of the
same element sets (Debian packages python3-sgp4 and python3-ephem; run with
the Debian /usr/bin/python3). Not part of the tests.

    /usr/bin/python3 tools/check_passes.py VESPERA [ELEMENTFILE [MAGFILE]]

VESPERA is the program (e.g. build/vespera). The element file defaults to
examples/visual-2017-10-16.tle and the magnitude file to examples/visual.mag.
The program is run in a temporary directory on a control file of its own:
the nights of 2017 October 16, 17 and 18 at 40 N 75 W, 300 ft, times in UT
on the 24-hour clock, magnitudes to 4.5 above 10 degrees, walked passes,
format E (angles to hundredths of a degree).

For every listed point of the ISS (25544) it prints, against SGP4 (WGS-72,
TEME turned to the earth by GMST, the site on the WGS-84 ellipsoid) and the
sun of PyEphem:
  - the altitude and azimuth differences at the listed time (azimuth also as
    an angle on the sky, times the cosine of the altitude),
  - dt: how much later SGP4 passes the point of its track nearest to the
    listed place, and the distance of the listed place from that track,
  - the direction of motion of the SGP4 track against the listed one,
  - the magnitude from the SGP4 geometry (the program's own brightness
    formula with the catalogue's standard magnitude) against the listed one,
  - the height above the earth's shadow cylinder from SGP4 and PyEphem's sun
    against the listed one, and the sun's altitude at the site;
then, per ISS pass, the span in which SGP4 finds the satellite above 10
degrees, sunlit, bright enough and the sun 10 degrees down, against the
first and last listed points. Last, a summary of the same figures for every
satellite of the report.
"""
import math
import os
import subprocess
import sys
import tempfile

import ephem
from sgp4.api import Satrec, WGS72

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MJD_TO_JD = 2400000.5
DUBLIN_TO_MJD = 15019.5  # ephem dates are days from 1899 December 31 12h
SITE_LAT, SITE_WLON, SITE_FEET = 40.0, 75.0, 300.0
MIN_ALT, MAG_LIMIT = 10.0, 4.5

CONTROL = """2017 10
16 18
0 0
40.0 75.0 300 Backyard observatory
0 UT 24
2000
4.5
10
1.0
T
T
F
T 99
F
F

E
mags
none
report.txt
elements
end
"""


# --- the program's report ---------------------------------------------------

def run_program(program, element_file, mag_file):
    work = tempfile.mkdtemp(prefix="vsp-check-")
    os.symlink(os.path.abspath(element_file), os.path.join(work, "elements"))
    os.symlink(os.path.abspath(mag_file), os.path.join(work, "mags"))
    with open(os.path.join(work, "check.ctl"), "w") as f:
        f.write(CONTROL)
    subprocess.run([os.path.abspath(program), "check.ctl"], cwd=work, check=True, capture_output=True)
    with open(os.path.join(work, "report.txt")) as f:
        return f.read()


MONTHS = "Jan Feb Mar Apr May JuneJulyAug SeptOct Nov Dec "


def parse_report(text):
    """Points of a format E report with UT times: a list of passes, each a
    dict with ncat, standard magnitude and its points."""
    passes, header_mjd, evening, pending = [], None, False, None
    for line in text.splitlines()[1:]:
        if line.startswith("***  "):
            year, month, day = int(line[5:9]), MONTHS.index(line[10:14]) // 4 + 1, int(line[14:17])
            header_mjd = ephem.Date("%d/%d/%d" % (year, month, day)) + DUBLIN_TO_MJD
            evening = "evening" in line
            continue
        if not line.strip() or line.startswith(" H  M  S"):
            continue
        if len(line) == 75 and line[2] == " " and line[19] == " ":
            h, m, s = int(line[0:2]), int(line[2:5]), int(line[5:8])
            day = header_mjd + (1 if evening and h < 12 else 0)
            point = {
                "mjd": day + (h * 3600 + m * 60 + s + 0.5) / 86400.0,  # seconds are cut: take the middle
                "text": line, "az": float(line[12:19]), "alt": float(line[19:25]), "c": line[26] == "C",
                "dir": int(line[27:31]), "mag": float(line[31:36]), "hgt": int(line[42:47]),
                "shd": int(line[47:51]), "rng": int(line[51:56]), "phs": int(line[60:64]),
            }
            if pending is not None:
                passes.append(pending)
                pending = None
            passes[-1]["points"].append(point)
            continue
        ncat = int(line[0:5])
        std = float(line[38:42]) if len(line) >= 42 and line[38:42].strip() else 20.0
        pending = {"ncat": ncat, "std": std, "points": [], "id": line.rstrip()}
    return passes


# --- SGP4, the site and the sun -----------------------------------------------

def read_sets(path):
    """The last (newest) set of each catalogue number, as Satrec objects."""
    sets = {}
    lines = [l.rstrip("\r\n") for l in open(path, newline="")]
    lines = [l.rstrip("\r") for l in lines]
    for i, line in enumerate(lines[:-1]):
        if line.startswith("1 ") and lines[i + 1].startswith("2 "):
            ncat = int(line[2:7])
            sat = Satrec.twoline2rv(line, lines[i + 1], WGS72)
            if ncat not in sets or sat.jdsatepoch + sat.jdsatepochF > sets[ncat].jdsatepoch + sets[ncat].jdsatepochF:
                sets[ncat] = sat
    return sets


def gmst(jd):
    t = (jd - 2451545.0) / 36525.0
    seconds = 67310.54841 + (876600.0 * 3600 + 8640184.812866) * t + 0.093104 * t * t - 6.2e-6 * t ** 3
    return math.radians((seconds % 86400.0) / 240.0)


def site_vector(theta):
    """Site on the WGS-84 ellipsoid in the TEME-like frame, km; and its local
    east, north and up axes."""
    a, f = 6378.137, 1.0 / 298.257223563
    lat = math.radians(SITE_LAT)
    e2 = f * (2 - f)
    n = a / math.sqrt(1 - e2 * math.sin(lat) ** 2)
    h = SITE_FEET * 0.0003048
    lst = theta - math.radians(SITE_WLON)
    xy, z = (n + h) * math.cos(lat), (n * (1 - e2) + h) * math.sin(lat)
    r = (xy * math.cos(lst), xy * math.sin(lst), z)
    east = (-math.sin(lst), math.cos(lst), 0.0)
    north = (-math.sin(lat) * math.cos(lst), -math.sin(lat) * math.sin(lst), math.cos(lat))
    up = (math.cos(lat) * math.cos(lst), math.cos(lat) * math.sin(lst), math.sin(lat))
    return r, east, north, up


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def sun_unit(mjd):
    sun = ephem.Sun(ephem.Date(mjd - DUBLIN_TO_MJD))
    ra, dec = float(sun.g_ra), float(sun.g_dec)
    return (math.cos(dec) * math.cos(ra), math.cos(dec) * math.sin(ra), math.sin(dec))


def look(sat, mjd):
    """SGP4 seen from the site at an MJD (UT): a dict of altitude, azimuth
    (degrees), range (km), the satellite and site vectors and the sun."""
    jd = mjd + MJD_TO_JD
    err, r, _ = sat.sgp4(math.floor(jd), jd - math.floor(jd))
    if err:
        return None
    site, east, north, up = site_vector(gmst(jd))
    d = (r[0] - site[0], r[1] - site[1], r[2] - site[2])
    rng = math.sqrt(dot(d, d))
    alt = math.degrees(math.asin(dot(d, up) / rng))
    az = math.degrees(math.atan2(dot(d, east), dot(d, north))) % 360.0
    sun = sun_unit(mjd)
    along = dot(r, sun)
    rs = math.sqrt(dot(r, r))
    cos_psi = min(0.0, along / rs)
    rho = math.sqrt(dot(site, site))
    shadow_height = rs - rho / math.sqrt(1 - cos_psi * cos_psi)  # above the site-radius cylinder
    sun_alt = math.degrees(math.asin(dot(sun, up)))
    phase = math.degrees(math.acos(max(-1.0, min(1.0, -dot(sun, d) / rng))))
    return {"alt": alt, "az": az, "rng": rng, "r": r, "d": d, "up": up, "east": east, "north": north,
            "shd": shadow_height, "sun_alt": sun_alt, "phase": phase}


def magnitude(std, rng_km, phase_deg, alt_deg):
    """The program's brightness rule on a given geometry."""
    cb = math.cos(math.radians(phase_deg))
    f = (cb + 2.001 + cb * abs(cb)) * 0.25
    return std + 2.5 * math.log10((rng_km / 1000.0) ** 2 / f) + 0.3 / math.sin(math.radians(alt_deg)) - 0.3


def unit_from(alt, az):
    a, z = math.radians(alt), math.radians(az)
    return (math.cos(a) * math.sin(z), math.cos(a) * math.cos(z), math.sin(a))  # east, north, up


def separation(alt1, az1, alt2, az2):
    return math.degrees(math.acos(max(-1.0, min(1.0, dot(unit_from(alt1, az1), unit_from(alt2, az2))))))


def bearing(alt1, az1, alt2, az2):
    """Direction on the sky from one place toward another: 0 up, 90 toward
    increasing azimuth, 180 down, 270 toward decreasing azimuth."""
    a1, a2, dz = math.radians(alt1), math.radians(alt2), math.radians(az2 - az1)
    y = math.sin(dz) * math.cos(a2)
    x = math.cos(a1) * math.sin(a2) - math.sin(a1) * math.cos(a2) * math.cos(dz)
    return math.degrees(math.atan2(y, x)) % 360.0


def wrap180(x):
    return (x + 180.0) % 360.0 - 180.0


def compare_point(sat, std, p):
    s = look(sat, p["mjd"])
    d_alt = p["alt"] - s["alt"]
    d_az = wrap180(p["az"] - s["az"])
    # Along-track offset: the SGP4 time whose place is nearest the listed one.
    best = min(((separation(p["alt"], p["az"], q["alt"], q["az"]), k)
                for k in range(-120, 121) for q in [look(sat, p["mjd"] + k / 86400.0)]))
    lo = best[1] - 1
    fine = min(((separation(p["alt"], p["az"], q["alt"], q["az"]), lo + j / 10.0)
                for j in range(0, 21) for q in [look(sat, p["mjd"] + (lo + j / 10.0) / 86400.0)]))
    s2 = look(sat, p["mjd"] + 1.0 / 86400.0)
    sgp4_dir = bearing(s["alt"], s["az"], s2["alt"], s2["az"])
    return {
        "d_alt": d_alt, "d_az": d_az, "d_az_sky": d_az * math.cos(math.radians(p["alt"])),
        "dt": fine[1], "cross": fine[0], "d_dir": wrap180(p["dir"] - sgp4_dir), "sgp4_dir": sgp4_dir,
        "mag_sgp4": magnitude(std, s["rng"], s["phase"], s["alt"]), "shd_sgp4": s["shd"],
        "sun_alt": s["sun_alt"], "d_rng": p["rng"] - s["rng"], "s": s,
    }


def visible_span(sat, std, mjd_from, mjd_to):
    """First and last second in which SGP4 puts the satellite above the
    minimum altitude, sunlit (above the shadow cylinder, with the program's
    allowance of 40 miles per unit of the sun angle's cosine), bright enough,
    with the sun 10 degrees down."""
    first = last = None
    t = mjd_from
    while t <= mjd_to:
        s = look(sat, t)
        if s and s["alt"] > MIN_ALT and s["sun_alt"] <= -10.0:
            cos_psi = min(0.0, dot(s["r"], sun_unit(t)) / math.sqrt(dot(s["r"], s["r"])))
            sunlit = s["shd"] >= abs(cos_psi) * 40.0 * 1.609344
            if sunlit and magnitude(std, s["rng"], s["phase"], s["alt"]) <= MAG_LIMIT:
                first = first if first is not None else t
                last = t
        t += 2.0 / 86400.0
    return first, last


def visible_spans(sat, std, mjd_from, mjd_to, step_s=5.0):
    """Every span of the nights between two times in which SGP4 finds the
    satellite visible by the rules of visible_span, scanned in steps."""
    spans, start, prev, t = [], None, None, mjd_from
    while t <= mjd_to:
        s = look(sat, t)
        ok = False
        if s and s["alt"] > MIN_ALT and s["sun_alt"] <= -10.0:
            cos_psi = min(0.0, dot(s["r"], sun_unit(t)) / math.sqrt(dot(s["r"], s["r"])))
            ok = s["shd"] >= abs(cos_psi) * 40.0 * 1.609344 and magnitude(std, s["rng"], s["phase"], s["alt"]) <= MAG_LIMIT
        if ok and start is None:
            start = t
        if not ok and start is not None:
            spans.append((start, prev))
            start = None
        prev = t
        t += step_s / 86400.0
    if start is not None:
        spans.append((start, prev))
    return spans


def clock(mjd):
    return str(ephem.Date(mjd - DUBLIN_TO_MJD))[-8:]


def stats(values):
    values = [abs(v) for v in values]
    return max(values), sum(values) / len(values)


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    program = sys.argv[1]
    element_file = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "examples", "visual-2017-10-16.tle")
    mag_file = sys.argv[3] if len(sys.argv) > 3 else os.path.join(ROOT, "examples", "visual.mag")
    sets = read_sets(element_file)
    passes = parse_report(run_program(program, element_file, mag_file))

    print("ISS (25544) at 40 N 75 W, 300 ft, nights of 2017 October 16-18 (UT), report against SGP4")
    print("%-19s %6s %6s %6s %6s %6s %6s %5s %5s %4s %6s %5s %6s %5s %6s"
          % ("UT", "alt", "az", "d_alt", "d_az", "sky", "dt s", "xtrk", "dir", "ddir", "mag", "sgp4", "shd", "sgp4", "sun"))
    iss = []
    for ps in passes:
        if ps["ncat"] != 25544:
            continue
        for p in ps["points"]:
            c = compare_point(sets[25544], ps["std"], p)
            iss.append(c)
            print("%s %6.2f %6.2f %+6.2f %+6.2f %+6.2f %+6.1f %5.2f %5d %+4.0f %6.1f %5.1f %6d %5.0f %6.1f%s"
                  % (str(ephem.Date(p["mjd"] - DUBLIN_TO_MJD)), p["alt"], p["az"], c["d_alt"], c["d_az"],
                     c["d_az_sky"], c["dt"], c["cross"], p["dir"], c["d_dir"], p["mag"], c["mag_sgp4"], p["shd"],
                     c["shd_sgp4"], c["sun_alt"], "  C" if p["c"] else ""))
    if not iss:
        raise SystemExit("no ISS point in the report")
    print()
    print("ISS points: %d" % len(iss))
    for label, key in [("altitude difference, deg", "d_alt"), ("azimuth difference, deg", "d_az"),
                       ("azimuth difference on the sky, deg", "d_az_sky"), ("time along the track, s", "dt"),
                       ("distance from the SGP4 track, deg", "cross"), ("direction of motion, deg", "d_dir")]:
        mx, mean = stats([c[key] for c in iss])
        print("  %-38s max %6.2f  mean |.| %6.2f" % (label, mx, mean))
    print()
    print("ISS passes: listed span against the SGP4 span (above 10 deg, sunlit, magnitude <= 4.5, sun 10 deg down)")
    for ps in passes:
        if ps["ncat"] != 25544:
            continue
        pts = ps["points"]
        first, last = visible_span(sets[25544], ps["std"], pts[0]["mjd"] - 600 / 86400.0,
                                   pts[-1]["mjd"] + 600 / 86400.0)
        if first is None:
            print("  %s - %s listed; SGP4: not visible" % (clock(pts[0]["mjd"]), clock(pts[-1]["mjd"])))
            continue
        print("  listed %s - %s, SGP4 %s - %s: first point %+4.0f s after the SGP4 start, last %+4.0f s before its end"
              % (clock(pts[0]["mjd"]), clock(pts[-1]["mjd"]), clock(first), clock(last),
                 (pts[0]["mjd"] - first) * 86400.0, (last - pts[-1]["mjd"]) * 86400.0))
    print()
    print("Every ISS span that SGP4 finds visible in the three nights, and the listed points in it")
    std = next(ps["std"] for ps in passes if ps["ncat"] == 25544)
    listed = [p["mjd"] for ps in passes if ps["ncat"] == 25544 for p in ps["points"]]
    start = ephem.Date("2017/10/16 18:00") + DUBLIN_TO_MJD
    for begin, end in visible_spans(sets[25544], std, start, start + 3.0):
        inside = [t for t in listed if begin - 60 / 86400.0 <= t <= end + 60 / 86400.0]
        print("  %s - %s (%3.0f s): %d listed points%s" % (str(ephem.Date(begin - DUBLIN_TO_MJD)), clock(end),
              (end - begin) * 86400.0, len(inside), "" if inside else "  <-- not listed"))
    print()
    print("Every satellite of the report (newest set of each number), against SGP4")
    every = []
    for ps in passes:
        sat = sets.get(ps["ncat"])
        if sat is None:
            continue
        for p in ps["points"]:
            every.append((ps["ncat"], compare_point(sat, ps["std"], p), p))
    print("  points: %d of %d satellites" % (len(every), len({n for n, _, _ in every})))
    for label, key in [("altitude difference, deg", "d_alt"), ("azimuth difference on the sky, deg", "d_az_sky"),
                       ("time along the track, s", "dt"), ("distance from the SGP4 track, deg", "cross"),
                       ("direction of motion, deg", "d_dir")]:
        mx, mean = stats([c[key] for _, c, _ in every])
        print("  %-38s max %6.2f  mean |.| %6.2f" % (label, mx, mean))
    mx, mean = stats([p["mag"] - c["mag_sgp4"] for _, c, p in every])
    print("  %-38s max %6.2f  mean |.| %6.2f" % ("magnitude, listed - SGP4 geometry", mx, mean))
    shadowed = [(n, p) for n, c, p in every if c["shd_sgp4"] < 0]
    print("  points that SGP4 and PyEphem put in the shadow cylinder: %d" % len(shadowed))
    dark = [(n, p) for n, c, p in every if c["sun_alt"] > -10.0]
    print("  points with the sun higher than 10 degrees down: %d (highest %.2f deg)"
          % (len(dark), max(c["sun_alt"] for _, c, _ in every)))
    worst = sorted(every, key=lambda e: -abs(e[1]["dt"]))[:5]
    print("  largest time offsets:")
    for n, c, p in worst:
        print("    %5d %s dt %+6.1f s, d_alt %+5.2f, sky d_az %+5.2f" % (n, clock(p["mjd"]), c["dt"], c["d_alt"], c["d_az_sky"]))


if __name__ == "__main__":
    main()
