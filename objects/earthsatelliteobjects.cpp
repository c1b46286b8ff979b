// Earth satellites as objects: a name or a catalogue number selects the
// satellite in the element store, whose SGP4/SDP4 propagation gives the
// topocentric place, magnitude, range and sunlit flag of the record.
#include "objects/earthsatelliteobjects.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/datetime.h"
#include "astro/location.h"
#include "ephem/satposition.h"
#include "ephem/satstore.h"
#include "objects/builders.h"
#include "objects/conrects.h"
#include "objects/objectrecord.h"

namespace {

// The catalogue number of a name in the name index: the exact text first,
// then the text upper-cased (element sets name satellites in capitals).
uint32_t NumberOfName(const char *text) {
    char name[sizeof(EarthSatelliteRecord().name)];
    std::size_t n = std::strlen(text);
    if (n == 0 || n >= sizeof name) return 0;
    int index = -1;
    int found = FindSatelliteIndexByName(text, &index);
    if (!found) {
        for (std::size_t i = 0; i <= n; ++i)
            name[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        found = FindSatelliteIndexByName(name, &index);
    }
    if (!found) return 0;
    uint32_t count = 0;
    std::FILE *store = OpenSatelliteStore(&count);
    if (!store) return 0;
    EarthSatelliteRecord record;
    int ok = index >= 0 && static_cast<uint32_t>(index) < count &&
             ReadSatelliteRecord(store, &record, index);
    std::fclose(store);
    return ok ? record.number : 0;
}

// "25544" or "NORAD 25544": digits only after the optional word; 0 for any
// other text or a number beyond the five-digit catalogue.
uint32_t NumberOfText(const char *text) {
    const char *p = text;
    while (*p == ' ') ++p;
    static const char kWord[] = "NORAD";
    std::size_t w = sizeof kWord - 1;
    bool word = true;
    for (std::size_t i = 0; i < w; ++i)
        if (std::toupper(static_cast<unsigned char>(p[i])) != kWord[i]) word = false;
    if (word) {
        p += w;
        while (*p == ' ') ++p;
    }
    uint32_t number = 0;
    int digits = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        if (++digits > 5) return 0;
        number = number * 10 + static_cast<uint32_t>(*p - '0');
    }
    while (*p == ' ') ++p;
    return digits > 0 && *p == '\0' ? number : 0;
}

struct SatellitePlace {
    EarthSatelliteRecord satellite;
    double ra, dec, altitude, azimuth, range, magnitude;
    int inShadow;
    int16_t detail;
};

int PlaceSatellite(const LocationRecord *site, const DateRecord *date, int32_t index,
                   SatellitePlace *p) {
    if (!site || !date || index <= 0) return 0;
    if (!FindEarthSatelliteByNumber(&p->satellite, static_cast<uint32_t>(index), nullptr))
        return 0;
    // The routine leaves the detail word alone with the sky test off.
    p->detail = 0;
    p->inShadow = 0;
    int verdict = ComputeSatellitePosition(site, &p->satellite, date, &p->ra, &p->dec,
                                           &p->altitude, &p->azimuth, &p->range, &p->magnitude,
                                           &p->inShadow, &p->detail);
    return verdict != kSatelliteDecayed;
}

}  // namespace

uint32_t FindEarthSatelliteOfText(const char *text, int kind) {
    if (!text) return 0;
    uint32_t number = 0;
    if (kind == kEarthSatelliteKindName) number = NumberOfName(text);
    else if (kind == kEarthSatelliteKindNumber) number = NumberOfText(text);
    if (number == 0) return 0;
    EarthSatelliteRecord record;
    return FindEarthSatelliteByNumber(&record, number, nullptr) ? number : 0;
}

int EarthSatelliteObjectName(int32_t index, char *name) {
    if (!name) return 0;
    name[0] = '\0';
    EarthSatelliteRecord record;
    if (index <= 0 || !FindEarthSatelliteByNumber(&record, static_cast<uint32_t>(index), nullptr))
        return 0;
    record.name[sizeof record.name - 1] = '\0';
    std::memcpy(name, record.name, sizeof record.name);
    return 1;
}

int ComputeEarthSatelliteObjectPlace(const LocationRecord *site, const DateRecord *date,
                                     int32_t index, double *rightAscension, double *declination) {
    if (!rightAscension || !declination) return 0;
    SatellitePlace p;
    if (!PlaceSatellite(site, date, index, &p)) return 0;
    *rightAscension = p.ra;
    *declination = p.dec;
    return 1;
}

// The stored index on a refresh; a designation of kind 1 or 2 selects the
// satellite by name or catalogue number; any other designation finds nothing.
int BuildEarthSatelliteObject(int number, char *text, const LocationRecord *site,
                              const DateRecord *date, double, ObjectRecord *out, int refresh) {
    if (!out || !site || !date) return 0;
    int32_t index = 0;
    if (refresh) {
        index = out->index;
    } else if (out->kind == kEarthSatelliteKindName || out->kind == kEarthSatelliteKindNumber) {
        if (number > 0 && out->kind == kEarthSatelliteKindNumber)
            index = number;
        else
            index = static_cast<int32_t>(FindEarthSatelliteOfText(text, out->kind));
    }
    SatellitePlace p;
    if (!PlaceSatellite(site, date, index, &p)) return 0;
    out->index = index;
    out->raOfDate = p.ra;
    out->decOfDate = p.dec;
    out->raCatalogue = p.ra;
    out->decCatalogue = p.dec;
    out->magnitude = static_cast<float>(p.magnitude);
    out->magnitude2 = static_cast<float>(p.range);
    out->itemFlags = static_cast<uint8_t>(p.inShadow ? 0 : 1);
    out->colourIndex = 99.0f;
    out->satelliteVisibility = p.detail;
    int c = ConstellationAt(p.ra, p.dec, date->centuriesTT);
    out->constellation = static_cast<uint8_t>(c < 0 ? 255 : c);
    out->sizeMajor = 0.0f;
    out->sizeMinor = 0.0f;
    out->extent = 0.0f;
    return 1;
}
