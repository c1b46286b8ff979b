// Tests of the NMEA 0183 reader: the standard's published GGA example, the
// checksum and length rules, each sentence's empty fields, GSV table slots,
// talkers of other constellations, and resynchronisation after garbage.
// Checksums were worked out separately (exclusive-or of the body's bytes).
#include "sites/nmea.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

const char kGga[] = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

std::unique_ptr<GpsState> FreshState() {
    std::unique_ptr<GpsState> s(new GpsState());
    InitGpsState(s.get());
    return s;
}

void Feed(GpsState *s, const std::string &text) {
    FeedNmeaBytes(s, reinterpret_cast<const uint8_t *>(text.data()), static_cast<int>(text.size()));
}

TEST(NmeaReader, PublishedGgaExample) {
    auto s = FreshState();
    Feed(s.get(), kGga);
    EXPECT_EQ(1, s->sentenceCount);
    EXPECT_EQ(1, s->ggaCount);
    EXPECT_EQ(12, s->ggaTime[0]);
    EXPECT_EQ(35, s->ggaTime[1]);
    EXPECT_EQ(19, s->ggaTime[2]);
    EXPECT_NEAR(48.1173, s->latitude, 1e-9);
    EXPECT_NEAR(11.516667, s->longitude, 1e-6);
    EXPECT_EQ(1, s->fixQuality);
    EXPECT_EQ(8, s->satellitesUsed);
    EXPECT_DOUBLE_EQ(0.9, s->hdop);
    EXPECT_DOUBLE_EQ(545.4, s->altitude);
}

