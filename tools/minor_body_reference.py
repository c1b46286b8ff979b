#!/usr/bin/env python3
"""Reference places of the minor bodies used by the user-store tests
(minorbodies/tests/mpimport_test.cpp, cometimport_test.cpp, mpcformat_test.cpp),
computed by
PyEphem (python3-ephem, libastro) from the same elements the tests import.
Prints the astrometric J2000 right ascension and declination in degrees and
the geocentric distance in AU at 2021 January 1, 0h UT (minor planets) and at
the dates given for the comets. Run with the system python3 that has ephem:
    /usr/bin/python3 tools/minor_body_reference.py
"""
import math
import ephem

def show(name, body, when):
    body.compute(when)
    print("%-10s %s  RA %.6f  Dec %.6f  Delta %.6f" % (
        name, when, math.degrees(body.a_ra), math.degrees(body.a_dec), body.earth_distance))

def elliptic(a, e, inc, node, peri, M, epoch):
    b = ephem.EllipticalBody()
    b._a, b._e, b._inc, b._Om, b._om, b._M = a, e, inc, node, peri, M
    b._epoch_M = epoch
    b._epoch = '2000/1/1 12:00'
    b._H, b._G = 3.5, 0.12
    return b

def comet(q, e, inc, node, peri, T):
    if e < 1.0:
        b = ephem.EllipticalBody()
        a = q / (1.0 - e)
        b._a, b._e, b._inc, b._Om, b._om = a, e, inc, node, peri
        b._M = 0.0
        b._epoch_M = T
    else:
        b = ephem.ParabolicBody() if e == 1.0 else ephem.HyperbolicBody()
        b._q, b._inc, b._Om, b._om, b._epoch_p = q, inc, node, peri, T
        if e != 1.0:
            b._e = e
    b._epoch = '2000/1/1 12:00'
    return b

# (1) Ceres and (433) Eros, epoch 2020 May 31.0 (the test lines' values).
show("Ceres", elliptic(2.76916515, 0.076009, 10.5941, 80.3055, 73.5977, 77.3721, '2020/5/31'), '2021/1/1')
show("Eros", elliptic(1.45804500, 0.222951, 10.8283, 304.2993, 178.9297, 271.0717, '2020/5/31'), '2021/1/1')
# 1P/Halley (T 1986 Feb 9.4589) and C/1995 O1 Hale-Bopp (T 1997 Apr 1.1375).
show("Halley", comet(0.5871047, 0.9672726, 162.24220, 58.85940, 111.86570, '1986/2/9.4589'), '1986/3/1')
show("HaleBopp", comet(0.9141424, 0.9951472, 89.43002, 282.47070, 130.58870, '1997/4/1.1375'), '1997/3/1')
