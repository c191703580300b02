#!/usr/bin/env python3
"""MIF tables written by GDAL's MapInfo driver (ogr2ogr) from a few parcels
and a road near Tokyo, and their coordinates in plane rectangular zone IX
computed by PROJ (cs2cs): the end-to-end cases of --zone 9. Run once, with
ogr2ogr and cs2cs on the path (packages gdal-bin and proj-bin):

    python3 scripts/gen_zone_end_to_end.py

writes into tests/data/zones/ogr2ogr/:

    parcels.geojson   the source, longitude and latitude in JGD2011
    jgd2000.mif/.mid  EPSG:4612, longitude/latitude on JGD2000 (datum 152)
    jgd2011.mif/.mid  EPSG:6668, which the driver writes as datum 104 (WGS 84)
    zone9.mif/.mid    EPSG:6677, zone IX (JGD2011)
    utm54.mif/.mid    EPSG:32654, UTM zone 54 north on WGS 84
    zone9km.mif/.mid  zone9 with the unit "km": clause edited, coordinates
                      divided by 1000 in exact decimal arithmetic
    reference.txt     "TABLE northing easting" for every vertex of every
                      table, in file order

The longitudes and latitudes are assigned to the geographic tables as they
stand (-a_srs), and the projected ones are made from them on the same datum,
so no datum change enters. The reference starts from the coordinates each
MIF file holds, as the converter reads them, and projects them with
+proj=tmerc +lat_0=36 +lon_0=139.8333333333333 +k=0.9999 on the ellipsoid of
the table's datum: GRS 80 for JGD2000, WGS 84 for datum 104. zone9 passes
through unchanged; its reference is its own coordinates, zone9km's are the
same times 1000.
"""
import decimal
import json
import os
import re
import subprocess
import sys
import tempfile

from decimal import Decimal

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "data", "zones", "ogr2ogr")

ZONE_IX = "+proj=tmerc +lat_0=36 +lon_0=139.8333333333333 +k=0.9999 +x_0=0 +y_0=0"

# Parcels (closed rings, longitude and latitude) and a road. Two parcels share
# an edge; the one at Tateyama lies far enough south of the origin that GRS 80
# and WGS 84 give zone IX coordinates more than a micrometre apart.
PARCELS = [
    ("1-1", [(139.7528163, 35.6851726), (139.7533921, 35.6851504), (139.7534208, 35.6855870),
             (139.7528447, 35.6856093)]),
    ("1-2", [(139.7533921, 35.6851504), (139.7539112, 35.6851302), (139.7539403, 35.6855668),
             (139.7534208, 35.6855870)]),
    ("23-5", [(139.6991274, 35.6896032), (139.6998820, 35.6895219), (139.6999911, 35.6901147),
              (139.6994170, 35.6903388), (139.6990615, 35.6899540)]),
    ("408", [(139.8695512, 34.9963118), (139.8701806, 34.9962479), (139.8702647, 34.9967931),
             (139.8696397, 34.9968570)]),
    ("77-12", [(140.1062485, 35.6071350), (140.1069133, 35.6070896), (140.1069642, 35.6075913),
               (140.1062990, 35.6076368)]),
]
ROAD = ("road", [(139.6998820, 35.6895219), (139.7250012, 35.6880321), (139.7528163, 35.6851726),
                 (139.8695512, 34.9963118)])


def run(args, stdin=None):
    return subprocess.run(args, input=stdin, capture_output=True, text=True, check=True).stdout


def write_geojson(path):
    features = []
    for name, ring in PARCELS:
        features.append({"type": "Feature", "properties": {"chiban": name},
                         "geometry": {"type": "Polygon",
                                      "coordinates": [[list(p) for p in ring + ring[:1]]]}})
    features.append({"type": "Feature", "properties": {"chiban": ROAD[0]},
                     "geometry": {"type": "LineString", "coordinates": [list(p) for p in ROAD[1]]}})
    with open(path, "w", newline="\n") as f:
        json.dump({"type": "FeatureCollection", "features": features}, f, indent=1)
        f.write("\n")


def ogr2ogr(source, name, *srs):
    mif = os.path.join(OUT, name + ".mif")
    for ext in (".mif", ".mid"):
        if os.path.exists(os.path.join(OUT, name + ext)):
            os.remove(os.path.join(OUT, name + ext))
    run(["ogr2ogr", "-f", "MapInfo File", "-dsco", "FORMAT=MIF", *srs, mif, source])
    return mif


NUMBER = r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?"


