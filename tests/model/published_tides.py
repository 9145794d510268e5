#!/usr/bin/env python3
"""High and low waters of a station from its published constants, written
straight from Schureman's Manual (SP 98, Tables 1 and 2), independently of
the program: the reference values of tests/model/station_test.cpp.

usage: published_tides.py CATALOGUE.json STATION_ID YEAR MONTH DAYS [DATUM]
(the catalogue as `flatc --json --raw-binary files/catalogue.fbs -- neaps.tcdb`
gives it), or  published_tides.py --arguments  for the V0 + u table."""
import json, math, sys
from datetime import datetime, timedelta, timezone

D = math.pi / 180

def longitudes(t):
    """Schureman Table 1 at datetime t (UTC): T, s, h, p, p1, N in degrees."""
    jd = (t - datetime(1970, 1, 1, tzinfo=timezone.utc)).total_seconds() / 86400 + 2440587.5
    c = (jd - 2415020.0) / 36525
    s = 270.434164 + 481267.8831 * c - 0.001133 * c * c + 0.0000019 * c ** 3
    h = 279.696678 + 36000.768925 * c + 0.000303 * c * c
    p = 334.328019 + 4069.032206 * c - 0.010344 * c * c
    p1 = 281.220833 + 1.719175 * c + 0.000453 * c * c
    N = 259.182533 - 1934.142397 * c + 0.002106 * c * c
    hours = t.hour + t.minute / 60 + t.second / 3600
    return 180 + 15 * hours, s, h, p, p1, N

def orbit(N):
    """I, nu, xi, nu', 2nu'' (degrees) from N, Schureman's formulas 191-197, 224, 232."""
    w, i = 23.452294 * D, 5.145376 * D
    n = math.remainder(N, 360) * D
    I = math.acos(math.cos(w) * math.cos(i) - math.sin(w) * math.sin(i) * math.cos(n))
    nu = math.asin(math.sin(i) * math.sin(n) / math.sin(I))
    a = math.atan(math.cos(0.5 * (w - i)) / math.cos(0.5 * (w + i)) * math.tan(0.5 * n))
    b = math.atan(math.sin(0.5 * (w - i)) / math.sin(0.5 * (w + i)) * math.tan(0.5 * n))
    xi = n - (a + b)
    nup = math.atan(math.sin(2 * I) * math.sin(nu) / (math.sin(2 * I) * math.cos(nu) + 0.3347))
    nu2 = math.atan(math.sin(I) ** 2 * math.sin(2 * nu) / (math.sin(I) ** 2 * math.cos(2 * nu) + 0.0727))
    return I, nu, xi, nup, nu2

def factors(kind, N, p):
    I, nu, xi, nup, nu2 = orbit(N)
    P = p * D - xi
    if kind == 'M2': return math.cos(I / 2) ** 4 / 0.9154, 2 * xi - 2 * nu
    if kind == 'O1': return math.sin(I) * math.cos(I / 2) ** 2 / 0.3800, 2 * xi - nu
    if kind == 'K1':
        return math.sqrt(0.8965 * math.sin(2 * I) ** 2 + 0.6001 * math.sin(2 * I) * math.cos(nu) + 0.1006), -nup
    if kind == 'K2':
        return math.sqrt(19.0444 * math.sin(I) ** 4 + 2.7702 * math.sin(I) ** 2 * math.cos(2 * nu) + 0.0981), -nu2
    if kind == 'Mf': return math.sin(I) ** 2 / 0.1578, -2 * xi
    if kind == 'Mm': return (2 / 3 - math.sin(I) ** 2) / 0.5021, 0.0
    if kind == 'J1': return math.sin(2 * I) / 0.7214, -nu
    if kind == 'OO1': return math.sin(I) * math.sin(I / 2) ** 2 / 0.01640, -2 * xi - nu
    if kind == 'M3': return math.cos(I / 2) ** 6 / 0.8758, 3 * xi - 3 * nu
    if kind == 'L2':
        t2 = math.tan(I / 2) ** 2
        R = math.atan2(math.sin(2 * P), 1 / (6 * t2) - math.cos(2 * P))
        f, u = factors('M2', N, p)
        return f * math.sqrt(1 - 12 * t2 * math.cos(2 * P) + 36 * t2 * t2), u - R
    if kind == 'M1':
        q = math.atan2((5 * math.cos(I) - 1) * math.sin(P), (7 * math.cos(I) + 1) * math.cos(P))
        ci, c2 = math.cos(I), math.cos(I / 2) ** 2
        f = factors('O1', N, p)[0] * math.sqrt(0.25 + 1.5 * ci * math.cos(2 * P) / c2 + 2.25 * ci * ci / (c2 * c2))
        return f, q - P - nu
    return 1.0, 0.0

