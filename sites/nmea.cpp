// NMEA 0183 reader and sentence parsers (see nmea.h). Field layouts follow the
// NMEA 0183 standard's GGA, GSA, GSV, RMB, RMC and ZDA sentences.
#include "sites/nmea.h"

#include <cstdlib>
#include <cstring>

namespace {

// Value of one checksum digit: "0"-"9" as 0-9, anything else as code - 55
// ("A"-"F" as 10-15), so lower-case digits never match.
int ChecksumDigit(uint8_t c) {
    int d = c - '0';
    if (d >= 0 && d <= 9) return d;
    return c - 55;
}

long TwoDigits(const char *text) {
    char pair[3] = {0, 0, 0};
    pair[0] = text[0];
    if (text[0]) pair[1] = text[1];
    return std::atol(pair);
}

// A latitude ("ddmm.mmm", degreeDigits 2) or longitude ("dddmm.mmm", 3) in
// degrees.
double ParseAngleField(const char *text, int degreeDigits) {
    char degrees[4] = {0, 0, 0, 0};
    int n = 0;
    while (n < degreeDigits && text[n]) {
        degrees[n] = text[n];
        ++n;
    }
    double minutes = n == degreeDigits ? std::strtod(text + n, nullptr) : 0.0;
    return std::atol(degrees) + minutes / 60.0;
}

// Reads the angle at field index and its hemisphere at index + 1 into *value;
// an empty angle field leaves it unchanged.
void ReadAngle(GpsState *s, const char *data, int index, int degreeDigits, char negative,
               double *value) {
    char field[kNmeaFieldSize];
    if (!GetNmeaField(s, data, field, index, sizeof field)) return;
    double v = ParseAngleField(field, degreeDigits);
    char hemisphere[kNmeaFieldSize];
    if (GetNmeaField(s, data, hemisphere, index + 1, sizeof hemisphere) && hemisphere[0] == negative)
        v = -v;
    *value = v;
}

void ReadTime(GpsState *s, const char *data, int index, uint8_t time[3], double *seconds) {
    char field[kNmeaFieldSize];
    if (!GetNmeaField(s, data, field, index, sizeof field)) return;
    if (std::strlen(field) < 6) return;  // hhmmss at least
    time[0] = static_cast<uint8_t>(TwoDigits(field));
    time[1] = static_cast<uint8_t>(TwoDigits(field + 2));
    time[2] = static_cast<uint8_t>(TwoDigits(field + 4));
    if (seconds) *seconds = std::strtod(field + 4, nullptr);
}

// Decimal field, or fallback when empty.
double DecimalOr(GpsState *s, const char *data, int index, double fallback) {
    char field[kNmeaFieldSize];
    if (!GetNmeaField(s, data, field, index, sizeof field)) return fallback;
    return std::strtod(field, nullptr);
}

long IntegerOr(GpsState *s, const char *data, int index, long fallback) {
    char field[kNmeaFieldSize];
    if (!GetNmeaField(s, data, field, index, sizeof field)) return fallback;
    return std::atol(field);
}

char CharOr(GpsState *s, const char *data, int index, char fallback) {
    char field[kNmeaFieldSize];
    if (!GetNmeaField(s, data, field, index, sizeof field)) return fallback;
    return field[0];
}

// Fields of the data (commas + 1), not counting a checksum.
int CountFields(const char *data) {
    int n = 1;
    for (const char *p = data; *p && *p != '*'; ++p)
        if (*p == ',') ++n;
    return n;
}

}  // namespace

void InitGpsState(GpsState *state) {
    NmeaReader reader = state->reader;
    int32_t count = state->sentenceCount;
    std::memset(state, 0, sizeof *state);
    state->reader = reader;
    state->sentenceCount = count;
    state->gsaMode = 'M';
    state->fixType = 1;
    state->rmbStatus = 'V';
    state->steerDirection = '?';
    state->arrivalStatus = 'V';
    state->rmcStatus = 'V';
    state->rmcDay = state->rmcMonth = 1;
    state->rmcYear = 2000;
    state->zdaDay = state->zdaMonth = 1;
    state->zdaYear = 2000;
}

int FeedNmeaBytes(GpsState *state, const uint8_t *buffer, int count) {
    for (int i = 0; i < count; ++i) FeedNmeaByte(state, buffer[i]);
    return 1;
}

