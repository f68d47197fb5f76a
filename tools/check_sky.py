#!/usr/bin/python3
"""Checks the prediction engine's sun model and revolution search against
PyEphem and SGP4 (Debian packages python3-ephem and python3-sgp4; run with
the Debian /usr/bin/python3). Not part of the tests.

    tools/build_probe.sh [BUILD_DIR]          # builds BUILD_DIR/engine_probe
    /usr/bin/python3 tools/check_sky.py PROBE [ELEMENTFILE]

1. Sun: the right ascension and declination of the date from sun_window for
   a few dates against PyEphem's apparent geocentric place.
2. Twilight: the evening and morning times at which sun_window puts the sun
   10 degrees below the horizon at 40 N 75 W, in January and June, against
   the times PyEphem finds for the sun's centre at -10 degrees (no
   refraction).
3. Search: for ISS (25544) at 40 N 75 W, 300 ft, over 2017 October 16-18
   (element file default /work/shared/data/visual-2017-10-16.tle), the
   candidate revolutions of the search (time of the estimated nearest point
   u*) against the passes of an SGP4 computation of the same element set:
   every SGP4 pass that rises above the horizon must have a candidate within
   a few minutes of its highest point, and each candidate is listed with the
   highest elevation SGP4 gives within 15 minutes of it.
"""
import math
import subprocess
import sys

import ephem
from sgp4.api import Satrec, WGS72

MJD_TO_JD = 2400000.5
DUBLIN_TO_MJD = 15019.5  # ephem dates are days from 1899 December 31 12h


def mjd_of(date_text):
    return float(ephem.Date(date_text)) + DUBLIN_TO_MJD


def probe_sun(probe, mjd, lat, wlon):
    out = subprocess.run([probe, "sun", "%.6f" % mjd, str(lat), str(wlon)],
                         check=True, capture_output=True, text=True).stdout.split()
    values = dict(zip(out[0::2], map(float, out[1::2])))
    return values


def check_sun(probe):
    print("1. Sun right ascension and declination (degrees), engine - PyEphem")
    worst = 0.0
    for text in ["2017/1/15", "2017/3/20 12:00", "2017/6/21", "2017/9/22 18:00",
                 "2017/10/17", "2017/12/21 6:00", "2018/1/10", "2020/5/10 12:00"]:
        mjd = mjd_of(text)
        v = probe_sun(probe, mjd, 40.0, 75.0)
        sun = ephem.Sun(ephem.Date(mjd - DUBLIN_TO_MJD))
        ra = math.degrees(sun.g_ra)
        dec = math.degrees(sun.g_dec)
        dra = (v["ra_deg"] - ra + 180.0) % 360.0 - 180.0
        ddec = v["dec_deg"] - dec
        worst = max(worst, abs(dra), abs(ddec))
        print("  %-16s ra %8.3f (%+.3f)  dec %7.3f (%+.3f)" % (text, v["ra_deg"], dra, v["dec_deg"], ddec))
    print("  largest difference %.3f degrees" % worst)


def check_twilight(probe):
    print("2. Twilight at 40 N 75 W (sun 10 degrees down), engine - PyEphem, minutes")
    obs = ephem.Observer()
    obs.lat, obs.lon, obs.elevation = "40", "-75", 0
    obs.pressure = 0
    obs.horizon = "-10"
    worst = 0.0
    for evening in ["2017/1/10", "2017/1/25", "2017/6/10", "2017/6/21", "2017/10/16"]:
        # The day loop takes the sun at 12h UT of the evening's date; the
        # times are hours from 0h UT of the next date.
        noon = mjd_of(evening + " 12:00")
        v = probe_sun(probe, noon, 40.0, 75.0)
        midnight = noon + 0.5
        obs.date = ephem.Date(noon - DUBLIN_TO_MJD)
        setting = float(obs.next_setting(ephem.Sun(), use_center=True)) + DUBLIN_TO_MJD
        rising = float(obs.next_rising(ephem.Sun(), use_center=True)) + DUBLIN_TO_MJD
        d_eve = (midnight + v["evening_h"] / 24.0 - setting) * 1440.0
        d_mor = (midnight + v["morning_h"] / 24.0 - rising) * 1440.0
        worst = max(worst, abs(d_eve), abs(d_mor))
        print("  evening of %-10s evening %6.2f h (%+5.1f min)  morning %6.2f h (%+5.1f min)"
              % (evening, v["evening_h"], d_eve, v["morning_h"], d_mor))
    print("  largest difference %.1f minutes" % worst)


def read_tle(path, ncat):
    lines = open(path, newline=None).read().splitlines()
    for i, line in enumerate(lines):
        if line.startswith("1 ") and int(line[2:7]) == ncat:
            return line.rstrip(), lines[i + 1].rstrip()
    raise SystemExit("no set %d in %s" % (ncat, path))


def gmst_radians(jd_ut):
    t = (jd_ut - 2451545.0) / 36525.0
    seconds = 67310.54841 + (876600.0 * 3600 + 8640184.812866) * t + 0.093104 * t * t - 6.2e-6 * t ** 3
    return math.radians((seconds % 86400.0) / 240.0)


