// NMEA 0183 sentence reader of a GPS receiver: a byte-at-a-time state machine
// that checks each sentence's checksum (exclusive-or of the characters between
// "$" and "*") and parses the GGA, GSA, GSV, RMB, RMC and ZDA sentences of any
// talker (GP, GN, GL, GA, GB ...) into one GpsState. No I/O: the serial port
// and the dialog feed it bytes.
#pragma once

#include <cstdint>

// Reader states.
enum NmeaReaderState : int32_t {
    kNmeaWaitDollar = 0,
    kNmeaAddress = 1,
    kNmeaData = 2,
    kNmeaChecksumHigh = 3,
    kNmeaChecksumLow = 4,
};

const int kNmeaAddressSize = 8;    // at most 7 characters and the NUL
const int kNmeaDataSize = 256;     // at most 255 characters and the NUL
const int kNmeaFieldSize = 25;     // every parser reads fields of at most 24 characters
const int kGpsFixSatellites = 12;  // PRNs of a GSA sentence
const int kGpsSatelliteTable = 36; // GSV entries: 9 messages of 4

struct NmeaReader {
    int32_t state;
    uint8_t checksum;          // running exclusive-or
    uint8_t receivedChecksum;  // value of the two hex digits
    uint16_t length;           // characters in the current buffer
    char address[kNmeaAddressSize];
    char data[kNmeaDataSize];
};

struct GpsSatellite {
    int16_t prn;
    int16_t snr;    // dB-Hz
    int32_t used;   // 1 when one of the last GSA sentence's PRNs
    int16_t azimuth;
    int16_t elevation;
};

struct GpsState {
    NmeaReader reader;
    int32_t sentenceCount;

    // GGA
    uint8_t ggaTime[3];        // hours, minutes, whole seconds (UTC)
    double ggaSeconds;         // seconds with fraction
    double latitude;           // degrees, north positive
    double longitude;          // degrees, east positive
    uint8_t fixQuality;        // 0 invalid, 1 GPS SPS, 2 differential, 3 PPS
    uint8_t satellitesUsed;
    double hdop;
    double altitude;           // metres above mean sea level
    int32_t ggaCount;
    int32_t previousGgaTime;   // minutes * 60 + seconds
    double previousAltitude;
    double verticalRate;       // metres per minute

    // GSA
    char gsaMode;              // 'M' manual, 'A' automatic
    uint8_t fixType;           // 1 none, 2 two-dimensional, 3 three-dimensional
    int16_t fixSatellites[kGpsFixSatellites];
    double pdop, gsaHdop, vdop;
    int32_t gsaCount;

    // GSV
    uint16_t satellitesInView;
    GpsSatellite satellites[kGpsSatelliteTable];
    int32_t gsvCount;

    // RMB
    char rmbStatus;
    double crossTrackError;
    char steerDirection;       // 'L', 'R' or '?'
    char originWaypoint[32];
    char destinationWaypoint[32];
    double destinationLatitude, destinationLongitude;
    double range, bearing, closingVelocity;
    char arrivalStatus;
    int32_t rmbCount;

    // RMC
    uint8_t rmcTime[3];
    char rmcStatus;            // 'A' valid, 'V' warning
    double rmcLatitude, rmcLongitude;
    double speed;              // knots
    double course;             // degrees
    uint8_t rmcDay, rmcMonth;
    int16_t rmcYear;           // 2000 + two-digit year
    double magneticVariation;  // degrees, west negative
    int32_t rmcCount;

    // ZDA
    uint8_t zdaTime[3];
    uint8_t zdaDay, zdaMonth;
    int16_t zdaYear;
    int8_t zoneHours, zoneMinutes;
    int32_t zdaCount;
};

// Clears every parsed value (not the reader nor the sentence count) and sets
// the defaults: GSA mode 'M', fix type 1, RMB/arrival/RMC status 'V', steer
// '?', RMC and ZDA dates 1 January 2000.
void InitGpsState(GpsState *state);
// Feeds count bytes in order; 1.
int FeedNmeaBytes(GpsState *state, const uint8_t *buffer, int count);
void FeedNmeaByte(GpsState *state, uint8_t byte);
// Selects the parser by the last three letters of the address (any talker);
// other sentences, and those with fewer fields than their format, are counted
// and ignored. 1.
int DispatchNmeaSentence(GpsState *state, const char *address, const char *data);
// Field index of data (field 0 before the first comma), at most size - 1
// characters: 1 with the field, 0 with an empty text when it is empty or absent.
int GetNmeaField(GpsState *state, const char *data, char *field, int index, int size);
void ParseGgaSentence(GpsState *state, const char *data);
void ParseGsaSentence(GpsState *state, const char *data);
void ParseGsvSentence(GpsState *state, const char *data);
void ParseRmbSentence(GpsState *state, const char *data);
void ParseRmcSentence(GpsState *state, const char *data);
void ParseZdaSentence(GpsState *state, const char *data);
// 1 when prn (not 0) is one of the twelve of the last GSA sentence.
int IsSatelliteUsed(const GpsState *state, int prn);