void FeedNmeaByte(GpsState *state, uint8_t c) {
    NmeaReader &r = state->reader;
    // A "$" always begins a sentence: a truncated one before it is dropped
    // rather than swallowing the next, so the reader resynchronises at once.
    if (c == '$') {
        r.state = kNmeaAddress;
        r.checksum = 0;
        r.length = 0;
        r.address[0] = 0;
        r.data[0] = 0;
        return;
    }
    switch (r.state) {
    case kNmeaAddress:
        if (c == ',' || c == '*') {
            r.address[r.length] = 0;
            r.length = 0;
            r.data[0] = 0;
            if (c == ',') {
                r.checksum ^= c;
                r.state = kNmeaData;
            } else {
                r.state = kNmeaChecksumHigh;
            }
        } else if (c == '\r' || c == '\n' || r.length + 1 >= kNmeaAddressSize) {
            r.state = kNmeaWaitDollar;  // line end in the address, or an address of 8 or more
        } else {
            r.checksum ^= c;
            r.address[r.length++] = static_cast<char>(c);
        }
        break;
    case kNmeaData:
        if (c == '*') {
            r.data[r.length] = 0;
            r.state = kNmeaChecksumHigh;
        } else if (c == '\r') {
            // No checksum: dispatched as it stands.
            r.data[r.length] = 0;
            r.state = kNmeaWaitDollar;
            DispatchNmeaSentence(state, r.address, r.data);
        } else if (c == '\n' || r.length + 1 >= kNmeaDataSize) {
            r.state = kNmeaWaitDollar;  // cut line, or data of 256 or more
        } else {
            r.checksum ^= c;
            r.data[r.length++] = static_cast<char>(c);
        }
        break;
    case kNmeaChecksumHigh:
        r.receivedChecksum = static_cast<uint8_t>(ChecksumDigit(c) * 16);
        r.state = kNmeaChecksumLow;
        break;
    case kNmeaChecksumLow:
        r.receivedChecksum = static_cast<uint8_t>(r.receivedChecksum + ChecksumDigit(c));
        r.state = kNmeaWaitDollar;
        if (r.receivedChecksum == r.checksum) DispatchNmeaSentence(state, r.address, r.data);
        break;
    default:
        r.state = kNmeaWaitDollar;
        break;
    }
}

int DispatchNmeaSentence(GpsState *state, const char *address, const char *data) {
    ++state->sentenceCount;
    // Talker id (two letters) then the sentence formatter; proprietary
    // sentences ("P" + maker) are not parsed.
    size_t n = std::strlen(address);
    if (n != 5 || address[0] == 'P') return 1;
    const char *kind = address + 2;
    // A sentence with fewer fields than its format has was cut short; one
    // without a checksum is otherwise taken at its carriage return, so the
    // count is what keeps a half-received position out.
    static const struct {
        const char *kind;
        int fields;
        void (*parse)(GpsState *, const char *);
    } kParsers[] = {
        {"GGA", 14, ParseGgaSentence}, {"GSA", 17, ParseGsaSentence}, {"GSV", 3, ParseGsvSentence},
        {"RMB", 13, ParseRmbSentence}, {"RMC", 11, ParseRmcSentence}, {"ZDA", 6, ParseZdaSentence},
    };
    for (const auto &p : kParsers) {
        if (std::strcmp(kind, p.kind)) continue;
        if (CountFields(data) >= p.fields) p.parse(state, data);
        break;
    }
    return 1;
}

int GetNmeaField(GpsState *, const char *data, char *field, int index, int size) {
    if (size <= 0) return 0;
    field[0] = 0;
    const char *p = data;
    for (int commas = 0; commas < index; ++commas) {
        p = std::strchr(p, ',');
        if (!p) return 0;
        ++p;
    }
    int n = 0;
    while (p[n] && p[n] != ',' && p[n] != '*' && n < size - 1) {
        field[n] = p[n];
        ++n;
    }
    field[n] = 0;
    return n > 0 ? 1 : 0;
}

void ParseGgaSentence(GpsState *s, const char *data) {
    ReadTime(s, data, 0, s->ggaTime, &s->ggaSeconds);
    ReadAngle(s, data, 1, 2, 'S', &s->latitude);
    ReadAngle(s, data, 3, 3, 'W', &s->longitude);
    char field[kNmeaFieldSize];
    if (GetNmeaField(s, data, field, 5, sizeof field)) s->fixQuality = static_cast<uint8_t>(field[0] - '0');
    if (GetNmeaField(s, data, field, 6, sizeof field)) s->satellitesUsed = static_cast<uint8_t>(TwoDigits(field));
    s->hdop = DecimalOr(s, data, 7, s->hdop);
    s->altitude = DecimalOr(s, data, 8, s->altitude);

    int32_t t = s->ggaTime[1] * 60 + s->ggaTime[2];
    // The first GGA has no predecessor to take a rate from.
    if (s->ggaCount > 0 && t > s->previousGgaTime) {
        double d = (s->previousGgaTime - t) / 60.0;
        if (d != 0) s->verticalRate = (s->previousAltitude - s->altitude) / d;
    }
    s->previousAltitude = s->altitude;
    s->previousGgaTime = t;
    ++s->ggaCount;
}

