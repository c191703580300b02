#!/usr/bin/env python3
"""Reference values for the engine's own sin, cos and atan2, computed with
mpmath (Debian's python3-mpmath). Run once:

    python3 scripts/gen_trig_cases.py OUTDIR [--scale S]

writes OUTDIR/trig_full.txt (every case, a few million values) and, in the
repository, tests/data/trig/sample.txt (a sample under 1 MB headed by the
SHA-256 of the whole run) and tests/data/trig/hard.txt (the cases whose exact
value lies closest to a rounding midpoint). Lines are

    s|c XXXXXXXXXXXXXXXX RRRRRRRRRRRRRRRR [H]
    a YYYYYYYYYYYYYYYY XXXXXXXXXXXXXXXX RRRRRRRRRRRRRRRR [H]

(sin, cos, atan2(y, x); the bits of the doubles in hex; H, in hard.txt, the
number of bits after the last one of the result that agree with a midpoint).
The arguments: every multiple of 1 degree up to +-720 degrees and of 0.1 and
0.01 degree up to 360 as the readers form them, the running sums of the
ellipse reader, arc angles through the arc reader's own steps, random values
of the readers' domain and beyond it, and arguments searched out near rounding
boundaries.
"""
import hashlib
import math
import multiprocessing
import os
import random
import struct
import sys

from mpmath import mp, mpf, sin, cos, atan2, floor, taylor

DEG = math.pi / 180  # the readers' factor: the double nearest pi / 180 of the double pi
HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data", "trig")


def bits(x):
    return "%016x" % struct.unpack("<Q", struct.pack("<d", x))[0]


def rounded(fn, args):
    """fn(*args) rounded once to the nearest double, and how many bits past
    the last bit of the result the exact value agrees with a midpoint."""
    # mpmath has no signed zero: the C rules for zero arguments.
    if fn is sin and args[0] == 0:
        return args[0], 0
    if fn is atan2 and args[0] == 0:
        y, x = args
        if math.copysign(1, x) > 0:
            return y, 0
        return math.copysign(math.pi, y), 0
    prec = 160
    while True:
        with mp.workprec(prec):
            v = fn(*[mpf(a) for a in args])
            if v == 0:
                return 0.0, 0
            e = int(floor(mp.log(abs(v), 2)))
            ulp_exp = max(e - 52, -1074)
            q = abs(v) * mpf(2) ** (-ulp_exp)
            whole = int(floor(q))
            frac = q - whole
            dist = abs(frac - mpf(0.5))
            if dist > mpf(2) ** (-(prec - 70)):
                up = 1 if frac > 0.5 else 0
                r = math.ldexp(whole + up, ulp_exp)
                hard = int(-mp.log(dist, 2)) if dist > 0 else prec
                return (-r if v < 0 else r), hard
        prec *= 2


def wrap_degrees(a):
    """The readers' WrapDegrees, step by step in doubles."""
    if not math.isfinite(a):
        return a
    if abs(a) > 1e6:
        a = math.fmod(a, 360.0)
    while a < 0:
        a += 360
    while a > 360:
        a -= 360
    return a


def trig_args(rng, scale):
    out = []
    # Whole degrees as the arc reader forms them, both signs.
    for n in range(-720, 721):
        out.append(n * DEG)
    # Angles of rotated points (RotatePoint gets e * DEG, e = WrapDegrees(360 - b),
    # and takes sin/cos of its negative) for decimal angles b.
    for n in range(0, 7201):
        out.append(-(wrap_degrees(360 - n / 10) * DEG))
    for n in range(0, 72001, 1 if scale >= 1 else 7):
        out.append(-(wrap_degrees(360 - n / 100) * DEG))
    # The ellipse reader's running sum.
    global first_sum
    first_sum = len(out)
    t = 0.0
    for _ in range(360):
        out.append(t)
        t += DEG
    # Random values of the domain (|x| <= 4 pi) and of the fast path (16).
    for _ in range(int(600000 * scale)):
        out.append(rng.uniform(-4 * math.pi, 4 * math.pi))
    for _ in range(int(200000 * scale)):
        out.append(rng.uniform(-16, 16))
    # Small and large magnitudes, subnormals, values beyond the domain.
    for _ in range(int(20000 * scale)):
        out.append(math.ldexp(rng.uniform(0.5, 1), rng.randint(-40, 4)) * rng.choice((-1, 1)))
    for _ in range(int(5000 * scale)):
        out.append(math.ldexp(rng.uniform(0.5, 1), rng.randint(5, 1024)) * rng.choice((-1, 1)))
    for _ in range(200):
        out.append(math.ldexp(rng.uniform(0.5, 1), rng.randint(-1074, -28)))
    out += [5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 2.0**-27, 2.0**-28,
            float.fromhex("0x1.fffffffffffffp-28"), 16.0, math.nextafter(16.0, 100)]
    # The doubles next to multiples of pi/2 and pi/4 in the domain and a bit beyond.
    for k in range(-40, 41):
        c = k * mp.pi / 4
        d = float(c)
        for step in range(-3, 4):
            x = d
            for _ in range(abs(step)):
                x = math.nextafter(x, math.inf if step > 0 else -math.inf)
            out.append(x)
    return out


