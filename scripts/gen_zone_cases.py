#!/usr/bin/env python3
"""Reference values for the engine's transverse Mercator projection, made
with GeographicLib's exact transverse Mercator (TransverseMercatorProj,
Debian package geographiclib-tools) and PROJ (cs2cs, package proj-bin).
Run once:

    python3 scripts/gen_zone_cases.py OUTDIR [--per-zone N]

writes OUTDIR/zones_full.txt (every case; N points per zone and direction,
3000 unless given) and, in the repository, tests/data/zones/sample.txt (a
sample under 1 MB headed by the SHA-256 of the whole run). Lines:

    F SYS lat lon  gN gE  pN pE          forward
    I SYS N E  glat glon  plat plon      inverse
    C SRC DST N E  gN gE  pN pE          SRC's plane coordinates into DST's

g the value from GeographicLib, p from PROJ; N northing, E easting in
metres, lat and lon in degrees. Systems: Zn the plane rectangular zone n on
GRS 80 (EPSG:6669 .. 6687 from EPSG:6668), Bn zone n on Bessel 1841
(EPSG:30161 .. 30179 from EPSG:4301), Un the UTM zone n on WGS 84
(EPSG:32651 .. 32656 from EPSG:4326), Vn the UTM zone n on GRS 80
(EPSG:6688 .. 6692).

GeographicLib has no latitude of origin nor false easting and northing: its
northing of the origin is subtracted (and the false easting removed) in exact
decimal arithmetic. Its central meridian is given as the engine's double of
the zone's degrees and minutes; PROJ's database holds it to 12 decimals
(139.833333333333), 30 nm away on the ground.

The points: for each zone, half within the bounding box of the zone's
prefectures and islands, half spread over 10 degrees either side of its
central meridian (latitudes 12 degrees either side of the origin); the
inverse takes PROJ's forward results rounded to 0.1 mm. UTM zones 51 to 56
the same over Japan's latitudes; the UTM-to-zone cases from points in both
zones' reach.
"""
import decimal
import hashlib
import os
import random
import subprocess
import sys

from decimal import Decimal

decimal.getcontext().prec = 40
HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data", "zones")

# Origins of zones I .. XIX in degrees and minutes, and the bounding boxes
# (south, north, west, east) of the prefectures and islands each serves.
ZONES = [
    (33, 0, 129, 30, (27.0, 34.8, 128.0, 130.4)),  # Nagasaki, Kagoshima's islands
    (33, 0, 131, 0, (30.0, 34.0, 129.5, 132.1)),  # Kyushu but Nagasaki
    (36, 0, 132, 10, (33.7, 36.4, 130.8, 133.5)),  # Yamaguchi, Shimane, Hiroshima
    (33, 0, 133, 30, (32.7, 34.6, 132.0, 134.9)),  # Shikoku
    (36, 0, 134, 20, (34.1, 35.7, 133.2, 135.5)),  # Hyogo, Tottori, Okayama
    (36, 0, 136, 0, (33.4, 36.3, 135.0, 136.9)),  # Kinki, Fukui
    (36, 0, 137, 10, (34.5, 37.9, 136.2, 137.8)),  # Ishikawa, Toyama, Gifu, Aichi
    (36, 0, 138, 30, (34.5, 38.6, 137.3, 139.9)),  # Niigata, Nagano, Yamanashi, Shizuoka
    (36, 0, 139, 50, (32.4, 38.0, 138.4, 141.0)),  # Kanto, Fukushima, Izu islands
    (40, 0, 140, 50, (37.7, 41.6, 139.5, 142.1)),  # Tohoku but Fukushima
    (44, 0, 140, 15, (41.3, 43.5, 139.3, 141.5)),  # Hokkaido, west
    (44, 0, 142, 15, (41.9, 45.6, 140.9, 143.2)),  # Hokkaido, centre
    (44, 0, 144, 15, (41.9, 44.5, 142.5, 145.9)),  # Hokkaido, east
    (26, 0, 142, 0, (24.0, 27.8, 140.5, 142.4)),  # Ogasawara
    (26, 0, 127, 30, (24.0, 27.9, 126.0, 128.4)),  # Okinawa main island
    (26, 0, 124, 0, (24.0, 26.0, 122.9, 126.0)),  # Miyako, Yaeyama
    (26, 0, 131, 0, (24.4, 26.0, 131.2, 131.4)),  # Daito islands
    (20, 0, 136, 0, (20.3, 20.5, 135.9, 136.2)),  # Okinotori-shima
    (26, 0, 154, 0, (24.2, 24.4, 153.9, 154.1)),  # Minami-tori-shima
]