def vertices(mif):
    """The coordinates of the objects, as the texts the file holds."""
    out = []
    with open(mif, encoding="ascii") as f:
        lines = f.read().splitlines()
    data = next(i for i, l in enumerate(lines) if l.strip().lower() == "data")
    for line in lines[data + 1:]:
        words = line.split()
        if len(words) == 2 and all(re.fullmatch(NUMBER, w) for w in words):
            out.append(tuple(words))
        elif words and words[0].lower() == "line":
            out += [(words[1], words[2]), (words[3], words[4])]
    return out


def cs2cs(source, points):
    text = "".join(f"{x} {y}\n" for x, y in points)
    result = run(["cs2cs", "-f", "%.10f", *source.split(), "+to", *ZONE_IX.split(), *
                  source_ellipsoid(source).split()], text)
    out = []
    for line in result.splitlines():
        e, n = line.split()[:2]
        out.append((n, e))
    return out


def source_ellipsoid(source):
    return re.search(r"\+ellps=\S+", source).group(0)


def scaled_to_km(zone9, name):
    """zone9 in kilometres: the clause's unit and every coordinate."""
    with open(zone9, encoding="ascii", newline="") as f:
        text = f.read()
    text, n = re.subn(r'(CoordSys Earth Projection 8, \d+, )"m"', r'\1"km"', text)
    assert n == 1, "no zone IX clause in metres"
    head, data = re.split(r"(?im)^data\s*$", text, maxsplit=1)

    def km(match):
        value = Decimal(match.group(0)).scaleb(-3)
        return format(value.normalize(), "f") if value != 0 else "0"

    body = []
    for line in data.splitlines(keepends=True):
        words = line.split()
        if len(words) == 2 and all(re.fullmatch(NUMBER, w) for w in words):
            line = re.sub(NUMBER, km, line)
        elif words and words[0].lower() == "line":
            at = line.lower().index("line") + 4
            line = line[:at] + re.sub(NUMBER, km, line[at:])
        body.append(line)
    mif = os.path.join(OUT, name + ".mif")
    with open(mif, "w", encoding="ascii", newline="") as f:
        f.write(head + re.search(r"(?im)^data\s*$", text).group(0) + "".join(body))
    with open(zone9[:-4] + ".mid", "rb") as src, open(mif[:-4] + ".mid", "wb") as dst:
        dst.write(src.read())
    return mif


def main():
    decimal.getcontext().prec = 40
    os.makedirs(OUT, exist_ok=True)
    source = os.path.join(OUT, "parcels.geojson")
    write_geojson(source)
    tables = {}
    tables["jgd2000"] = (ogr2ogr(source, "jgd2000", "-a_srs", "EPSG:4612"),
                         "+proj=longlat +ellps=GRS80")
    tables["jgd2011"] = (ogr2ogr(source, "jgd2011", "-a_srs", "EPSG:6668"),
                         "+proj=longlat +ellps=WGS84")
    zone9 = ogr2ogr(source, "zone9", "-s_srs", "EPSG:6668", "-t_srs", "EPSG:6677")
    tables["utm54"] = (ogr2ogr(source, "utm54", "-s_srs", "EPSG:4326", "-t_srs", "EPSG:32654"),
                       "+proj=utm +zone=54 +ellps=WGS84")
    km = scaled_to_km(zone9, "zone9km")

    lines = ["# zone IX northing and easting of every vertex, in file order, made by "
             "scripts/gen_zone_end_to_end.py with " + run(["ogr2ogr", "--version"]).strip() +
             " and PROJ " + subprocess.run(["cs2cs"], capture_output=True, text=True)
             .stderr.split()[1].rstrip(",")]
    for name, (mif, proj) in tables.items():
        for n, e in cs2cs(proj, vertices(mif)):
            lines.append(f"{name} {n} {e}")
    for x, y in vertices(zone9):
        lines.append(f"zone9 {y} {x}")
    for x, y in vertices(km):
        lines.append(f"zone9km {Decimal(y).scaleb(3).normalize():f} "
                     f"{Decimal(x).scaleb(3).normalize():f}")
    with open(os.path.join(OUT, "reference.txt"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    for name in ("jgd2000", "jgd2011", "zone9", "utm54", "zone9km"):
        with open(os.path.join(OUT, name + ".mif"), encoding="ascii") as f:
            clause = next(l for l in f if l.lower().startswith("coordsys"))
        print(f"{name}: {clause.strip()}")


if __name__ == "__main__":
    sys.exit(main())