def atan2_args(rng, scale):
    out = []
    # The arc reader: the angle of the rotated start point on the ellipse,
    # atan2(-(p.Y - cy) * rx, (p.X - cx) * ry), with p = RotatePoint(cx + rx + ry,
    # cy, cx, cy, e * DEG); sin/cos there are the correctly rounded ones.
    for _ in range(int(60000 * scale)):
        x1, y1 = rng.uniform(-1e5, 1e5), rng.uniform(-1e5, 1e5)
        w, h = rng.choice((rng.uniform(0.5, 1e4), float(rng.randint(1, 1000))
                           )), rng.choice((rng.uniform(0.5, 1e4), float(rng.randint(1, 1000))))
        x2, y2 = x1 + w, y1 + h
        b = rng.choice((rng.randint(0, 360), rng.randint(0, 36000) / 100, rng.uniform(-720, 720)))
        cx, cy = (x1 + x2) / 2, (y1 + y2) / 2
        rx = max((abs(x1 - x2) - 1) / 2, 0.0)
        ry = max((abs(y1 - y2) - 1) / 2, 0.0)
        theta = wrap_degrees(360 - b) * DEG
        cs, _ = rounded(cos, (-theta,))
        sn, _ = rounded(sin, (-theta,))
        px, py = cx + rx + ry, cy
        qx = cx + cs * (px - cx) - sn * (py - cy)
        qy = cy + sn * (px - cx) + cs * (py - cy)
        out.append((-(qy - cy) * rx, (qx - cx) * ry))
    for _ in range(int(300000 * scale)):
        out.append((rng.uniform(-1e4, 1e4), rng.uniform(-1e4, 1e4)))
    for _ in range(int(30000 * scale)):
        y = math.ldexp(rng.uniform(0.5, 1), rng.randint(-1074, 1023)) * rng.choice((-1, 1))
        x = math.ldexp(rng.uniform(0.5, 1), rng.randint(-1074, 1023)) * rng.choice((-1, 1))
        out.append((y, x))
    for _ in range(int(30000 * scale)):
        x = rng.uniform(-10, 10)
        out.append((x * math.ldexp(1, rng.randint(-70, 70)) * rng.uniform(0.3, 3), x))
    out += [(1.0, 1.0), (-1.0, -1.0), (5e-324, 1.7976931348623157e308), (5e-324, -1.0),
            (1e-300, 1e300), (3e-308, 1.0), (1.0, 3.0), (1.0, -3.0), (2.0, 1e-320)]
    return out


def search_windows(job):
    """Consecutive doubles around a random start where the exact value comes
    closest to a rounding midpoint: the value is a cubic in the step count
    across the window, followed in exact integer arithmetic."""
    kind, seed, steps = job
    rng = random.Random(seed)
    found = []
    for _ in range(4):
        if kind == "a":
            x = rng.choice((rng.uniform(0.1, 1e4), -rng.uniform(0.1, 1e4)))
            y0 = rng.uniform(-1e4, 1e4)
            fn = lambda t: atan2(t, x)
            start = y0
        else:
            fn = sin if kind == "s" else cos
            start = rng.uniform(-4 * math.pi, 4 * math.pi)
        h = math.ulp(start)
        with mp.workprec(300):
            coef = taylor(fn, mpf(start), 3)
            v0 = coef[0]
            vend = fn(mpf(start) + steps * h)
            e = int(floor(mp.log(abs(v0), 2)))
            if e != int(floor(mp.log(abs(vend), 2))) or abs(start) < 1:
                continue
            u = mpf(2) ** (e - 52)
            S = 200
            a = [int(floor(coef[j] * mpf(h) ** j / u * mpf(2) ** S)) for j in range(4)]
        one = 1 << S
        half = one >> 1
        v, d1, d2, d3 = a[0], a[1] + a[2] + a[3], 2 * a[2] + 6 * a[3], 6 * a[3]
        best = []
        for k in range(steps):
            dist = abs(((v % one) - half))
            if dist < one >> 17:
                best.append(k)
            v += d1
            d1 += d2
            d2 += d3
        for k in best:
            xk = start + k * h
            found.append((xk, x) if kind == "a" else xk)
    return kind, found


