// The deep-sky cross indexes shared by every deep-sky class: NGC, IC and
// Messier numbers and the 228 common names leading to the class and record of
// an object, the scans over the NGC and IC indexes, the read flags of the
// deep-sky readers and the halving search of three sorted index files.
#pragma once
#include <cstdint>
#include <cstdio>

// Catalogue file numbers (string-table name 8000 + k) of the deep-sky files.
enum DeepSkyCatalogueFile {
    kCatNgc = 25, kCatMessier = 26, kCatIc = 27, kCatCommonNameCross = 28, kCatGalaxy = 29,
    kCatMcg = 30, kCatEsoGalaxy = 31, kCatMarkarian = 32, kCatArp = 33, kCatUgc = 34,
    kCatQuasar = 35, kCatPlanetaryNebula = 36, kCatPk = 37, kCatOpenCluster = 38, kCatOcl = 39,
    kCatOpenClusterCross = 40, kCatGlobular = 41, kCatPalomar = 42, kCatTerzan = 43,
    kCatBrightNebula = 44, kCatCommonNames = 54, kCatGalaxyGroup = 59, kCatAbellPn = 60,
    kCatAro = 61, kCatEsoPn = 62, kCatMinkowski = 63, kCatHaro = 64, kCatKohoutek = 65,
    kCatHenize = 66, kCatPnG = 67, kCatPnDiscovery = 68, kCatPgc = 69, kCatDarkNebula = 70,
    kCatLdn = 71, kCatBarnard = 72, kCatDc = 73, kCatGlobule = 74, kCatQuasarDesignation = 75,
    kCatHewittBurbidge = 76, kCatGlobularDesignation = 78, kCatSharpless = 79, kCatGum = 80,
    kCatRcw = 81, kCatLbn = 82, kCatVdb = 83, kCatNebulaOther = 84, kCatPnNotes = 88,
    kCatGalaxyDistance = 89, kCatOpenClusterOther = 90
};

// Cross-index type codes: the class an NGC, IC, Messier or common-name entry
// points to, and how that class numbers its records.
const int kCrossOpenCluster = 0;       // oc.bin record from 0
const int kCrossGlobularCluster = 1;   // glob.bin number from 1
const int kCrossBrightNebula = 2;      // neb.bin record from 0
const int kCrossPlanetaryNebula = 3;   // pln.bin record from 0
const int kCrossGalaxy = 4;            // gal.bin number from 1
const int kCrossQuasar = 5;            // qso.bin record from 0
const int kCrossGalaxyGroup = 6;       // gg.bin number from 1
const int kCrossDarkNebula = 7;        // dn.bin record from 0

// Record number of an empty cross-index entry as this system writes it. Files
// of the older layout mark an empty entry with code 0 and record 0, which is
// also read as empty; the generator therefore keeps open-cluster record 0 free
// of Messier, NGC and IC numbers.
const int32_t kNoCrossRecord = -1;

// Read flags of the deep-sky record readers (CatalogueReadFlags).
const int kReadPosition = 0x01;
const int kReadBrightness = 0x02;
const int kReadSizes = 0x04;
const int kReadIdentifiers = 0x08;
const int kReadPhysical = 0x10;
const int kReadDisplayName = 0x80;   // with kReadIdentifiers
const int kReadAllButName = 0xFF7F;

const int kCommonNameCount = 228;
const int kCommonNameSize = 32;
const int kNgcRecordSize = 33;
const int kIcRecordSize = 14;

FILE *OpenNgcCrossIndex();
FILE *OpenMessierCrossIndex();
FILE *OpenIcCrossIndex();
FILE *OpenCommonNames();
FILE *OpenCommonNameCrossIndex();

// 1 when an entry of code and record holds no object.
int IsEmptyCrossEntry(int typeCode, int32_t record);

// 0 not found, 1 one object, 2 two objects (types and records [0], [1]).
int LookupNgcCrossIndex(FILE *stream, int number, int suffix, int types[2], int records[2]);
// 1 found, 0 not found, -1 the record cannot be read.
int LookupIcCrossIndex(FILE *stream, int number, int suffix, int *type, int *record);
// number -1 reads the next entry. 1 found, 0 no object.
int ReadMessierCrossIndex(FILE *stream, int number, int *type, int *record);
// The three lookups above on the cross index held in memory (see
// objects/catcache.h), as recognition and record building ask them for
// every designation: the same results, and -1 (IC: -2) when the index
// cannot be read.
int LookupHeldNgcCrossIndex(int number, int suffix, int types[2], int records[2]);
int LookupHeldIcCrossIndex(int number, int suffix, int *type, int *record);
int ReadHeldMessierCrossIndex(int number, int *type, int *record);
// 1, or 0 for a number outside 0..227, no stream or a failed read. The buffer
// holds 32 bytes and is always terminated.
int ReadCommonName(FILE *stream, int number, char *name);
// 1 found (type and record out), 0 not found, -1 cn_cross.bin cannot be opened.
int FindCommonName(const char *name, int *type, int *record);
// The 1-based number of the entry read, 0 on a failed read; entry -1 reads
// the next one.
int ReadCommonNameCrossIndex(FILE *stream, int entry, int *type, int *record);

struct NgcScan {
    FILE *stream;
    int number;
    int position;
    int wantedType;
    unsigned char record[kNgcRecordSize];
};
struct IcScan {
    FILE *stream;
    int number;
    int position;
    int wantedType;
    unsigned char record[kIcRecordSize];
};
NgcScan *StartNgcScan(int firstNumber, int wantedType);
// 1 an entry (number out, component in/out), 0 try again, -1 the end.
int NextNgcScanEntry(NgcScan *scan, int *number, int *component);
void EndNgcScan(NgcScan *scan);
IcScan *StartIcScan(int firstNumber, int wantedType);
int NextIcScanEntry(IcScan *scan, int *number, int *component);
void EndIcScan(IcScan *scan);

// Compare of record i's bytes with the key: the sign of record minus key.
typedef int (*HalvingCompare)(const void *record, const void *key);
// Search of n sorted records of recordSize bytes (at most 64) from the start of
// the stream by halving steps. Returns the index found, -1 when absent or on a
// failed read; lastIndex (optional) gets the last index read, and lastRecord
// (optional, recordSize bytes) its bytes. Probes stay within 0..n-1, so small
// tables are searched too.
int HalvingSearch(FILE *stream, int n, int recordSize, const void *key, HalvingCompare compare,
                  int *lastIndex = nullptr, unsigned char *lastRecord = nullptr);
// The same search over the whole records of a file held in memory.
int HalvingSearchBytes(const unsigned char *data, size_t size, int recordSize, const void *key,
                       HalvingCompare compare, int *lastIndex = nullptr,
                       unsigned char *lastRecord = nullptr);

// 1 when |a - c| and |b - d| are both below 0.09.
int PositionsWithinTolerance(double a, double b, double c, double d);
