#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Lumara developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Expected values for the planner's tests, from astropy (Debian's
python3-astropy), run once; the output is committed in tests/planning/data.

    tools/planning_reference.py tests/planning/data

moon.txt: the Moon's lit fraction and its distance from a few stars at given
instants (the middles of a few nights), by astropy's own Sun and Moon places
and its frame transformations, geocentric.

events.txt: for a few variable stars, every primary (and secondary) event
over a series of nights as a UTC instant, from epoch + n * period through
astropy's light-travel-time (heliocentric for HJD, barycentric on TDB for
BJD). Stars on the ecliptic near opposition and about 30 degrees from the
Sun put the correction near its +8 and -8 minute extremes.
"""
import sys
import warnings
from pathlib import Path

import numpy as np
from astropy import units as u
from astropy.coordinates import (BarycentricMeanEcliptic, EarthLocation, SkyCoord,
                                 get_body)
from astropy.time import Time
from astropy.utils import iers

# Offline: the built-in tables are enough for what follows.
iers.conf.auto_download = False
warnings.simplefilter("ignore")

# date, latitude, longitude, height, zone, the night's middle (POSIX seconds)
MOON_NIGHTS = [
    ("2026-12-08", 52.37, 4.90, 0.0, "Europe/Amsterdam", 1796772757),
    ("2026-12-23", 52.37, 4.90, 0.0, "Europe/Amsterdam", 1798069180),
    ("2026-12-31", -33.45, -70.67, 500.0, "America/Santiago", 1798778762),
    ("2028-02-29", 35.68, 139.69, 40.0, "Asia/Tokyo", 1835448804),
    ("2026-03-20", 0.0, -78.5, 2800.0, "America/Guayaquil", 1774070473),
]
MOON_STARS = [(10.0, 20.0), (120.0, -45.0), (250.0, 5.0), (359.9, 88.0)]


def moon_lines():
    yield "# date latitude longitude height zone middle fraction_lit ra dec moon_separation"
    for date, lat, lon, height, zone, middle in MOON_NIGHTS:
        t = Time(middle, format="unix", scale="utc")
        moon = get_body("moon", t)
        sun = get_body("sun", t)
        # Phase angle from the elongation and both distances.
        elongation = sun.separation(moon).rad
        r_sun = sun.distance.to(u.km).value
        r_moon = moon.distance.to(u.km).value
        phase = np.arctan2(r_sun * np.sin(elongation), r_moon - r_sun * np.cos(elongation))
        fraction = (1.0 + np.cos(phase)) / 2.0
        # Both directions as seen from the Earth's centre, ICRS axes.
        moon_direction = SkyCoord(moon.cartesian, frame="icrs")
        for ra, dec in MOON_STARS:
            star = SkyCoord(ra * u.deg, dec * u.deg, frame="icrs")
            separation = star.separation(moon_direction).deg
            yield (f"{date} {lat} {lon} {height} {zone} {middle} {fraction:.5f} "
                   f"{ra} {dec} {separation:.4f}")


# name, latitude, longitude, height, zone, first date, nights, twilight,
# minimum altitude, star (ecliptic longitude and latitude, or R.A. and
# declination), epoch JD, scale, period, type, secondary minimum given
EVENT_CASES = [
    ("Opposition", 52.37, 4.90, 0.0, "Europe/Amsterdam", "2026-12-04", 8, -18.0, 30.0,
     ("ecliptic", 72.0, 0.0), 2458000.4321, "HJD", 0.8765432, "EA/DM", 1),
    ("NearTheSun", 0.0, -78.5, 2800.0, "America/Guayaquil", "2026-03-16", 20, -6.0, 0.0,
     ("ecliptic", 35.0, 0.0), 2457123.3456, "HJD", 0.3012345, "EW", 0),
    ("YearChangeBarycentric", -33.45, -70.67, 500.0, "America/Santiago", "2026-12-28", 8,
     -18.0, 30.0, ("equatorial", 100.0, -50.0), 2457500.2345, "BJD", 0.5678901, "RRAB", 0),
    ("BerlinClocksBack", 52.52, 13.40, 0.0, "Europe/Berlin", "2026-10-22", 6, -18.0, 30.0,
     ("equatorial", 30.0, 40.0), 2456000.5, "HJD", 0.7234567, "EB", 0),
]
TWO_MINIMA = ("EB", "EW")
POSIX_EPOCH_JD = 2440587.5


def star_place(place):
    kind, a, b = place
    if kind == "equatorial":
        return SkyCoord(a * u.deg, b * u.deg, frame="icrs")
    ecliptic = SkyCoord(lon=a * u.deg, lat=b * u.deg, frame=BarycentricMeanEcliptic())
    return ecliptic.transform_to("icrs")


def utc_of_event(event_jd, scale, star, site):
    """The UTC at the Earth's centre (near enough: at the site) at which the
    event, given in the star's time scale, is seen."""
    t = Time(event_jd, format="jd", scale="utc", location=site)
    for _ in range(4):
        kind = "heliocentric" if scale == "HJD" else "barycentric"
        delay = t.light_travel_time(star, kind=kind, ephemeris="builtin")
        own = (t + delay) if scale == "HJD" else (t.tdb + delay)
        t = Time(t.utc.jd + (event_jd - (own.utc.jd if scale == "HJD" else own.tdb.jd)),
                 format="jd", scale="utc", location=site)
    return (t.utc.jd - POSIX_EPOCH_JD) * 86400.0


def event_lines():
    yield ("# case name latitude longitude height zone first_date nights twilight "
           "min_altitude ra dec epoch_jd scale period_days type secondary_given")
    yield "# event name cycles utc_posix_seconds"
    for (name, lat, lon, height, zone, date, nights, twilight, min_alt, place, epoch, scale,
         period, vtype, secondary_given) in EVENT_CASES:
        star = star_place(place)
        site = EarthLocation.from_geodetic(lon * u.deg, lat * u.deg, height * u.m)
        yield (f"case {name} {lat} {lon} {height} {zone} {date} {nights} {twilight} {min_alt} "
               f"{star.ra.deg:.6f} {star.dec.deg:.6f} {epoch} {scale} {period} {vtype} "
               f"{secondary_given}")
        halves = vtype in TWO_MINIMA or secondary_given
        step = period / 2.0 if halves else period
        first = Time(date, scale="utc").jd - 1.0
        last = first + nights + 2.0
        h = np.ceil((first - epoch) / step)
        while epoch + h * step <= last:
            cycles = h / 2.0 if halves else h
            seconds = utc_of_event(epoch + h * step, scale, star, site)
            yield f"event {name} {cycles:.1f} {seconds:.3f}"
            h += 1


def main():
    folder = Path(sys.argv[1])
    header = "# Generated by tools/planning_reference.py from astropy; do not edit.\n"
    (folder / "moon.txt").write_text(header + "\n".join(moon_lines()) + "\n")
    (folder / "events.txt").write_text(header + "\n".join(event_lines()) + "\n")


if __name__ == "__main__":
    main()
