// Tests of the object record: every default checked at its byte offset from
// hand-written values, the kept bytes left alone, a byte-exact round trip
// through a file, the bare position, guide-star keys and the list status.
#include "objects/objectrecord.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace {

// Little-endian readers of raw record bytes, independent of the struct.
double F64(const unsigned char *b, int off) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | b[off + i];
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}
float F32(const unsigned char *b, int off) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b[off + i];
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}
int32_t I32(const unsigned char *b, int off) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b[off + i];
    return static_cast<int32_t>(v);
}
int16_t I16(const unsigned char *b, int off) {
    return static_cast<int16_t>(b[off] | (b[off + 1] << 8));
}

const unsigned char *Bytes(const ObjectRecord &r) {
    return reinterpret_cast<const unsigned char *>(&r);
}

bool InKept(int i) {
    return (i >= 137 && i <= 140) || (i >= 232 && i <= 233) || i == 285 || i == 322 ||
           (i >= 331 && i <= 339) || i >= 341;
}

TEST(ObjectRecord, DefaultsAtEveryOffset) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    const unsigned char *b = Bytes(r);
    EXPECT_EQ(sizeof(ObjectRecord), 395u);
    struct D {
        int off;
        double value;
    };
    const D doubles[] = {{0, 0.0},   {8, 0.0},   {16, -1.0}, {24, -1.0}, {32, -1.0},
                         {40, -1.0}, {48, -1.0}, {56, -1.0}, {64, -1.0}, {72, -1.0},
                         {80, -1.0}, {88, -1.0}, {96, 0.0},  {104, 0.0}};
    for (const D &d : doubles) EXPECT_EQ(F64(b, d.off), d.value) << "offset " << d.off;
    const D floats[] = {{120, 0.0},   {124, 0.0},   {129, 0.0},   {133, 0.0},  {141, 99.9},
                        {145, 99.9},  {159, -1.0},  {163, -1.0},  {167, -1.0}, {171, -1.0},
                        {175, -1.0},  {187, -1.0},  {191, -1.0},  {195, -1.0}, {199, -1.0},
                        {203, -1.0},  {234, -10.0}, {238, 0.0},   {243, -1.0}, {247, 99.9},
                        {251, 0.0},   {255, 0.0},   {265, 99.9},  {269, 0.0},  {281, 0.0},
                        {286, 99.9},  {292, -10.0}, {298, 99.9}};
    for (const D &d : floats)
        EXPECT_EQ(F32(b, d.off), static_cast<float>(d.value)) << "offset " << d.off;
    struct B {
        int off;
        int value;
    };
    const B bytes[] = {{128, 2},   {153, 0},   {154, 0},   {213, 255}, {214, 0},
                       {215, 0},   {242, 255}, {263, ' '}, {264, ' '}, {290, 255},
                       {291, 0},   {296, 4},   {297, 0},   {302, 255}, {303, ' '},
                       {304, ' '}, {313, 0},   {340, 0}};
    for (const B &x : bytes) EXPECT_EQ(b[x.off], x.value) << "offset " << x.off;
    EXPECT_EQ(I32(b, 149), -1);
    EXPECT_EQ(I32(b, 155), 0);
    EXPECT_EQ(I32(b, 179), 0);
    EXPECT_EQ(I32(b, 183), 0);
    EXPECT_EQ(I16(b, 207), 0);
    EXPECT_EQ(I32(b, 209), 0);
    EXPECT_EQ(I16(b, 216), -1);
    EXPECT_EQ(I16(b, 218), 0);
    for (int off : {220, 224, 228, 259, 305, 309, 314, 318, 323, 327})
        EXPECT_EQ(I32(b, off), 0) << "offset " << off;
    for (int off = 112; off < 120; ++off) EXPECT_EQ(b[off], 0) << off;
    for (int off = 273; off < 281; ++off) EXPECT_EQ(b[off], 0) << off;
}

TEST(ObjectRecord, InitKeepsOnlyTheKeptBytes) {
    ObjectRecord r;
    std::memset(&r, 0xA5, sizeof r);
    InitObjectRecord(&r);
    ObjectRecord fresh;
    ClearObjectRecord(&fresh);
    const unsigned char *b = Bytes(r);
    const unsigned char *f = Bytes(fresh);
    for (int i = 0; i < 395; ++i) {
        if (InKept(i))
            EXPECT_EQ(b[i], 0xA5) << "kept byte " << i << " was written";
        else
            EXPECT_EQ(b[i], f[i]) << "byte " << i << " kept a stale value";
    }
    // A fresh record has nothing stale in the kept bytes.
    for (int i = 0; i < 395; ++i)
        if (InKept(i)) {
            EXPECT_EQ(f[i], 0) << i;
        }
    InitObjectRecord(nullptr);
    ClearObjectRecord(nullptr);
}