def observer_teme(jd, lat_deg, east_lon_deg, height_km):
    a, f = 6378.135, 1.0 / 298.26
    lat = math.radians(lat_deg)
    e2 = f * (2 - f)
    n = a / math.sqrt(1 - e2 * math.sin(lat) ** 2)
    x = (n + height_km) * math.cos(lat)
    z = (n * (1 - e2) + height_km) * math.sin(lat)
    theta = gmst_radians(jd) + math.radians(east_lon_deg)
    return (x * math.cos(theta), x * math.sin(theta), z), lat, theta


def elevation(sat, mjd, lat_deg, east_lon_deg, height_km):
    jd = mjd + MJD_TO_JD
    err, r, _ = sat.sgp4(math.floor(jd), jd - math.floor(jd))
    if err:
        return None
    (ox, oy, oz), lat, theta = observer_teme(jd, lat_deg, east_lon_deg, height_km)
    dx, dy, dz = r[0] - ox, r[1] - oy, r[2] - oz
    up = (math.cos(lat) * math.cos(theta), math.cos(lat) * math.sin(theta), math.sin(lat))
    rng = math.sqrt(dx * dx + dy * dy + dz * dz)
    return math.degrees(math.asin((dx * up[0] + dy * up[1] + dz * up[2]) / rng))


def check_search(probe, path):
    print("3. Revolution search for 25544 at 40 N 75 W, 300 ft, against SGP4")
    lat, wlon, feet = 40.0, 75.0, 300.0
    line1, line2 = read_tle(path, 25544)
    sat = Satrec.twoline2rv(line1, line2, WGS72)
    for label, days, window in [("nights of 2017 October 16-18 (twilight window)", ("17", "19"), "twilight"),
                                ("whole days 2017 October 16-19 (0-24 h UT)", ("16", "19"), "0-24")]:
        out = subprocess.run([probe, "candidates", path, "2017", "10", days[0], days[1], str(lat), str(wlon),
                              str(feet), window, "25544"], check=True, capture_output=True, text=True).stdout
        windows, candidates = [], []
        for line in out.splitlines():
            if line.startswith("# day"):
                parts = line.split()
                windows.append((float(parts[7].strip("(")), float(parts[8].strip(")"))))
            elif line.strip():
                fields = line.split()
                candidates.append((float(fields[4]), int(fields[2]), float(fields[5])))
        # Consecutive days' searches overlap by their margins: one line per revolution.
        unique = {}
        for t, j, dl in candidates:
            unique.setdefault(round(t, 3), (t, j, dl))
        candidates = sorted(unique.values())
        print("  %s: %d candidate revolutions" % (label, len(candidates)))
        # SGP4 passes: minute steps through each window (with 20 minutes on
        # either side), highest point of each run above the horizon.
        passes = []
        for start, end in windows:
            step = 1.0 / 1440.0
            t = start - 20 * step
            run = []
            while t <= end + 20 * step:
                el = elevation(sat, t, lat, -wlon, feet * 0.0003048)
                if el is not None and el > 0.0:
                    run.append((el, t))
                elif run:
                    passes.append(max(run))
                    run = []
                t += step
            if run:
                passes.append(max(run))
        unique_passes = {}
        for el, t in passes:
            unique_passes.setdefault(round(t, 3), (t, el))
        passes = sorted(unique_passes.values())
        worst = 0.0
        missed = 0
        for t, el in passes:
            nearest = min(candidates, key=lambda c: abs(c[0] - t)) if candidates else None
            dt = (nearest[0] - t) * 1440.0 if nearest else float("inf")
            ok = abs(dt) <= 5.0
            missed += 0 if ok else 1
            worst = max(worst, abs(dt))
            print("    SGP4 pass, highest %5.1f deg at MJD %.4f: candidate at %+6.2f min%s"
                  % (el, t, dt, "" if ok else "  <-- no candidate"))
        print("    %d SGP4 passes above the horizon, %d without a candidate within 5 min, largest offset %.2f min"
              % (len(passes), missed, worst))
        far = 0
        for t, j, dl in candidates:
            best = max((elevation(sat, t + k / 1440.0, lat, -wlon, feet * 0.0003048) or -90.0, k)
                       for k in range(-15, 16))
            if best[0] <= 0.0:
                far += 1
            print("    candidate MJD %.4f crossing %d lon diff %7.2f deg: SGP4 highest %6.1f deg at %+3d min"
                  % (t, j, dl, best[0], best[1]))
        print("    %d of %d candidates stay below the horizon in SGP4 (the acceptance width is wide by design)"
              % (far, len(candidates)))


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    probe = sys.argv[1]
    path = sys.argv[2] if len(sys.argv) > 2 else "/work/shared/data/visual-2017-10-16.tle"
    check_sun(probe)
    check_twilight(probe)
    check_search(probe, path)


if __name__ == "__main__":
    main()
