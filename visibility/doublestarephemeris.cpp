// Double-star ephemeris: the orbit read once, then solved year by year.
#include "visibility/doublestarephemeris.h"

#include "astro/datetime.h"
#include "objects/binaryorbitcat.h"
#include "objects/objectrecord.h"
#include "visibility/observability.h"

int BeginDoubleStarEphemeris(const LocationRecord *site, ObservabilityIterator *it,
                             const DateRecord *date, double step, double span, int orbitNumber) {
    if (!it || !date || !(step > 0.0) || !(span > 0.0)) return 0;
    OrbitFiles *files = OpenBinaryOrbitFiles();
    BinaryOrbit orbit;
    const int ok = ReadBinaryOrbit(files, orbitNumber, &orbit, nullptr, nullptr, nullptr);
    CloseBinaryOrbitFiles(files);
    if (!ok) return 0;
    it->site = site;
    it->orbit = orbit;
    it->orbitNumber = orbitNumber;
    it->object.objectClass = kClassStar;
    it->currentYear = date->decimalYear;
    it->endYear = date->decimalYear + span;
    it->yearStep = step;
    it->orbitCorrection = BinaryOrbitPrecessionCorrection(orbitNumber, &orbit);
    return 1;
}

int NextDoubleStarPosition(ObservabilityIterator *it, double *year, double *positionAngle,
                           double *separation) {
    if (!it || !(it->yearStep > 0.0)) return 0;
    if (!ComputeBinaryPositionAngle(it->orbitNumber, &it->orbit, it->currentYear,
                                    it->orbitCorrection, positionAngle, separation))
        return 0;
    if (year) *year = it->currentYear;
    it->currentYear += it->yearStep;
    return it->currentYear <= it->endYear ? 1 : 0;
}
