#!/usr/bin/env python3
"""Writes the demo receiver log: a receiver at 1 Hz (GPRMC, GPGGA, GPGSA,
GPGSV) that first searches for satellites for ten seconds, then follows a
runner around a hilly loop of about 6.5 km for 40 minutes, with a few seconds
of 2D fix under trees. Deterministic: the same file every run.

Usage: tools/make_demo_log.py [OUT]   (default data/demo/demo.nmea)
"""
import math
import random
import sys
from datetime import datetime, timedelta, timezone

START = datetime(2009, 3, 15, 7, 0, 0, tzinfo=timezone.utc)
NO_FIX_SECONDS = 10  # short: the waiting state shows, the user does not wait long
RUN_SECONDS = 40 * 60
CENTRE_LAT, CENTRE_LON = 48.1173, 11.5167
RADIUS_M = 1040.0  # loop radius: circumference about 6.5 km
BASE_ALTITUDE = 520.0
TWO_D_WINDOWS = [(NO_FIX_SECONDS + 1200, 12), (NO_FIX_SECONDS + 1900, 6)]
M_PER_DEG_LAT = 111_194.9

rng = random.Random(20090315)


def checksum(body):
    c = 0
    for ch in body:
        c ^= ord(ch)
    return f"{c:02X}"


def sentence(body):
    return f"${body}*{checksum(body)}\r\n"


def nmea_lat(lat):
    hemi = "N" if lat >= 0 else "S"
    lat = abs(lat)
    d = int(lat)
    return f"{d:02d}{(lat - d) * 60:07.4f}", hemi


def nmea_lon(lon):
    hemi = "E" if lon >= 0 else "W"
    lon = abs(lon)
    d = int(lon)
    return f"{d:03d}{(lon - d) * 60:07.4f}", hemi


class Sky:
    """Twelve satellites slowly moving across the sky."""

    def __init__(self):
        self.sats = [
            {"prn": prn, "el": rng.uniform(8, 80), "az": rng.uniform(0, 359),
             "d_el": rng.uniform(-0.004, 0.004), "d_az": rng.uniform(-0.008, 0.008)}
            for prn in (2, 4, 5, 9, 10, 12, 15, 17, 24, 26, 27, 29)
        ]

    def step(self):
        for s in self.sats:
            s["el"] = min(85.0, max(3.0, s["el"] + s["d_el"]))
            s["az"] = (s["az"] + s["d_az"]) % 360

    def snr(self, s, acquiring, t):
        # Satellites come into view one by one while the receiver searches.
        if acquiring and t < s["prn"] * NO_FIX_SECONDS / 30:
            return None
        return int(25 + s["el"] / 4 + rng.uniform(-2, 2))


def route_position(distance_m):
    """Position on the loop after running distance_m, with a wiggle."""
    angle = distance_m / RADIUS_M
    wiggle = 25.0 * math.sin(angle * 5)
    r = RADIUS_M + wiggle
    north = r * math.sin(angle)
    east = r * (1 - math.cos(angle)) * 1.2
    lat = CENTRE_LAT + north / M_PER_DEG_LAT
    lon = CENTRE_LON - east / (M_PER_DEG_LAT * math.cos(math.radians(CENTRE_LAT)))
    altitude = BASE_ALTITUDE + 28 * math.sin(angle) + 9 * math.sin(angle * 3 + 1)
    return lat, lon, altitude


def main():
    out_path = sys.argv[1] if len(sys.argv) > 1 else "data/demo/demo.nmea"
    sky = Sky()
    lines = []
    distance = 0.0
    noise_n = noise_e = 0.0
    prev = None
    held_altitude = BASE_ALTITUDE
    for t in range(NO_FIX_SECONDS + RUN_SECONDS):
        now = START + timedelta(seconds=t)
        hms = now.strftime("%H%M%S") + ".000"
        dmy = now.strftime("%d%m%y")
        sky.step()
        fixing = t >= NO_FIX_SECONDS
        two_d = any(a <= t < a + n for a, n in TWO_D_WINDOWS)

        speed_ms = 0.0
        if fixing:
            run_t = t - NO_FIX_SECONDS
            speed_ms = 2.9 + 0.35 * math.sin(run_t / 97.0) + rng.uniform(-0.1, 0.1)
            if run_t < 20:
                speed_ms *= run_t / 20.0
            distance += speed_ms
        lat, lon, alt = route_position(distance)
        noise_n = 0.8 * noise_n + rng.gauss(0, 0.6)
        noise_e = 0.8 * noise_e + rng.gauss(0, 0.6)
        lat += noise_n / M_PER_DEG_LAT
        lon += noise_e / (M_PER_DEG_LAT * math.cos(math.radians(CENTRE_LAT)))
        alt += rng.gauss(0, 0.4)
        if two_d:
            alt = held_altitude
        else:
            held_altitude = alt

        course = 0.0
        if prev is not None and fixing:
            dn = (lat - prev[0]) * M_PER_DEG_LAT
            de = (lon - prev[1]) * M_PER_DEG_LAT * math.cos(math.radians(lat))
            course = math.degrees(math.atan2(de, dn)) % 360
        prev = (lat, lon)

        lat_s, lat_h = nmea_lat(lat)
        lon_s, lon_h = nmea_lon(lon)
        knots = speed_ms * 3600 / 1852
        visible = [s for s in sky.sats if sky.snr(s, not fixing, t) is not None]
        tracked = sorted(visible, key=lambda s: -s["el"])
        used = [] if not fixing else tracked[: (3 if two_d else min(9, len(tracked)))]

        if fixing:
            lines.append(sentence(
                f"GPRMC,{hms},A,{lat_s},{lat_h},{lon_s},{lon_h},{knots:.2f},{course:.2f},{dmy},,,A"))
            quality = 1
            lines.append(sentence(
                f"GPGGA,{hms},{lat_s},{lat_h},{lon_s},{lon_h},{quality},{len(used):02d},"
                f"{1.1 if not two_d else 2.6:.1f},{alt:.1f},M,47.6,M,,0000"))
        else:
            lines.append(sentence(f"GPRMC,{hms},V,,,,,,,{dmy},,,N"))
            lines.append(sentence(f"GPGGA,{hms},,,,,0,00,,,M,,M,,0000"))

        fix_mode = 1 if not fixing else (2 if two_d else 3)
        prns = [f"{s['prn']:02d}" for s in used] + [""] * (12 - len(used))
        dops = ("1.9,1.1,1.5" if fix_mode == 3 else "3.8,2.6,2.7") if fixing else ",,"
        lines.append(sentence(f"GPGSA,A,{fix_mode},{','.join(prns)},{dops}"))

        shown = sorted(sky.sats, key=lambda s: s["prn"])
        total = (len(shown) + 3) // 4
        for m in range(total):
            group = shown[m * 4:(m + 1) * 4]
            fields = []
            for s in group:
                snr = sky.snr(s, not fixing, t)
                fields.append(f"{s['prn']:02d},{int(s['el']):02d},{int(s['az']):03d},"
                              f"{'' if snr is None else f'{snr:02d}'}")
            lines.append(sentence(f"GPGSV,{total},{m + 1},{len(shown):02d},{','.join(fields)}"))

    with open(out_path, "w", newline="") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
