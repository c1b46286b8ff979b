// Tests of the catalogue files held in memory: a file is read once and kept
// while unchanged, read again within a second after it changed (at once
// after the folders were set again), forgotten when it went, and
// the in-memory searches find what the searches over the open file find.
#include "objects/catcache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "core/datapaths.h"
#include "core/fsys.h"
#include "objects/dsoxref.h"
#include "objects/tests/starbytes.h"
#include "testutil/testutil.h"

using starbytes::Put16;
using starbytes::Put32;
using starbytes::Put8;

namespace {

class CatalogueCache : public ::testing::Test {
protected:
    void SetUp() override {
        SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
        WriteNames("Orion Nebula", "The Lagoon Nebula");
        std::string cross(228 * 5, '\xff');
        Put8(cross, 0, 2); Put32(cross, 1, 7);
        Put8(cross, 5, 2); Put32(cross, 6, 11);
        Write("cn_cross.bin", cross);
    }
    void TearDown() override { SetRefDirectories("", "", ""); }
    void WriteNames(const char *first, const char *second) {
        std::string names(228 * 32, '\0');
        std::strcpy(&names[0], first);
        std::strcpy(&names[32], second);
        Write("cnames.bin", names);
    }
    void Write(const char *name, const std::string &bytes) {
        ASSERT_TRUE(testutil::WriteFileBytes(dir_.file(name), bytes));
    }
    // Moves the file's last-write time by the given seconds, so that a
    // change is seen whatever the file system's time resolution.
    void Touch(const char *name, int seconds) {
        FileTimeValue t;
        ASSERT_TRUE(FsGetWriteTime(dir_.file(name), &t));
        uint64_t ticks = ((static_cast<uint64_t>(t.high) << 32) | t.low) + seconds * 10000000ULL;
        t.low = static_cast<uint32_t>(ticks);
        t.high = static_cast<uint32_t>(ticks >> 32);
        ASSERT_TRUE(FsSetWriteTime(dir_.file(name), t));
    }
    testutil::TempDir dir_;
};

TEST_F(CatalogueCache, ReadOnceReadAgainAfterAChangeForgottenWhenGone) {
    auto first = CatalogueFileImage(kCatCommonNames, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->bytes.size(), 228u * 32);
    EXPECT_EQ(CatalogueFileImage(kCatCommonNames, 1), first);   // the same image, not read again

    int type = -1, record = -1;
    EXPECT_EQ(FindCommonName("orion nebula", &type, &record), 1);
    EXPECT_EQ(record, 7);
    EXPECT_EQ(FindCommonName("Lagoon Nebula", &type, &record), 1);   // "The " left off
    EXPECT_EQ(record, 11);

    // A changed file is read again within a second (its time is asked at
    // most once a second; the test asks until the change is seen): the old
    // name is gone, the new one found.
    WriteNames("Trifid Nebula", "The Lagoon Nebula");
    Touch("cnames.bin", 5);
    auto second = CatalogueFileImage(kCatCommonNames, 1);
    const auto asked = std::chrono::steady_clock::now();
    while (second == first && std::chrono::steady_clock::now() - asked < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        second = CatalogueFileImage(kCatCommonNames, 1);
    }
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(FindCommonName("Orion Nebula", &type, &record), 0);
    EXPECT_EQ(FindCommonName("TRIFID NEBULA", &type, &record), 1);
    EXPECT_EQ(record, 7);

    // A removed file is not answered from memory once the folders are set
    // again (as after installing data), without waiting.
    ASSERT_TRUE(FsRemoveFile(dir_.file("cnames.bin")));
    SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    EXPECT_EQ(CatalogueFileImage(kCatCommonNames, 1), nullptr);
    EXPECT_EQ(FindCommonName("Trifid Nebula", &type, &record), 0);
    // So is a cross index that went: the name is known, its entry cannot be read.
    WriteNames("Trifid Nebula", "");
    ASSERT_TRUE(FsRemoveFile(dir_.file("cn_cross.bin")));
    SetRefDirectories(dir_.path().c_str(), dir_.path().c_str(), dir_.path().c_str());
    EXPECT_EQ(FindCommonName("Trifid Nebula", &type, &record), -1);
}

TEST_F(CatalogueCache, NoSlotNoImage) {
    SetRefDirectories("", "", "");
    EXPECT_EQ(CatalogueFileImage(kCatCommonNames, 1), nullptr);
    int type = 0, record = 0;
    EXPECT_EQ(FindCommonName("Orion Nebula", &type, &record), 0);
}

// The halving search over memory probes what the search over the file probes:
// every key present, keys between and beyond them, tables of 1 to 40 records.
TEST_F(CatalogueCache, HalvingSearchInMemoryAgreesWithTheFile) {
    auto compare = [](const void *record, const void *key) {
        int a = static_cast<const unsigned char *>(record)[0] |
                (static_cast<const unsigned char *>(record)[1] << 8);
        int b = *static_cast<const int *>(key);
        return a < b ? -1 : a > b ? 1 : 0;
    };
    for (int n = 1; n <= 40; ++n) {
        std::string table;
        for (int i = 0; i < n; ++i) {
            std::string r(6, '\0');
            Put16(r, 0, 10 * (i + 1));
            Put32(r, 2, 1000 + i);
            table += r;
        }
        Write("probe.bin", table);
        FILE *f = std::fopen(dir_.file("probe.bin").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        for (int key = 5; key <= 10 * n + 5; key += 5) {
            int lastFile = -2, lastMemory = -2;
            unsigned char recFile[6] = {0}, recMemory[6] = {0};
            int a = HalvingSearch(f, n, 6, &key, compare, &lastFile, recFile);
            int b = HalvingSearchBytes(reinterpret_cast<const unsigned char *>(table.data()),
                                       table.size(), 6, &key, compare, &lastMemory, recMemory);
            EXPECT_EQ(a, b) << n << " " << key;
            EXPECT_EQ(lastFile, lastMemory) << n << " " << key;
            EXPECT_EQ(std::memcmp(recFile, recMemory, 6), 0) << n << " " << key;
            // Every key present is found.
            if (key % 10 == 0) {
                EXPECT_EQ(b, key / 10 - 1) << n << " " << key;
            }
        }
        std::fclose(f);
    }
}

TEST_F(CatalogueCache, NameIndexInMemory) {
    // A name index of 20-byte entries: 18 name bytes, a 16-bit record number.
    const char *names[] = {"Alessi 1", "Berkeley 12", "Collinder 399", "King 5", "Stock 2"};
    std::string index;
    for (int i = 0; i < 5; ++i) {
        std::string e(20, '\0');
        std::memcpy(&e[0], names[i], std::strlen(names[i]));
        Put16(e, 18, 100 + i);
        index += e;
    }
    Write("oc_other.bin", index);
    CatalogueImage image;
    image.bytes.assign(index.begin(), index.end());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(FindInNameIndexImage(&image, 20, names[i]), 100 + i);
    EXPECT_EQ(FindInNameIndexImage(&image, 20, "collinder 399"), -1);   // byte order, as on disc
    EXPECT_EQ(FindInNameIndexImage(&image, 20, "Dolidze 1"), -1);
    EXPECT_EQ(FindInNameIndexImage(&image, 20, ""), -1);
    EXPECT_EQ(FindInNameIndexImage(nullptr, 20, "King 5"), -1);
}

}  // namespace
