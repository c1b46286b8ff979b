// Fuzz target: the NMEA 0183 reader fed a receiver's byte stream as a damaged
// or hostile serial line could carry it, in pieces of the sizes the input
// chooses, then each sentence parser given the bytes as one sentence's data.
//
// Input: a control byte (bits 0-3: the piece size less one), then the bytes.
// Afterwards the reader's buffers must hold terminated texts within their
// sizes and every parsed text field must be terminated.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzzscratch.h"
#include "sites/nmea.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "nmea check failed: %s\n", what);
        std::abort();
    }
}

void CheckState(const GpsState &s) {
    Check(s.reader.length < kNmeaDataSize, "reader length within its buffer");
    Check(s.reader.state >= kNmeaWaitDollar && s.reader.state <= kNmeaChecksumLow, "reader state known");
    fuzz::TerminatedLength(s.reader.address, sizeof s.reader.address, "address");
    fuzz::TerminatedLength(s.originWaypoint, sizeof s.originWaypoint, "origin waypoint");
    fuzz::TerminatedLength(s.destinationWaypoint, sizeof s.destinationWaypoint, "destination waypoint");
    for (int prn = -2; prn < 260; ++prn) IsSatelliteUsed(&s, prn);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    int piece = (data[0] & 15) + 1;
    ++data;
    --size;
    GpsState *state = new GpsState;
    std::memset(state, 0, sizeof *state);
    InitGpsState(state);
    for (size_t at = 0; at < size; at += (size_t)piece) {
        int n = (int)(size - at < (size_t)piece ? size - at : (size_t)piece);
        FeedNmeaBytes(state, data + at, n);
    }
    CheckState(*state);
    // The same bytes as the data of each sentence kind.
    std::string text(reinterpret_cast<const char *>(data), size);
    text.resize(std::strlen(text.c_str()));
    if (text.size() >= (size_t)kNmeaDataSize) text.resize(kNmeaDataSize - 1);
    static const char *const kinds[] = {"GPGGA", "GPGSA", "GPGSV", "GPRMB", "GPRMC", "GPZDA", "GNGSV", "XXABC"};
    for (const char *kind : kinds) DispatchNmeaSentence(state, kind, text.c_str());
    char field[kNmeaFieldSize];
    for (int i = 0; i < 30; ++i)
        if (GetNmeaField(state, text.c_str(), field, i, sizeof field)) fuzz::TerminatedLength(field, sizeof field, "field");
    CheckState(*state);
    delete state;
    return 0;
}
