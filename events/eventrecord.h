// The byte layouts of a site's event file: the EventFileHeader that carries a
// search definition and a copy of the site, then EventRecords sorted by time,
// each with up to nine EventContacts. Also the kinds of events, their
// categories and the phenomenon groups of satellite phenomena.
#pragma once
#include <cstddef>
#include <cstdint>

#include "astro/location.h"
#include "ephem/bodyrecord.h"
#include "visibility/criteria.h"

// Definition kinds of a header (byte 9).
const int kDefinitionPhenomena = 0;
const int kDefinitionPair = 1;
const int kDefinitionSatelliteElongations = 6;
const int kDefinitionSatellitePhenomena = 7;
const int kDefinitionCalendar = 10;  // the calendar event file "<site>CE.bin"

// Pair kinds of a pair definition (byte 10).
const int kPairSolarEclipse = 2;
const int kPairLunarEclipse = 3;
const int kPairOccultations = 4;
const int kPairCloseApproach = 5;

// Period units (byte 1421).
const int kPeriodYears = 0;
const int kPeriodMonths = 1;
const int kPeriodWeeks = 2;
const int kPeriodDays = 3;

// Separation units (offset 661830).
const int kSeparationDegrees = 0;
const int kSeparationArcminutes = 1;
const int kSeparationArcseconds = 2;

// Purge modes (byte 661847).
const int kPurgePastNow = 0;
const int kPurgeMonthly = 1;
const int kPurgeHalfDay = 2;
const int kPurgeAfterWeek = 3;
const int kPurgeNever = 4;

// Event kinds (record byte 0).
const int kEventPhenomenon = 0;
const int kEventSolarEclipse = 2;
const int kEventLunarEclipse = 3;
const int kEventOccultation = 4;
const int kEventCloseApproach = 5;
const int kEventSatelliteElongation = 6;
const int kEventSatellitePhenomenon = 7;
const int kEventTransit = 8;
const int kEventRedSpotTransit = 9;
const int kEventCustom = 11;

// Contact codes of kind-0 phenomena.
const int kCodeSuperiorConjunction = 0;
const int kCodeInferiorConjunction = 1;
const int kCodeConjunctionWithSun = 2;
const int kCodeOpposition = 3;
const int kCodeWesternElongation = 4;
const int kCodeEasternElongation = 5;
const int kCodeUnusedPhenomenon = 6;  // never produced; shown as a generic phenomenon
const int kCodeNewMoon = 7;
const int kCodeFirstQuarter = 9;
const int kCodeFullMoon = 11;
const int kCodeLastQuarter = 13;
const int kCodeShowerPeak = 100;

// Contact codes of eclipses, occultations, transits and Red Spot transits.
const int kContactClosest = 0;
const int kContactMidEclipse = 1;
const int kContactMidOccultation = 2;
const int kContactMidTransit = 3;
const int kContactFirst = 4;
const int kContactEntry = 12;
const int kContactExit = 13;
const int kContactFirstVisible = 14;
const int kContactLastVisible = 15;

// Object classes the event code names.
const int kEventClassFixedPoint = 0;
const int kEventClassSolarSystem = 2;
const int kEventClassComet = 3;
const int kEventClassMinorPlanet = 4;
const int kEventClassSkyMark = 15;
const int kEventClassUserComet = 13;
const int kEventClassUserMinorPlanet = 14;

// Class-2 catalogue indexes are the body types of ephem/bodyrecord.h.
const int kEventMaxBodies = 100;
const int kEventMaxContacts = 9;
// Written at offset 0 of a new header (the suite leaves it to chance).
const int16_t kEventFileMagic = static_cast<int16_t>(55555 - 65536);  // bytes 03 D9
const uint8_t kEventFileVersionMajor = 3;
const uint8_t kEventFileVersionMinor = 1;
const char kEventFileVersionTag = 'f';

// Two events within this many days may be the same event (45 seconds).
const double kEventDuplicateWindowDays = 0.00052083333333;

#pragma pack(push, 1)

struct EventBodyEntry {
    int32_t objectClass;
    int32_t index;
    int32_t satellite;
};

