#!/usr/bin/env python3
"""Reference values for the engine's own exp, log, sinh, cosh, asinh, atanh
and hypot, computed with mpmath (Debian's python3-mpmath). Run once:

    python3 scripts/gen_exp_cases.py [--count N] [--out PATH]

writes tests/data/exp/sample.txt (or PATH, for a longer run that
QUORVEX_EXP_FULL then names to the test), lines

    NAME XXXXXXXXXXXXXXXX RRRRRRRRRRRRRRRR H          (one argument)
    hypot YYYYYYYYYYYYYYYY XXXXXXXXXXXXXXXX RRRRRRRRRRRRRRRR H

with the bits of the doubles in hex, R the exact value rounded once to the
nearest double and H how many bits after R's last one agree with a rounding
midpoint (the functions may round such a case either way when H >= 44). The arguments: the ranges the transverse Mercator series
use (latitudes, e sin(phi), 2 eta' up to 0.4, tan(phi) ...), powers of two
and their neighbours, and random values over the whole domain.
"""
import math
import os
import random
import struct
import sys

from mpmath import mp, mpf, exp, log, sinh, cosh, asinh, atanh, sqrt, floor

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "data", "exp", "sample.txt")


def bits(x):
    return "%016x" % struct.unpack("<Q", struct.pack("<d", x))[0]


def nearest(v):
    """The double nearest the mpf v (ties to even), subnormals included, and
    how close v lies to a midpoint (bits after the last one of the result)."""
    if v == 0:
        return 0.0, 0
    e = int(floor(mp.log(abs(v), 2)))
    ulp_exp = max(e - 52, -1074)
    q = abs(v) * mpf(2) ** (-ulp_exp)
    whole = int(floor(q))
    frac = q - whole
    dist = abs(frac - mpf(0.5))
    hard = int(-mp.log(dist, 2)) if dist > 0 else 999
    if frac > 0.5 or (frac == 0.5 and whole % 2 == 1):
        whole += 1
    try:
        r = math.ldexp(whole, ulp_exp)
    except OverflowError:
        r = math.inf
    return (-r if v < 0 else r), hard


def value(name, args):
    with mp.workprec(400):
        a = [mpf(x) for x in args]
        fn = {"exp": exp, "log": log, "sinh": sinh, "cosh": cosh,
              "asinh": asinh, "atanh": atanh}.get(name)
        if name == "hypot":
            return nearest(sqrt(a[0] ** 2 + a[1] ** 2))
        return nearest(fn(a[0]))


def log_uniform(rng, lo, hi):
    return math.exp(rng.uniform(math.log(lo), math.log(hi)))


def arguments(rng, name, n):
    out = []
    sign = lambda: rng.choice((-1.0, 1.0))
    if name == "exp":
        out += [rng.uniform(-1, 1) for _ in range(n // 4)]
        out += [rng.uniform(-700, 709) for _ in range(n // 4)]
        out += [sign() * log_uniform(rng, 1e-18, 1) for _ in range(n // 4)]
        out += [k * math.log(2) for k in range(-20, 21) if k != 0]
    elif name == "log":
        out += [rng.uniform(0.5, 2) for _ in range(n // 4)]
        out += [log_uniform(rng, 1e-300, 1e300) for _ in range(n // 4)]
        out += [1 + sign() * log_uniform(rng, 1e-15, 0.3) for _ in range(n // 4)]
        out += [2.0 ** k for k in range(-1074, 1024, 37)]
        out += [5e-324, 1.5e-310]
    elif name in ("sinh", "cosh"):
        out += [rng.uniform(-0.5, 0.5) for _ in range(n // 4)]  # 2 eta'
        out += [sign() * log_uniform(rng, 1e-9, 0.02) for _ in range(n // 8)]  # e atanh(e sin phi)
        out += [sign() * log_uniform(rng, 1e-12, 700) for _ in range(n // 4)]
        out += [rng.uniform(-20, 20) for _ in range(n // 8)]
        out += [0.99999999999, 1.0, 1.0000000001, 710.0, -710.4]
    elif name == "asinh":
        out += [rng.uniform(-0.3, 0.3) for _ in range(n // 4)]
        out += [sign() * log_uniform(rng, 1e-12, 1e20) for _ in range(n // 4)]
        out += [sign() * log_uniform(rng, 1e-300, 1e300) for _ in range(n // 8)]
        out += [2.0 ** 60, 2.0 ** 61, 2.0 ** -26, 1e308]
    elif name == "atanh":
        out += [rng.uniform(-0.09, 0.09) for _ in range(n // 4)]  # e sin(phi)
        out += [rng.uniform(-1, 1) for _ in range(n // 4)]
        out += [sign() * log_uniform(rng, 1e-12, 0.999) for _ in range(n // 8)]
        out += [sign() * (1 - log_uniform(rng, 1e-16, 0.5)) for _ in range(n // 8)]
        out += [0.17, 0.1700000000001, 0.5, 2.0 ** -26]
    # Either side of the thresholds below which x or 1 is returned.
    for t in (2.0 ** -26, 2.0 ** -27, 2.0 ** -60):
        for f in (1 - 2.0 ** -52, 1 - 2.0 ** -10, 1, 1 + 2.0 ** -52, 1.5, 1.99):
            out += [t * f, -t * f]
    out = [x for x in out if x != 0 and (name != "log" or x > 0)]
    return out


def hypot_arguments(rng, n):
    out = []
    for _ in range(n // 3):
        out.append((rng.uniform(-3, 3), rng.uniform(-3, 3)))  # (tau', cos lam), (1, tau)
    for _ in range(n // 3):
        out.append((1.0, rng.uniform(-60, 60)))
    for _ in range(n // 3):
        e = rng.uniform(-1000, 1000)
        out.append((sign(rng) * 2 ** e * rng.random(), sign(rng) * 2 ** (e + rng.uniform(-70, 5)) * rng.random()))
    out += [(3.0, 4.0), (1e308, 1e308), (5e-324, 5e-324), (1e-310, 3e-310), (1.0, 2.0 ** -61)]
    return out


def sign(rng):
    return rng.choice((-1.0, 1.0))


def main():
    n = 1500
    if "--count" in sys.argv:
        n = int(sys.argv[sys.argv.index("--count") + 1])
    rng = random.Random(20)
    lines = ["# exp, log, hyperbolic functions and hypot rounded once to the nearest double (mpmath)."]
    # Arguments whose value lies a hair from a midpoint: 1 + x + x^2/2 ...
    for name in ("exp", "cosh"):
        for k in (26, 27, 52, 53, 54):
            for x in (2.0 ** -k, -(2.0 ** -k), 3 * 2.0 ** -k):
                r, hard = value(name, [x])
                lines.append("%s %s %s %d" % (name, bits(x), bits(r), hard))
    for name in ("exp", "log", "sinh", "cosh", "asinh", "atanh"):
        for x in arguments(rng, name, n):
            r, hard = value(name, [x])
            lines.append("%s %s %s %d" % (name, bits(x), bits(r), hard))
    for y, x in hypot_arguments(rng, n):
        r, hard = value("hypot", [y, x])
        lines.append("hypot %s %s %s %d" % (bits(y), bits(x), bits(r), hard))
    out = OUT
    if "--out" in sys.argv:
        out = sys.argv[sys.argv.index("--out") + 1]
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with open(out, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("%d cases written to %s" % (len(lines) - 1, out))


if __name__ == "__main__":
    main()
