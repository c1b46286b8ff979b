// Builders of the constellation, reference-point and user classes.
#include "objects/builders.h"

#include <algorithm>
#include <cstdio>

#include "core/mathutil.h"
#include "minorbodies/usercatalogs.h"
#include "objects/buildrecord.h"
#include "objects/constellations.h"
#include "objects/objectrecord.h"
#include "objects/refpoints.h"

namespace {

const double kTwoPi = 2.0 * kPi;

// Common tail of the fixed classes without a catalogue magnitude.
void FinishFixedRecord(const LocationRecord *site, const DateRecord *date, double extinction,
                       ObjectRecord *r) {
    r->magnitude2 = kRecordNoMagnitude;
    r->colourIndex = 99.0f;
    r->distanceLightYears = 0.0f;
    r->properMotionRa = 0.0f;
    r->properMotionDec = 0.0f;
    if (site && date) {
        ComputeApparentPlace(site, date, extinction, 0.0, r);
        ComputeAstrometricPlace(site, date, 0.0, r);
    }
}

}  // namespace

void FillConstellationRecord(const LocationRecord *site, const DateRecord *date, double extinction,
                             ObjectRecord *record, double westRa, double eastRa, double southDec,
                             double northDec) {
    if (!record) return;
    // The box runs eastwards from its west edge; measuring that span (not the
    // shorter of the two arcs) keeps boxes wider than 12 h, the polar
    // constellations, centred inside themselves.
    double span = ReduceModuloPositive(eastRa - westRa, kTwoPi);
    record->raCatalogue = ReduceModuloPositive(westRa + span / 2, kTwoPi);
    if (record->raCatalogue >= kTwoPi) record->raCatalogue = 0.0;
    double middle = (southDec + northDec) / 2;
    record->decCatalogue = middle;
    double north = AngularSeparation(westRa, northDec, eastRa, northDec);
    double centre = AngularSeparation(westRa, middle, eastRa, middle);
    double south = AngularSeparation(westRa, southDec, eastRa, southDec);
    double major = std::max(north, std::max(centre, south));
    double minor = AngularSeparation(westRa, northDec, eastRa, southDec);
    record->sizeMajor = static_cast<float>(major);
    record->sizeMinor = static_cast<float>(minor);
    record->extent = static_cast<float>(std::max(major, minor));
    record->magnitude = 0.0f;
    FinishFixedRecord(site, date, extinction, record);
}

int BuildConstellationObject(int number, char *text, const LocationRecord *site,
                             const DateRecord *date, double extinction, ObjectRecord *out,
                             int refresh) {
    if (!out) return 0;
    int index;
    if (refresh)
        index = out->index;
    else if (number != 0)
        index = number - 1;
    else
        index = FindConstellationByName(text ? text : "");
    if (index < 0 || index >= kConstellationCount) return 0;
    FILE *f = OpenConstellationExtents();
    if (!f) return 0;
    double west = 0, east = 0, south = 0, north = 0;
    int ok = ReadConstellationExtent(f, index, &west, &east, &south, &north);
    std::fclose(f);
    if (!ok) return 0;
    out->index = index;
    FillConstellationRecord(site, date, extinction, out, west, east, south, north);
    return 1;
}

int BuildReferencePointObject(int number, char *text, const LocationRecord *site,
                              const DateRecord *date, double extinction, ObjectRecord *out,
                              int refresh) {
    (void)number;
    if (!out) return 0;
    int index = refresh ? out->index : FindReferencePoint(text);
    if (index <= 0) return 0;
    double ra = 0, dec = 0;
    if (!ReferencePointInfo(site, date, index, nullptr, nullptr, &ra, &dec)) return 0;
    out->index = index;
    out->raCatalogue = ra;
    out->decCatalogue = dec;
    out->magnitude = kRecordNoMagnitude;
    out->sizeMajor = 0.0f;
    out->sizeMinor = 0.0f;
    out->extent = 0.0f;
    FinishFixedRecord(site, date, extinction, out);
    return 1;
}

