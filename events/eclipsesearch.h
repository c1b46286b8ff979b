// Eclipses, occultations and transits: the overlap of two discs found by the
// two-body search, its maximum and the contact times (outer and inner
// contacts, the penumbra of the Earth's shadow), and the finders that store
// them as events.
#pragma once
#include <cstdint>
#include <cstdio>

#include "events/eventrecord.h"
#include "events/pairsearch.h"
#include "sites/horizon.h"

// Modes of an eclipse search.
const int kEclipseSolar = 1;
const int kEclipseLunar = 2;
const int kEclipsePair = 3;

const int kEclipseMaxContacts = 9;

using EventProgress = void (*)(int);

struct EclipseSearch {
    const LocationRecord *site;
    DateRecord start;
    PairSearch pair;
    double span;
    int mode;
    int class1, class2, index1, index2, satellite1, satellite2;
};

struct EclipseContact {
    double time;
    double separation;
    int code;
    double ra1, ra2, dec1, dec2;
    double magnitude1, magnitude2;
};

// The search of mode 1 (the Sun and the Moon), 2 (the Moon and the Earth's
// shadow) or 3 (the given pair) in topocentric places of date, measure 255,
// tolerance 1 s, limit 0: the result of BeginPairSearch. A solar search at a
// site at the Earth's centre (no distance from the axis) finds the eclipses
// seen from anywhere on the Earth, with the contacts of the Moon's penumbra
// and shadow on the Earth.
int BeginEclipseSearch(const LocationRecord *site, const DateRecord *start, EclipseSearch *search, double span,
                       int mode, int class1, int class2, int index1, int index2, int satellite1, int satellite2,
                       const int *stop);
// The next overlap: its contacts (the maximum first) and the pair result
// (3, 4, 13, 14). The number of contacts, 0 at the end, -1 when a contact
// search cannot be opened.
int NextEclipseEvent(EclipseSearch *search, int *result, EclipseContact contacts[kEclipseMaxContacts],
                     const int *stop, EventProgress progress);
void EndEclipseSearch(EclipseSearch *search);
// 1.5 days when the Sun is one of the bodies and the Moon is not, else 0.15.
double GetContactSearchSpan(const EclipseSearch *search);

int FindEclipses(EventFileHeader *header, std::FILE *file, int hourAngle, const HorizonRow *horizon,
                 const DateRecord *start, double span, int criteriaNumber, const int *stop);
int FindOccultationsAndTransits(EventFileHeader *header, std::FILE *file, int hourAngle, const HorizonRow *horizon,
                                const DateRecord *start, double span, int criteriaNumber, const int *stop,
                                EventProgress progress);
