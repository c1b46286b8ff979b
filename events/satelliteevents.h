// Events of the planets' satellites: greatest elongations of any satellite of
// Mars to Pluto, and the transits, shadow transits, occultations and eclipses
// of Jupiter's four large satellites, each kept only when the satellite can
// be seen at the site by the criteria of the search.
#pragma once
#include <cstdio>

#include "astro/datetime.h"
#include "astro/location.h"
#include "ephem/bodyrecord.h"
#include "events/eventrecord.h"
#include "sites/horizon.h"

// Phenomenon kinds of a scan (and bits of the header's kinds mask).
const int kPhenomenonTransit = 0;
const int kPhenomenonShadowTransit = 1;
const int kPhenomenonOccultation = 2;
const int kPhenomenonEclipse = 3;

// Jupiter's polar flattening factor: the north-south offset of a satellite
// is multiplied by it before it is compared with the equatorial radius.
const double kJupiterFlattening = 1.071374;

// First bit of each planet's satellites in the selection mask (Mars .. Pluto),
// and the first bit of Jupiter's satellites for the phenomena.
const int kElongationMaskFirst[6] = {0, 2, 8, 17, 21, 22};
const int kPhenomenaMaskFirst = 24;

struct SatelliteScan {
    LocationRecord site;
    double end;              // T(TT)
    double step;             // days
    DateRecord date;         // current
    DateRecord start;
    int planet;              // body type 4..9
    int satellite;           // 0-based
    double previous;         // separation at the previous step
    int falling;             // the separation was falling
    double tolerance;        // days
    const VisibilityCriteria *criteria;
    int kind;                // phenomenon kind
    BodyRecord body;
    HeliocentricPlace earth;
    const HorizonRow *horizon;
    const int *stop;
    double period;           // days
    double sense;            // +1 when the orbital angle grows with time, else -1
};

// Elongations: step = period / 12. 1, 0 for a missing scan or satellite.
int BeginSatelliteElongations(SatelliteScan *scan, const LocationRecord *site, const HorizonRow *horizon,
                              const DateRecord *start, double span, double tolerance,
                              const VisibilityCriteria *criteria, int planet, int satellite, const int *stop);
// 1 an elongation filled in, 0 end of span, -1 stopped.
int NextSatelliteElongation(SatelliteScan *scan, EventRecord *event);
int BeginSatellitePhenomena(SatelliteScan *scan, const LocationRecord *site, const HorizonRow *horizon,
                            const DateRecord *start, double span, double tolerance,
                            const VisibilityCriteria *criteria, int planet, int satellite, const int *stop,
                            int kind);
// The number of contacts (1-3) of the phenomenon filled in, 0 end, -1 stopped.
int NextSatellitePhenomenon(SatelliteScan *scan, EventRecord *event);
// 1 when some point of a window of w hours around the scan's date passes the
// criteria; visible (may be null) 1 when the satellite's brightness blend is
// above 0 at such a point.
int IsSatelliteSeenInWindow(SatelliteScan *scan, double windowHours, int planetClass, int *visible);
// Whether the satellite stands in the planet's shadow for the north-south
// offset given (the scan's body computed).
int IsSatelliteInShadow(const SatelliteScan *scan, double offset);
// The elongation code of a position angle: 1 north, 2 east, 3 south, 4 west.
int ElongationCode(double positionAngle);

using EventProgress = void (*)(int);

int FindSatelliteElongations(EventFileHeader *header, std::FILE *file, const HorizonRow *horizon,
                             const DateRecord *start, double span, int criteriaNumber, const int *stop,
                             EventProgress progress);
int FindSatellitePhenomena(EventFileHeader *header, std::FILE *file, const HorizonRow *horizon,
                           const DateRecord *start, double span, int criteriaNumber, const int *stop,
                           EventProgress progress);