def evaluate(chunk):
    kind, items = chunk
    lines = []
    for item in items:
        if kind == "a":
            y, x = item
            r, hard = rounded(atan2, (y, x))
            lines.append(("a %s %s %s" % (bits(y), bits(x), bits(r)), hard,
                          math.atan2(y, x) != r))
        else:
            r, hard = rounded(sin if kind == "s" else cos, (item,))
            ref = math.sin(item) if kind == "s" else math.cos(item)
            lines.append(("%s %s %s" % (kind, bits(item), bits(r)), hard, ref != r))
    return lines


def main():
    outdir = sys.argv[1]
    scale = float(sys.argv[sys.argv.index("--scale") + 1]) if "--scale" in sys.argv else 1.0
    workers = int(os.environ.get("JOBS", "2"))
    rng = random.Random(20261208)
    targs = trig_args(rng, scale)
    aargs = atan2_args(rng, scale)
    with multiprocessing.Pool(workers) as pool:
        jobs = [(k, 1000 + i, 1 << 16) for k in "sca" for i in range(int(40 * scale) + 1)]
        for kind, found in pool.imap_unordered(search_windows, jobs):
            if kind == "a":
                aargs += found
            else:
                targs += found  # searched for one function, kept for both
        chunks = []
        for i in range(0, len(targs), 2000):
            chunks.append(("s", targs[i:i + 2000]))
        for i in range(0, len(targs), 2000):
            chunks.append(("c", targs[i:i + 2000]))
        for i in range(0, len(aargs), 1000):
            chunks.append(("a", aargs[i:i + 1000]))
        results = []
        for n, lines in enumerate(pool.imap(evaluate, chunks)):
            results += lines
            if n % 50 == 0:
                print("%d/%d chunks" % (n, len(chunks)), file=sys.stderr, flush=True)

    full = "".join(line + "\n" for line, _, _ in results)
    digest = hashlib.sha256(full.encode()).hexdigest()
    os.makedirs(outdir, exist_ok=True)
    with open(os.path.join(outdir, "trig_full.txt"), "w") as f:
        f.write(full)
    libc_off = sum(1 for _, _, off in results if off)
    hard = sorted((r for r in results if r[1] >= 14), key=lambda r: -r[1])[:4000]
    os.makedirs(DATA, exist_ok=True)
    with open(os.path.join(DATA, "hard.txt"), "w") as f:
        f.write("# The cases of the run whose exact value lies closest to a midpoint.\n")
        for line, h, _ in hard:
            f.write("%s %d\n" % (line, h))
    # The sample: every degree multiple and ellipse step, then an even spread.
    nt = len(targs)
    fixed = list(range(0, 1441)) + list(range(first_sum, first_sum + 360))
    head = [results[i][0] for i in fixed] + [results[nt + i][0] for i in fixed]
    stride = max(1, len(results) // 20000)
    sample = head + [r[0] for r in results[::stride]]
    text = "".join(line + "\n" for line in sample)
    while len(text) > 1000000:
        sample = sample[: len(sample) * 9 // 10]
        text = "".join(line + "\n" for line in sample)
    with open(os.path.join(DATA, "sample.txt"), "w") as f:
        f.write("# %d values, SHA-256 of the whole run %s; %d differ from this "
                "system's C library.\n" % (len(results), digest, libc_off))
        f.write(text)
    print("values %d, C library off on %d, hard %d, digest %s" %
          (len(results), libc_off, len(hard), digest))


if __name__ == "__main__":
    main()