ELLIPSOIDS = {
    "GRS80": ("6378137", "1/298.257222101"),
    "WGS84": ("6378137", "1/298.257223563"),
    "Bessel": ("6377397.155", "1/299.1528128"),
}

# UTM zone -> the plane zones it is converted into.
UTM_TARGETS = {51: [15, 16], 52: [1, 2, 15], 53: [3, 4, 5, 6, 7, 18], 54: [8, 9, 10, 11, 12, 14],
               55: [12, 13, 14]}


def zone_origin(n):
    lat_d, lat_m, lon_d, lon_m, _ = ZONES[n - 1]
    return (lat_d * 60 + lat_m) / 60.0, (lon_d * 60 + lon_m) / 60.0


def system(key):
    """(ellipsoid, lat0, lon0, k0, false easting, geographic EPSG, projected EPSG)."""
    kind, n = key[0], int(key[1:])
    if kind in "ZB":
        lat0, lon0 = zone_origin(n)
        if kind == "Z":
            return "GRS80", lat0, lon0, "0.9999", 0, 6668, 6668 + n
        return "Bessel", lat0, lon0, "0.9999", 0, 4301, 30160 + n
    lon0 = float(6 * n - 183)
    if kind == "U":
        return "WGS84", 0.0, lon0, "0.9996", 500000, 4326, 32600 + n
    return "GRS80", 0.0, lon0, "0.9996", 500000, 6668, 6688 + n - 51


def run(cmd, lines):
    out = subprocess.run(cmd, input="\n".join(lines) + "\n", capture_output=True, text=True, check=True)
    rows = [r.split() for r in out.stdout.splitlines()]
    if len(rows) != len(lines):
        raise SystemExit("%s gave %d lines for %d" % (" ".join(cmd), len(rows), len(lines)))
    return rows


def geographiclib(key, inverse):
    ell, lat0, lon0, k0, _, _, _ = system(key)
    cmd = ["TransverseMercatorProj", "-l", repr(lon0), "-k", k0, "-e", *ELLIPSOIDS[ell], "-p", "10"]
    return cmd + (["-r"] if inverse else [])


def origin_northing(key):
    _, lat0, lon0, _, _, _, _ = system(key)
    row = run(geographiclib(key, False), ["%r %r" % (lat0, lon0)])[0]
    return Decimal(row[1])


def fmt(d, places):
    return str(Decimal(d).quantize(Decimal(1).scaleb(-places)))


def forward(key, points):
    """points: list of (lat, lon) strings -> lines F."""
    _, _, _, _, fe, geo, proj = system(key)
    y0 = origin_northing(key)
    g = run(geographiclib(key, False), ["%s %s" % p for p in points])
    p = run(["cs2cs", "-f", "%.10f", "EPSG:%d" % geo, "EPSG:%d" % proj], ["%s %s" % pt for pt in points])
    utm = key[0] in "UV"
    lines = []
    for (lat, lon), gr, pr in zip(points, g, p):
        gn = Decimal(gr[1]) - y0
        ge = Decimal(gr[0]) + fe
        pn, pe = (pr[1], pr[0]) if utm else (pr[0], pr[1])
        lines.append("F %s %s %s %s %s %s %s" % (key, lat, lon, fmt(gn, 10), fmt(ge, 10), pn, pe))
    return lines


def inverse(key, plane):
    """plane: list of (N, E) strings -> lines I."""
    _, _, _, _, fe, geo, proj = system(key)
    y0 = origin_northing(key)
    g = run(geographiclib(key, True),
            ["%s %s" % (Decimal(e) - fe, Decimal(n) + y0) for n, e in plane])
    utm = key[0] in "UV"
    p = run(["cs2cs", "-f", "%.15f", "EPSG:%d" % proj, "EPSG:%d" % geo],
            ["%s %s" % ((e, n) if utm else (n, e)) for n, e in plane])
    return ["I %s %s %s %s %s %s %s" % (key, n, e, gr[0], gr[1], pr[0], pr[1])
            for (n, e), gr, pr in zip(plane, g, p)]