void ParseGsaSentence(GpsState *s, const char *data) {
    char field[kNmeaFieldSize];
    if (GetNmeaField(s, data, field, 0, sizeof field)) s->gsaMode = field[0];
    if (GetNmeaField(s, data, field, 1, sizeof field)) s->fixType = static_cast<uint8_t>(field[0] - '0');
    // The whole number: PRNs above 99 (BeiDou, SBAS) have three digits.
    for (int i = 0; i < kGpsFixSatellites; ++i)
        s->fixSatellites[i] = static_cast<int16_t>(IntegerOr(s, data, 2 + i, 0));
    s->pdop = DecimalOr(s, data, 14, 0.0);
    s->gsaHdop = DecimalOr(s, data, 15, 0.0);
    s->vdop = DecimalOr(s, data, 16, 0.0);
    ++s->gsaCount;
}

void ParseGsvSentence(GpsState *s, const char *data) {
    char field[kNmeaFieldSize];
    if (!GetNmeaField(s, data, field, 0, sizeof field)) return;
    long messages = std::atol(field);
    if (!GetNmeaField(s, data, field, 1, sizeof field)) return;
    long message = std::atol(field);
    if (messages < 0 || messages > 9 || message < 0 || message > 9) return;
    if (messages < 1 || messages > 8 || message < 1) return;
    if (GetNmeaField(s, data, field, 2, sizeof field)) s->satellitesInView = static_cast<uint16_t>(std::atol(field));
    for (int i = 0; i < 4; ++i) {
        int entry = 4 * static_cast<int>(message - 1) + i;
        if (entry >= kGpsSatelliteTable) break;
        GpsSatellite &sat = s->satellites[entry];
        sat.prn = static_cast<int16_t>(IntegerOr(s, data, 3 + 4 * i, 0));
        sat.elevation = static_cast<int16_t>(IntegerOr(s, data, 4 + 4 * i, 0));
        sat.azimuth = static_cast<int16_t>(IntegerOr(s, data, 5 + 4 * i, 0));
        sat.snr = static_cast<int16_t>(IntegerOr(s, data, 6 + 4 * i, 0));
        sat.used = IsSatelliteUsed(s, sat.prn);
    }
    ++s->gsvCount;
}

void ParseRmbSentence(GpsState *s, const char *data) {
    s->rmbStatus = CharOr(s, data, 0, 'V');
    s->crossTrackError = DecimalOr(s, data, 1, 0.0);
    s->steerDirection = CharOr(s, data, 2, '?');
    GetNmeaField(s, data, s->originWaypoint, 3, sizeof s->originWaypoint);
    GetNmeaField(s, data, s->destinationWaypoint, 4, sizeof s->destinationWaypoint);
    ReadAngle(s, data, 5, 2, 'S', &s->destinationLatitude);
    ReadAngle(s, data, 7, 3, 'W', &s->destinationLongitude);
    s->range = DecimalOr(s, data, 9, 0.0);
    s->bearing = DecimalOr(s, data, 10, 0.0);
    s->closingVelocity = DecimalOr(s, data, 11, 0.0);
    s->arrivalStatus = CharOr(s, data, 12, 'V');
    ++s->rmbCount;
}

void ParseRmcSentence(GpsState *s, const char *data) {
    ReadTime(s, data, 0, s->rmcTime, nullptr);
    s->rmcStatus = CharOr(s, data, 1, 'V');
    ReadAngle(s, data, 2, 2, 'S', &s->rmcLatitude);
    ReadAngle(s, data, 4, 3, 'W', &s->rmcLongitude);
    s->speed = DecimalOr(s, data, 6, 0.0);
    s->course = DecimalOr(s, data, 7, 0.0);
    char field[kNmeaFieldSize];
    if (GetNmeaField(s, data, field, 8, sizeof field) && std::strlen(field) >= 6) {
        s->rmcDay = static_cast<uint8_t>(TwoDigits(field));
        s->rmcMonth = static_cast<uint8_t>(TwoDigits(field + 2));
        s->rmcYear = static_cast<int16_t>(2000 + TwoDigits(field + 4));
    }
    double variation = DecimalOr(s, data, 9, 0.0);
    if (CharOr(s, data, 10, 0) == 'W') variation = -variation;
    s->magneticVariation = variation;
    ++s->rmcCount;
}

void ParseZdaSentence(GpsState *s, const char *data) {
    ReadTime(s, data, 0, s->zdaTime, nullptr);
    s->zdaDay = static_cast<uint8_t>(IntegerOr(s, data, 1, 1));
    s->zdaMonth = static_cast<uint8_t>(IntegerOr(s, data, 2, 1));
    s->zdaYear = static_cast<int16_t>(IntegerOr(s, data, 3, 1));
    s->zoneHours = static_cast<int8_t>(IntegerOr(s, data, 4, 0));
    s->zoneMinutes = static_cast<int8_t>(IntegerOr(s, data, 5, 0));
    ++s->zdaCount;
}

int IsSatelliteUsed(const GpsState *state, int prn) {
    if (prn == 0) return 0;
    for (int i = 0; i < kGpsFixSatellites; ++i)
        if (state->fixSatellites[i] == prn) return 1;
    return 0;
}