struct EventFileHeader {
    int16_t magic;                       // 0
    uint8_t versionMajor;                // 2 3
    uint8_t versionMinor;                // 3 1
    char versionTag;                     // 4 'f'
    int32_t count;                       // 5 records that follow
    uint8_t definitionKind;              // 9
    uint8_t pairKind;                    // 10
    int32_t body1Index;                  // 11
    int32_t body2Index;                  // 15
    int32_t body1Class;                  // 19
    int32_t body2Class;                  // 23
    int32_t body1Satellite;              // 27
    int32_t body2Satellite;              // 31
    EventBodyEntry bodies[kEventMaxBodies];  // 35
    int32_t bodyCount;                   // 1235
    LocationRecord site;                 // 1239
    double start;                        // 1405 Julian date (UT)
    double period;                       // 1413
    uint8_t periodUnit;                  // 1421
    VisibilityCriteria criteria[4];      // 1422
    double separationLimit;              // 661822
    int32_t separationUnit;              // 661830
    double minorPlanetMagnitude;         // 661834
    uint8_t unused1[5];                  // 661842
    uint8_t purgeMode;                   // 661847
    uint8_t unused2[4];                  // 661848
    int32_t lastPurgeMonth;              // 661852
    uint32_t finderFlags;                // 661856
    int32_t satelliteMask;               // 661860
    int32_t phenomenonKinds;             // 661864
};

struct EventContact {
    int32_t code;         // 0  -1 when not in use
    double time;          // 4  Julian date (UT)
    double separation;    // 12 rad; apparent diameter for planet phenomena
    double darkness;      // 20 0..1
    double altitude;      // 28 rad; magnitude for planet phenomena
    uint16_t hourScore;   // 36 low byte altitude score, high byte darkness x 255
    uint8_t visible;      // 38
};

struct EventRecord {
    uint8_t kind;            // 0
    int32_t body1Index;      // 1
    int32_t body2Index;      // 5
    int32_t body1Class;      // 9
    int32_t body2Class;      // 13
    int32_t body1Satellite;  // 17
    int32_t body2Satellite;  // 21
    int32_t body2InFront;    // 25 kinds 4 and 8
    double time;             // 29 Julian date (UT), the sort key
    int32_t contactCount;    // 37
    int32_t sortColumn;      // 41
    EventContact contacts[kEventMaxContacts];  // 45
};

#pragma pack(pop)

static_assert(sizeof(EventBodyEntry) == 12, "body-list entry is 12 bytes");
static_assert(sizeof(EventFileHeader) == 661868, "EventFileHeader is 661,868 bytes");
static_assert(offsetof(EventFileHeader, count) == 5, "layout");
static_assert(offsetof(EventFileHeader, bodies) == 35, "layout");
static_assert(offsetof(EventFileHeader, bodyCount) == 1235, "layout");
static_assert(offsetof(EventFileHeader, site) == 1239, "layout");
static_assert(offsetof(EventFileHeader, start) == 1405, "layout");
static_assert(offsetof(EventFileHeader, periodUnit) == 1421, "layout");
static_assert(offsetof(EventFileHeader, criteria) == 1422, "layout");
static_assert(offsetof(EventFileHeader, separationLimit) == 661822, "layout");
static_assert(offsetof(EventFileHeader, purgeMode) == 661847, "layout");
static_assert(offsetof(EventFileHeader, lastPurgeMonth) == 661852, "layout");
static_assert(offsetof(EventFileHeader, finderFlags) == 661856, "layout");
static_assert(offsetof(EventFileHeader, phenomenonKinds) == 661864, "layout");
static_assert(sizeof(EventContact) == 39, "EventContact is 39 bytes");
static_assert(sizeof(EventRecord) == 396, "EventRecord is 396 bytes");
static_assert(offsetof(EventRecord, time) == 29, "layout");
static_assert(offsetof(EventRecord, contacts) == 45, "layout");

const int64_t kEventHeaderSize = static_cast<int64_t>(sizeof(EventFileHeader));
const int64_t kEventRecordSize = static_cast<int64_t>(sizeof(EventRecord));

// A zeroed header with the version bytes set (heap: 661,868 bytes never go on
// the stack).
EventFileHeader *NewEventFileHeader();
// A zeroed record with every contact marked unused (code -1).
void ClearEventRecord(EventRecord *record);

// Category of an event (used to delete one kind of event and to group lists):
// 0 close approach, 1 occultation, 2 transit, 3 satellite elongation, 4 solar
// eclipse, 5 lunar eclipse, 6 planet phenomenon, 7 Moon phase, 8 meteor-shower
// peak, 9 satellite phenomenon; -1 none. Kind-0 codes below 6 are planet
// phenomena, 6-99 Moon phases (the unused code 6 included), 100 and above
// shower peaks.
int GetEventCategory(const EventRecord *record);
// Group of a satellite-phenomenon code: 1-3 transit 0, 4-6 shadow transit 1,
// 7-9 occultation 2, 10-12 eclipse 3, other codes 0.
int GetPhenomenonGroup(int code);
