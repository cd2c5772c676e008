"""A finite strip signature curve written in Python with NumPy and SciPy, the
way scripting tools for the method work: dense matrices, assembled strip by
strip in Python, and a dense generalized eigensolve at every length.

It is the benchmark's point of comparison for zorvik-buckle's engine: the
same section, the same mesh (plates longer than 1/32 of the centre line in
strips of at most that), the same 60 half-wavelengths, simply supported ends
and one half-wave, uniform compression. It prints the time taken (wall and
CPU) and the curve, so that the two can be compared value by value.

    python3 bench/python_fsm.py SECTION.kaf [COUNT]

Method: Cheung (1976), Hancock (1978); the strip matrices as in
Li and Schafer (2010) for one longitudinal term of a simply supported member.
"""
import math
import sys
import time

import numpy as np
import scipy.linalg


def kaf_section(path):
    """Nodes, plates (start, end, t) and E, G, MUE of a KAF file."""
    lines = open(path, encoding="latin-1").read().split("\n")

    def after(label):
        return lines.index(label) + 1

    material = [float(x) for x in lines[after("*** E-Modul  G-MODUL MUE ***")].split()]
    at = after("*** Anfangs- Endknoten ***")
    start = [int(x) for x in lines[at].split()]
    end = [int(x) for x in lines[at + 1].split()]
    at = after("*** Knotenkoordinaten, Scheiben ***")
    ys = [float(x) for x in lines[at].split()]
    zs = [float(x) for x in lines[at + 1].split()]
    t = [float(x) for x in lines[after("*** Scheiben b_r t_r alpha_r K_r D_r ***") + 1].split()]
    return list(zip(ys, zs)), list(zip(start, end, t)), material


def mesh(nodes, plates):
    """Every plate in strips no longer than 1/32 of the whole centre line."""
    points = list(nodes)
    widths = [math.dist(nodes[a - 1], nodes[b - 1]) for a, b, _ in plates]
    longest = sum(widths) / 32
    strips = []
    for (a, b, t), width in zip(plates, widths):
        pieces = 1 if width <= longest else math.ceil(width / longest - 1e-9)
        (y1, z1), (y2, z2) = nodes[a - 1], nodes[b - 1]
        previous = a - 1
        for p in range(1, pieces + 1):
            following = b - 1
            if p < pieces:
                share = p / pieces
                points.append((y1 + share * (y2 - y1), z1 + share * (z2 - z1)))
                following = len(points) - 1
            strips.append((previous, following, t))
            previous = following
    return points, strips


GAUSS = [(0.0694318442029737, 0.1739274225687269), (0.3300094782075719, 0.3260725774312731),
         (0.6699905217924281, 0.3260725774312731), (0.9305681557970263, 0.1739274225687269)]


def strip_matrices(b, t, k, E, G, mue):
    """Elastic and geometric stiffness of a strip (uniform unit compression), in
    its own axes: u, v, w, theta at each of its two nodes."""
    E1 = E / (1 - mue * mue)
    D = E1 * t ** 3 / 12
    Dxy = G * t ** 3 / 12
    ke = np.zeros((8, 8))
    kg = np.zeros((8, 8))
    for s, weight in GAUSS:
        wb = weight * b
        n1, n2 = 1 - s, s
        ex = np.zeros(8); ey = np.zeros(8); gam = np.zeros(8)
        ex[0], ex[4] = -1 / b, 1 / b
        ey[1], ey[5] = -k * n1, -k * n2
        gam[0], gam[4], gam[1], gam[5] = k * n1, k * n2, -1 / b, 1 / b
        h = np.zeros(8); hx = np.zeros(8); hxx = np.zeros(8)
        h[2], h[3], h[6], h[7] = (1 - 3 * s * s + 2 * s ** 3, b * (s - 2 * s * s + s ** 3),
                                  3 * s * s - 2 * s ** 3, b * (s ** 3 - s * s))
        hx[2], hx[3], hx[6], hx[7] = ((-6 * s + 6 * s * s) / b, 1 - 4 * s + 3 * s * s,
                                      (6 * s - 6 * s * s) / b, 3 * s * s - 2 * s)
        hxx[2], hxx[3], hxx[6], hxx[7] = ((-6 + 12 * s) / b ** 2, (-4 + 6 * s) / b,
                                          (6 - 12 * s) / b ** 2, (-2 + 6 * s) / b)
        wyy = -k * k * h
        wxy = k * hx
        membrane = (E1 * (np.outer(ex, ex) + np.outer(ey, ey))
                    + E1 * mue * (np.outer(ex, ey) + np.outer(ey, ex)) + G * np.outer(gam, gam))
        bending = (D * (np.outer(hxx, hxx) + np.outer(wyy, wyy))
                   + D * mue * (np.outer(hxx, wyy) + np.outer(wyy, hxx))
                   + 4 * Dxy * np.outer(wxy, wxy))
        ke += wb * (t * membrane + bending)
        u = np.zeros(8); v = np.zeros(8)
        u[0], u[4], v[1], v[5] = n1, n2, n1, n2
        kg += wb * t * k * k * (np.outer(u, u) + np.outer(v, v) + np.outer(h, h))
    return ke, kg


def lowest_load_factor(points, strips, material, length):
    E, G, mue = material
    n = 4 * len(points)
    K = np.zeros((n, n))
    Kg = np.zeros((n, n))
    k = math.pi / length
    for a, b, t in strips:
        (y1, z1), (y2, z2) = points[a], points[b]
        width = math.hypot(y2 - y1, z2 - z1)
        c, s = (y2 - y1) / width, (z2 - z1) / width
        r = np.zeros((8, 8))
        for o in (0, 4):
            r[o, o], r[o, o + 1] = c, s
            r[o + 1, o + 2] = 1
            r[o + 2, o], r[o + 2, o + 1] = -s, c
            r[o + 3, o + 3] = 1
        ke, kg = strip_matrices(width, t, k, E, G, mue)
        index = [4 * a + i for i in range(4)] + [4 * b + i for i in range(4)]
        K[np.ix_(index, index)] += r.T @ ke @ r
        Kg[np.ix_(index, index)] += r.T @ kg @ r
    mu = scipy.linalg.eigh(Kg, K, eigvals_only=True, subset_by_index=[n - 1, n - 1])[0]
    return 1 / mu


def main():
    nodes, plates, material = kaf_section(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    points, strips = mesh(nodes, plates)
    ys = [y for y, _ in nodes]
    zs = [z for _, z in nodes]
    size = max(max(ys) - min(ys), max(zs) - min(zs))
    first, last = size / 10, 100 * size
    lengths = [first * (last / first) ** (i / (count - 1)) for i in range(count)]
    began, began_cpu = time.perf_counter(), time.process_time()
    curve = [lowest_load_factor(points, strips, material, L) for L in lengths]
    seconds, cpu = time.perf_counter() - began, time.process_time() - began_cpu
    print("nodes %d lengths %d seconds %.4f cpu %.4f" % (len(points), count, seconds, cpu))
    for L, value in zip(lengths, curve):
        print("%.17g %.17g" % (L, value))
    sys.stdout.flush()


if __name__ == "__main__":
    main()