TEST(ObjectRecord, RoundTripThroughFileIsByteExact) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.raCatalogue = 1.25;
    r.decCatalogue = -0.5;
    r.itemFlags = 1;
    r.extent = 0.001f;
    r.index = 123456;
    r.objectClass = 5;
    r.designationConstellation = 17;
    r.categoryBits = 0xA0;
    r.atlasChartEightSector = 42;
    r.classExtra[0] = 3;
    r.classExtra[53] = 0x7f;
    testutil::TempDir dir;
    std::string path = dir.path() + "/rec.bin";
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    ASSERT_EQ(std::fwrite(&r, sizeof r, 1, f), 1u);
    std::fclose(f);
    std::string bytes = testutil::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 395u);
    const unsigned char *b = reinterpret_cast<const unsigned char *>(bytes.data());
    // Hand-written expectations at their offsets.
    EXPECT_EQ(F64(b, 16), 1.25);
    EXPECT_EQ(F64(b, 24), -0.5);
    EXPECT_EQ(b[128], 1);
    EXPECT_EQ(F32(b, 137), 0.001f);
    const unsigned char index[4] = {0x40, 0xE2, 0x01, 0x00};
    EXPECT_EQ(std::memcmp(b + 149, index, 4), 0);
    EXPECT_EQ(b[153], 5);
    EXPECT_EQ(I32(b, 155), 17);
    const unsigned char category[4] = {0xA0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(b + 209, category, 4), 0);
    EXPECT_EQ(b[285], 42);
    EXPECT_EQ(b[341], 3);
    EXPECT_EQ(b[394], 0x7f);
    ObjectRecord back;
    std::memcpy(&back, bytes.data(), sizeof back);
    EXPECT_EQ(std::memcmp(&back, &r, sizeof r), 0);
}

TEST(ObjectRecord, MakePositionObject) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.extent = 5.0f;
    ASSERT_EQ(MakePositionObject(&r, kPi, -kPi / 2), 1);
    EXPECT_EQ(+r.raTurns, 1073741824);   // 2147483647 / 2 = 1073741823.5, away from zero
    EXPECT_EQ(+r.decTurns, -536870912);  // -536870911.75 -> -536870912
    EXPECT_EQ(+r.objectClass, 15);
    EXPECT_EQ(+r.index, 0);
    EXPECT_EQ(+r.categoryBits, 0x4000u);
    EXPECT_EQ(+r.extent, 0.0f);
    EXPECT_EQ(+r.raOfDate, kPi);
    EXPECT_EQ(+r.raJ2000AtDate, kPi);
    EXPECT_EQ(+r.decOfDate, -kPi / 2);
    EXPECT_EQ(+r.decJ2000AtDate, -kPi / 2);
    EXPECT_EQ(+r.raCatalogue, -1.0);
    EXPECT_EQ(+r.decCatalogue, -1.0);
    EXPECT_EQ(MakePositionObject(nullptr, 0, 0), 0);
    EXPECT_EQ(AngleToTurns(0.0), 0);
    EXPECT_EQ(AngleToTurns(2 * kPi), 2147483647);
}

TEST(ObjectRecord, GuideStarKeys) {
    int32_t key = MakeGuideStarKey(17, 5);
    EXPECT_EQ(static_cast<uint32_t>(key), 0x80000000u | (5u << 14) | 17u);
    EXPECT_EQ(GuideStarKeyRegion(key), 17);
    EXPECT_EQ(GuideStarKeyNumber(key), 5);
    EXPECT_TRUE(IsGuideStarKey(key));
    EXPECT_FALSE(IsGuideStarKey(-1));
    EXPECT_FALSE(IsGuideStarKey(-2));
    EXPECT_FALSE(IsGuideStarKey(12));
    int32_t big = MakeGuideStarKey(9537, 16383);
    EXPECT_EQ(GuideStarKeyRegion(big), 9537);
    EXPECT_EQ(GuideStarKeyNumber(big), 16383);
}

TEST(ObjectRecord, ListStatusSetters) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    SetListItemStatusA(&r, 3);
    SetListItemStatusB(&r, 2);
    SetListItemValueC(&r, 5);
    EXPECT_EQ(+r.listStatus, 0x5B);
    EXPECT_EQ(GetListItemStatusA(&r), 3);
    EXPECT_EQ(GetListItemStatusB(&r), 2);
    EXPECT_EQ(GetListItemValueC(&r), 5);
    // Out-of-range values change nothing.
    for (int bad : {-1, 4, 100}) {
        SetListItemStatusA(&r, bad);
        SetListItemStatusB(&r, bad);
    }
    for (int bad : {-1, 6, 15}) SetListItemValueC(&r, bad);
    EXPECT_EQ(+r.listStatus, 0x5B);
    SetListItemStatusA(&r, 0);
    EXPECT_EQ(+r.listStatus, 0x58);
    // A reference point answers 99 and its C value never changes.
    r.objectClass = 22;
    EXPECT_EQ(GetListItemValueC(&r), 99);
    SetListItemValueC(&r, 1);
    EXPECT_EQ(+r.listStatus, 0x58);
}

}  // namespace
