#!/usr/bin/env python3
"""The places of a few bright stars as PyEphem (Debian's python3-ephem) finds
them, against those the sky charts draw: the same stars (J2000 places of the
Yale Bright Star Catalogue as tools/make_bright_stars.py takes them) at the
same moment and site. PyEphem computes apparent places (precession,
nutation and aberration) without refraction; the charts use mean places
precessed to the date, so the two agree to about a hundredth of a degree.

    /usr/bin/python3 tools/check_star_place.py

prints the altitude and azimuth of each star at 40 N, 75 W on 2017-10-16
23:23:35 UT (the ISS's highest point in the example, 19:23:35 EDT), as
tests/chart/sky_place_test.cpp expects them.
"""
import math

import ephem

# HR number, name, right ascension (hours) and declination (degrees), J2000,
# as in src/chart/bright_star_table.cpp.
STARS = [
    (7001, "Vega", 18.6156, 38.7836),
    (424, "Polaris", 2.5302, 89.2642),
    (7557, "Altair", 19.8464, 8.8683),
    (8728, "Fomalhaut", 22.9609, -29.6222),
]
MOMENT = "2017/10/16 23:23:35"


def main():
    site = ephem.Observer()
    site.lat, site.lon, site.elevation = "40.0", "-75.0", 0
    site.pressure = 0  # no refraction
    site.date = MOMENT
    for hr, name, ra, dec in STARS:
        star = ephem.FixedBody()
        star._ra = ephem.hours(math.radians(ra * 15.0))
        star._dec = ephem.degrees(math.radians(dec))
        star._epoch = ephem.J2000
        star.compute(site)
        print("%5d %-10s alt %9.4f  az %9.4f" % (hr, name, math.degrees(star.alt), math.degrees(star.az)))


if __name__ == "__main__":
    main()