def convert(src, dst, plane):
    """SRC plane (N, E) strings -> lines C with DST's coordinates."""
    _, _, _, _, fe, _, sproj = system(src)
    _, _, _, _, _, _, dproj = system(dst)
    ys = origin_northing(src)
    geo = run(geographiclib(src, True), ["%s %s" % (Decimal(e) - fe, Decimal(n) + ys) for n, e in plane])
    yd = origin_northing(dst)
    g = run(geographiclib(dst, False), ["%s %s" % (r[0], r[1]) for r in geo])
    p = run(["cs2cs", "-f", "%.10f", "EPSG:%d" % sproj, "EPSG:%d" % dproj], ["%s %s" % (e, n) for n, e in plane])
    return ["C %s %s %s %s %s %s %s %s" % (src, dst, n, e, fmt(Decimal(gr[1]) - yd, 10), gr[0], pr[0], pr[1])
            for (n, e), gr, pr in zip(plane, g, p)]


def plane_of(forward_lines):
    """The PROJ forward results rounded to 0.1 mm, as (N, E)."""
    out = []
    for line in forward_lines:
        f = line.split()
        out.append((fmt(Decimal(f[6]), 4), fmt(Decimal(f[7]), 4)))
    return out


def spread(rng, count, box, lon0, lat0):
    """Half in the box, half within 10 degrees of the meridian."""
    s, n, w, e = box
    pts = []
    for i in range(count):
        if i % 2 == 0:
            lat, lon = rng.uniform(s, n), rng.uniform(w, e)
        else:
            lat = rng.uniform(max(lat0 - 12, -80), min(lat0 + 12, 80))
            lon = lon0 + rng.uniform(-10, 10)
        pts.append(("%.10f" % lat, "%.10f" % lon))
    # Next to the limit, both sides (1 m inside, so the inverse of the
    # rounded plane coordinates stays inside too).
    pts += [("%.10f" % lat0, "%.10f" % (lon0 + 9.99999)), ("%.10f" % (lat0 + 5), "%.10f" % (lon0 - 9.99999))]
    return pts


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    outdir = sys.argv[1]
    per = 3000
    if "--per-zone" in sys.argv:
        per = int(sys.argv[sys.argv.index("--per-zone") + 1])
    rng = random.Random(20)
    lines = []
    for z in range(1, 20):
        lat0, lon0 = zone_origin(z)
        box = ZONES[z - 1][4]
        for kind, count in (("Z", per), ("B", max(per // 10, 50))):
            key = "%s%d" % (kind, z)
            f = forward(key, spread(rng, count, box, lon0, lat0))
            lines += f
            lines += inverse(key, plane_of(f))
            print(key, len(f), file=sys.stderr)
    for u in range(51, 57):
        lon0 = float(6 * u - 183)
        key = "U%d" % u
        f = forward(key, spread(rng, per, (20.0, 46.0, lon0 - 3, lon0 + 3), lon0, 33.0))
        lines += f
        lines += inverse(key, plane_of(f))
        print(key, len(f), file=sys.stderr)
    for u, targets in UTM_TARGETS.items():
        src = "V%d" % u
        ulon0 = float(6 * u - 183)
        for z in targets:
            lat0, lon0 = zone_origin(z)
            s, n, w, e = ZONES[z - 1][4]
            # Points within 10 degrees of both meridians, around the zone's region.
            pts = []
            while len(pts) < max(per // 6, 50):
                lat, lon = rng.uniform(s - 3, n + 3), rng.uniform(w - 3, e + 3)
                if abs(lon - ulon0) < 9.9 and abs(lon - lon0) < 9.9:
                    pts.append(("%.10f" % lat, "%.10f" % lon))
            src_plane = plane_of(forward(src, pts))
            lines += convert(src, "Z%d" % z, src_plane)
            print(src, z, len(pts), file=sys.stderr)

    os.makedirs(outdir, exist_ok=True)
    full = "\n".join(lines) + "\n"
    with open(os.path.join(outdir, "zones_full.txt"), "w") as f:
        f.write(full)
    digest = hashlib.sha256(full.encode()).hexdigest()
    # The sample: every k-th case and the limit points of every system.
    step = max(1, len(lines) // 7000)
    sample = [l for i, l in enumerate(lines) if i % step == 0]
    os.makedirs(DATA, exist_ok=True)
    with open(os.path.join(DATA, "sample.txt"), "w") as f:
        f.write("# %d cases, SHA-256 of the whole run %s\n" % (len(lines), digest))
        f.write("\n".join(sample) + "\n")
    print("%d cases, sample %d" % (len(lines), len(sample)), file=sys.stderr)


if __name__ == "__main__":
    main()