# name: (T, s, h, p, p1, degrees, node factor); compounds as sums of these.
BASIC = {
    'SA': (0, 0, 1, 0, 0, 0, None), 'SSA': (0, 0, 2, 0, 0, 0, None), 'MM': (0, 1, 0, -1, 0, 0, 'Mm'),
    'MF': (0, 2, 0, 0, 0, 0, 'Mf'), 'MTM': (0, 3, 0, -1, 0, 0, 'Mf'), 'MSQM': (0, 4, -2, 0, 0, 0, 'Mf'),
    '2Q1': (1, -4, 1, 2, 0, 90, 'O1'), 'SGM': (1, -4, 3, 0, 0, 90, 'O1'), 'Q1': (1, -3, 1, 1, 0, 90, 'O1'),
    'RHO1': (1, -3, 3, -1, 0, 90, 'O1'), 'O1': (1, -2, 1, 0, 0, 90, 'O1'), 'M1': (1, -1, 1, 1, 0, 180, 'M1'),
    'P1': (1, 0, -1, 0, 0, 90, None), 'S1': (1, 0, 0, 0, 0, 0, None), 'K1': (1, 0, 1, 0, 0, -90, 'K1'),
    'J1': (1, 1, 1, -1, 0, -90, 'J1'), 'OO1': (1, 2, 1, 0, 0, -90, 'OO1'),
    '3N2': (2, -5, 2, 3, 0, 0, 'M2'), 'EP2': (2, -5, 4, 1, 0, 0, 'M2'), '2N2': (2, -4, 2, 2, 0, 0, 'M2'),
    'MU2': (2, -4, 4, 0, 0, 0, 'M2'), 'N2': (2, -3, 2, 1, 0, 0, 'M2'), 'NU2': (2, -3, 4, -1, 0, 0, 'M2'),
    'MA2': (2, -2, 1, 0, 0, 0, 'M2'), 'M2': (2, -2, 2, 0, 0, 0, 'M2'), 'MB2': (2, -2, 3, 0, 0, 0, 'M2'),
    'LAMBDA2': (2, -1, 0, 1, 0, 180, 'M2'), 'L2': (2, -1, 2, -1, 0, 180, 'L2'), '3L2': (2, 1, 2, -3, 0, 180, 'M2'),
    'T2': (2, 0, -1, 0, 1, 0, None), 'S2': (2, 0, 0, 0, 0, 0, None), 'R2': (2, 0, 1, 0, -1, 180, None),
    'K2': (2, 0, 2, 0, 0, 0, 'K2'), 'M3': (3, -3, 3, 0, 0, 180, 'M3'), 'T3': (3, 0, -1, 0, 0, 0, None),
    'S3': (3, 0, 0, 0, 0, 0, None), 'R3': (3, 0, 1, 0, 0, 0, None),
}
COMPOUND = {
    'MSF': {'S2': 1, 'M2': -1}, '2SM2': {'S2': 2, 'M2': -1}, 'MKS2': {'M2': 1, 'K2': 1, 'S2': -1},
    'MK3': {'M2': 1, 'K1': 1}, '2MK3': {'M2': 2, 'K1': -1}, 'M4': {'M2': 2}, 'MN4': {'M2': 1, 'N2': 1},
    'N4': {'N2': 2}, 'MS4': {'M2': 1, 'S2': 1}, 'S4': {'S2': 2}, '2MK5': {'M2': 2, 'K1': 1},
    '2MO5': {'M2': 2, 'O1': 1}, 'M6': {'M2': 3}, '2MS6': {'M2': 2, 'S2': 1}, 'S6': {'S2': 3}, 'M8': {'M2': 4},
}
ALIAS = {'LAM2': 'LAMBDA2', 'RHO': 'RHO1'}

def parts(name):
    name = ALIAS.get(name, name)
    return {name: 1} if name in BASIC else COMPOUND[name]