// Which framings of a sentence reach a parser (ggaCount 1) and which are dropped.
TEST(NmeaReader, FramingTable) {
    struct Case {
        const char *name;
        std::string text;
        int dispatched;
    } cases[] = {
        {"good checksum", kGga, 1},
        {"wrong checksum", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48\r\n", 0},
        {"upper-case hex checksum", "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,80.5,M,,*4B\r\n", 1},
        {"lower-case hex never matches",
         "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,80.5,M,,*4b\r\n", 0},
        {"no checksum, ended by CR", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\r", 1},
        {"cut short, then CR", "$GPGGA,123519,4807.0\r\n", 0},
        {"cut by LF before CR", "$GPGGA,123519,4807.038,N,01131.000,E,1,08\n", 0},
        {"truncated then a new sentence", std::string("$GPGGA,1235") + kGga, 1},
        {"address of 8 characters", "$GPGGAXYZ,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\r", 0},
        {"data of 256 characters", "$GPGGA,123519,4807.038,N" + std::string(240, ',') + "\r", 0},
    };
    for (const Case &c : cases) {
        auto s = FreshState();
        Feed(s.get(), c.text);
        EXPECT_EQ(c.dispatched, s->ggaCount) << c.name;
    }
    // Each other parsed sentence with its good checksum reaches its parser.
    auto s = FreshState();
    Feed(s.get(), "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n");
    EXPECT_EQ(1, s->rmbCount);
    Feed(s.get(), "$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*74\r\n");
    EXPECT_EQ(1, s->rmcCount);
    Feed(s.get(), "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n");
    EXPECT_EQ(1, s->gsaCount);
    Feed(s.get(), "$GPZDA,201530.00,04,07,2002,-05,00*48\r\n");
    EXPECT_EQ(1, s->zdaCount);
    Feed(s.get(), "$GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*74\r\n");
    EXPECT_EQ(1, s->gsvCount);
}

TEST(NmeaReader, LengthLimitsAtTheEdge) {
    // 7 address characters and 255 data characters are the most kept.
    auto s = FreshState();
    Feed(s.get(), "$ABCDEFG,x\r");
    EXPECT_EQ(1, s->sentenceCount);
    Feed(s.get(), "$GPGGA," + std::string(255, '1') + "\r");
    EXPECT_EQ(2, s->sentenceCount);
    Feed(s.get(), "$GPGGA," + std::string(256, '1') + "\r");
    EXPECT_EQ(2, s->sentenceCount);
}

TEST(NmeaReader, OtherTalkersAndSouthWest) {
    auto s = FreshState();
    Feed(s.get(), "$GNGGA,123520,3345.120,S,15112.300,W,2,10,1.1,12.5,M,,M,,*79\r\n");
    EXPECT_EQ(1, s->ggaCount);
    EXPECT_NEAR(-(33 + 45.12 / 60), s->latitude, 1e-9);
    EXPECT_NEAR(-(151 + 12.3 / 60), s->longitude, 1e-9);
    EXPECT_EQ(2, s->fixQuality);
    EXPECT_EQ(10, s->satellitesUsed);

    Feed(s.get(), "$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*74\r\n");
    EXPECT_EQ('A', s->rmcStatus);
    EXPECT_NEAR(48.1173, s->rmcLatitude, 1e-9);
    EXPECT_DOUBLE_EQ(22.4, s->speed);
    EXPECT_DOUBLE_EQ(84.4, s->course);
    EXPECT_EQ(23, s->rmcDay);
    EXPECT_EQ(3, s->rmcMonth);
    EXPECT_EQ(2094, s->rmcYear);  // 2000 + yy
    EXPECT_DOUBLE_EQ(-3.1, s->magneticVariation);

    Feed(s.get(), "$GLGSV,1,1,02,65,10,020,30,66,20,040,*62\r\n");
    EXPECT_EQ(1, s->gsvCount);
    EXPECT_EQ(65, s->satellites[0].prn);
    EXPECT_EQ(66, s->satellites[1].prn);
    EXPECT_EQ(0, s->satellites[1].snr);
}

TEST(NmeaReader, EmptyFieldsPerSentence) {
    auto s = FreshState();
    Feed(s.get(), kGga);
    Feed(s.get(), "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W\r");
    Feed(s.get(), "$GPZDA,201530.00,04,07,2002,-05,00*48\r\n");
    EXPECT_EQ(-5, s->zoneHours);
    EXPECT_EQ(2002, s->zdaYear);

    Feed(s.get(), "$GPGGA,,,,,,,,,,,,,,*56\r\n");
    EXPECT_EQ(2, s->ggaCount);
    EXPECT_NEAR(48.1173, s->latitude, 1e-9);  // unchanged
    EXPECT_DOUBLE_EQ(545.4, s->altitude);
    EXPECT_EQ(1, s->fixQuality);

    Feed(s.get(), "$GPRMC,,,,,,,,,,,*67\r\n");
    EXPECT_EQ('V', s->rmcStatus);
    EXPECT_EQ(0.0, s->speed);
    EXPECT_EQ(0.0, s->magneticVariation);
    EXPECT_NEAR(48.1173, s->rmcLatitude, 1e-9);  // unchanged
    EXPECT_EQ(23, s->rmcDay);

    Feed(s.get(), "$GPZDA,,,,,,*48\r\n");
    EXPECT_EQ(1, s->zdaDay);
    EXPECT_EQ(1, s->zdaMonth);
    EXPECT_EQ(1, s->zdaYear);
    EXPECT_EQ(0, s->zoneHours);
    EXPECT_EQ(20, s->zdaTime[0]);  // unchanged
}

TEST(NmeaReader, GsaAndGsvTable) {
    auto s = FreshState();
    Feed(s.get(), "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n");
    EXPECT_EQ('A', s->gsaMode);
    EXPECT_EQ(3, s->fixType);
    EXPECT_EQ(4, s->fixSatellites[0]);
    EXPECT_EQ(0, s->fixSatellites[2]);
    EXPECT_EQ(24, s->fixSatellites[7]);
    EXPECT_DOUBLE_EQ(2.1, s->vdop);
    EXPECT_EQ(1, IsSatelliteUsed(s.get(), 12));
    EXPECT_EQ(0, IsSatelliteUsed(s.get(), 14));
    EXPECT_EQ(0, IsSatelliteUsed(s.get(), 0));

    Feed(s.get(), "$GPGSV,3,0,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*76\r\n");
    EXPECT_EQ(0, s->gsvCount);
    EXPECT_EQ(0, s->satellitesInView);

    Feed(s.get(), "$GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*74\r\n");
    EXPECT_EQ(11, s->satellitesInView);
    EXPECT_EQ(0, s->satellites[3].prn);
    EXPECT_EQ(14, s->satellites[4].prn);
    EXPECT_EQ(25, s->satellites[4].elevation);
    EXPECT_EQ(170, s->satellites[4].azimuth);
    EXPECT_EQ(19, s->satellites[7].prn);
    EXPECT_EQ(0, s->satellites[8].prn);

    // Message 9 of 8 lands in the last four entries; no sentence writes past 36.
    Feed(s.get(), "$GPGSV,8,9,11,31,25,170,00,32,57,208,39,33,67,296,40,34,40,246,00\r");
    EXPECT_EQ(34, s->satellites[35].prn);
}

TEST(NmeaReader, InitKeepsReaderAndCount) {
    auto s = FreshState();
    Feed(s.get(), kGga);
    Feed(s.get(), "$GPGGA,1235");  // half a sentence in the reader
    InitGpsState(s.get());
    EXPECT_EQ(1, s->sentenceCount);
    EXPECT_EQ(0.0, s->latitude);
    EXPECT_EQ('M', s->gsaMode);
    EXPECT_EQ(2000, s->rmcYear);
    Feed(s.get(), "19,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\r");
    EXPECT_EQ(2, s->sentenceCount);
}

// Random bytes between sentences never hang the reader or lose the next
// whole sentence, and no field outlives its buffers (ASan watches).
TEST(NmeaReader, ResynchronisesAfterGarbage) {
    std::mt19937 rng(31);
    auto s = FreshState();
    int expected = 0;
    for (int round = 0; round < 500; ++round) {
        std::string junk;
        int n = static_cast<int>(rng() % 400);
        for (int i = 0; i < n; ++i) junk.push_back(static_cast<char>(rng() % 256));
        Feed(s.get(), junk);
        Feed(s.get(), kGga);
        ++expected;
        EXPECT_GE(s->ggaCount, expected);
        EXPECT_NEAR(48.1173, s->latitude, 1e-9);
    }
}

}  // namespace