namespace {

// The category bits of every deep-sky type together, for a user deep-sky
// object whose type code names none of them.
const uint32_t kUserDeepSkyAnyCategory = 0x33f00;

// The id of a user object: the stored index on a refresh, the number, else
// the record found by name (the id is the record's first field).
template <typename Record>
int32_t UserObjectId(int number, const char *text, const ObjectRecord *out, int refresh, FILE *file,
                     int (*find)(FILE *, const char *, Record *)) {
    if (refresh) return out->index;
    if (number > 0) return number;
    Record r;
    if (!text || !text[0] || find(file, text, &r) <= 0) return 0;
    return r.id;
}

struct UserFile {
    FILE *f;
    explicit UserFile(FILE *file) : f(file) {}
    ~UserFile() {
        if (f) std::fclose(f);
    }
    UserFile(const UserFile &) = delete;
    UserFile &operator=(const UserFile &) = delete;
};

}  // namespace

int BuildUserStarObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                        double extinction, ObjectRecord *out, int refresh) {
    if (!out) return 0;
    if (!refresh && number <= 0 && !UserStarStoreMayHoldName(text)) return 0;
    UserFile file(OpenUserStarFile(nullptr));
    if (!file.f) return 0;
    int32_t id = UserObjectId<UserStarRecord>(number, text, out, refresh, file.f, FindUserStarByName);
    double ra = 0, dec = 0, magnitude = 0;
    if (id <= 0 || !GetUserStarData(file.f, id, nullptr, &ra, &dec, &magnitude)) return 0;
    out->index = id;
    SetFixedObjectPlace(site, date, extinction, 0.0, out, ra, dec, magnitude);
    return 1;
}

int BuildSkymarkObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                       double extinction, ObjectRecord *out, int refresh) {
    if (!out) return 0;
    if (!refresh && number <= 0 && !SkyMarkStoreMayHoldName(text)) return 0;
    UserFile file(OpenSkyMarkFile(nullptr));
    if (!file.f) return 0;
    int32_t id = UserObjectId<SkyMarkRecord>(number, text, out, refresh, file.f, FindSkyMarkByName);
    double ra = 0, dec = 0;
    if (id <= 0 || !GetSkyMarkData(file.f, id, nullptr, &ra, &dec)) return 0;
    out->index = id;
    SetFixedObjectPlace(site, date, extinction, 0.0, out, ra, dec, kRecordNoMagnitude);
    return 1;
}

int BuildUserDeepSkyObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                           double extinction, ObjectRecord *out, int refresh) {
    if (!out) return 0;
    if (!refresh && number <= 0 && !UserDeepSkyStoreMayHoldName(text)) return 0;
    UserFile file(OpenUserDeepSkyFile(nullptr));
    if (!file.f) return 0;
    int32_t id = UserObjectId<UserDeepSkyRecord>(number, text, out, refresh, file.f, FindUserDeepSkyByName);
    UserDeepSkyRecord r;
    double ra = 0, dec = 0, magnitude = 0, size1 = 0, size2 = 0, angle = 0;
    if (id <= 0 || !GetUserDeepSkyData(file.f, id, &r, nullptr, &ra, &dec, &magnitude, &size1, &size2, &angle))
        return 0;
    out->index = id;
    const double arcminute = kPi / 10800.0;
    out->raCatalogue = ra;
    out->decCatalogue = dec;
    out->sizeMajor = static_cast<float>(size1 * arcminute);
    out->sizeMinor = static_cast<float>(size2 * arcminute);
    out->extent = static_cast<float>(std::max(size1, size2) * arcminute);
    out->magnitude = magnitude == 0.0 ? kRecordNoMagnitude : static_cast<float>(magnitude);
    FinishFixedRecord(site, date, extinction, out);
    uint32_t bits = GetUserDeepSkyCategoryBits(r.typeCode);
    out->categoryBits = bits ? bits : kUserDeepSkyAnyCategory;
    return 1;
}