def speed(name):  # degrees per hour, from the rates of Table 1
    rates = (15, 0.5490165, 0.0410686, 0.0046418, 0.0000020)
    return sum(k * sum(r * x for r, x in zip(rates, BASIC[b][:5])) for b, k in parts(name).items())

def argument(name, t):
    """V (at t) and f, u (at t) in degrees."""
    T, s, h, p, p1, N = longitudes(t)
    V, f, u = 0.0, 1.0, 0.0
    for b, k in parts(name).items():
        a = BASIC[b]
        V += k * (a[0] * T + a[1] * s + a[2] * h + a[3] * p + a[4] * p1 + a[5])
        fb, ub = factors(a[6], N, p) if a[6] else (1.0, 0.0)
        f *= fb ** abs(k)
        u += k * ub / D
    return V, f, u

def heights(station, start, hours, step=60):
    """Heights every `step` seconds; V at start, f and u at each day's noon."""
    out, days = [], {}
    V0 = {name: argument(name, start)[0] for name, _, _ in station['constituents']}
    for i in range(int(hours * 3600 / step) + 1):
        t = start + timedelta(seconds=i * step)
        if t.date() not in days:
            noon = datetime(t.year, t.month, t.day, 12, tzinfo=timezone.utc)
            days[t.date()] = [(A * f, (V0[name] + u - g) * D, speed(name) * D / 3600)
                              for name, A, g in station['constituents']
                              for _, f, u in [argument(name, noon)]]
        z = station['shift'] + sum(a * math.cos(phase + w * i * step) for a, phase, w in days[t.date()])
        out.append(z)
    return out

def extremes(station, start, hours):
    """Turning points to the second: parabola through the minute's samples."""
    z = heights(station, start, hours)
    found = []
    for i in range(1, len(z) - 1):
        if (z[i] - z[i - 1]) * (z[i + 1] - z[i]) <= 0 and z[i] != z[i - 1]:
            a = (z[i + 1] - 2 * z[i] + z[i - 1]) / 2
            x = -(z[i + 1] - z[i - 1]) / 4 / a
            found.append((start + timedelta(seconds=60 * (i + x)), z[i] - a * x * x, a < 0))
    # A pair of turning points less than 1 cm apart is a ripple; the tide
    # beside it lies on a flat stretch, whose minute is loosely defined.
    kept, flat = [], False
    for e in found:
        if kept and abs(kept[-1][1] - e[1]) < 0.01:
            kept.pop()
            flat = True
        else:
            kept.append(e + (flat,))
            flat = False
    return kept

def load(path, ident, datum):
    cat = json.load(open(path))
    names, datums = cat['constituent_names'], cat['datum_names']
    st = next(s for s in cat['stations'] if s['id'] == ident)
    ref = st
    if 'offsets' in st:
        ref = next(s for s in cat['stations'] if s['id'] == st['offsets']['reference'])
    d = {datums[x['name']]: x['value'] for x in ref['datums']}
    cons = [(names[c['name']], c['amplitude'], c['phase']) for c in ref['constituents']]
    return st, {'shift': d['MSL'] - d[datum or ref['chart_datum']], 'constituents': cons}

if __name__ == '__main__':
    if sys.argv[1] == '--arguments':
        for name in ('M2', 'S2', 'K1', 'O1', 'N2', 'L2', 'M1', 'MK3', '2MK5', 'MSF', 'SA'):
            for when in (datetime(1990, 1, 1, tzinfo=timezone.utc), datetime(2027, 7, 2, 12, tzinfo=timezone.utc)):
                V, f, u = argument(name, when)
                print('%-5s %s V0+u=%10.4f f=%.5f' % (name, when.strftime('%Y-%m-%dT%H'), (V + u) % 360, f))
        sys.exit()
    st, model = load(sys.argv[1], sys.argv[2], sys.argv[6] if len(sys.argv) > 6 else None)
    start = datetime(int(sys.argv[3]), int(sys.argv[4]), 1, tzinfo=timezone.utc)
    off = st.get('offsets')
    for t, z, high, flat in extremes(model, start, 24 * int(sys.argv[5])):
        if off:
            t += timedelta(minutes=off['time_high' if high else 'time_low'])
            k = off.get('height_high' if high else 'height_low', 1.0)
            z = z * k if off.get('height_type', 'Ratio') == 'Ratio' else z + k
        print(t.strftime('%Y-%m-%d %H:%M:%S'), 'HW' if high else 'LW', '%.3f' % z + (' flat' if flat else ''))
