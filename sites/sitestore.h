// The site store "loc.bin" in the user data folder: a signed 16-bit count,
// then 169-byte slots of a LocationRecord (166 bytes) and its LocationTrailer
// (3 bytes), no version stamp, little-endian. Append, update, rewriting
// delete, the lookup by name and coordinates that the importer uses, the
// default site, the ".bak" copy of the site dialogs, and the site texts.
// Deletes rewrite the whole file through the crash-safe layer.
// Results: 1 success, 0 failure unless said otherwise.
#pragma once
#include <cstdint>
#include <cstdio>

#include "astro/datetime.h"
#include "astro/location.h"

#pragma pack(push, 1)
// Kept after every site in loc.bin and copied unchanged into each log entry
// made at the site.
struct LocationTrailer {
    uint8_t namedZone;        // 0 none (the record's own zone hours), 1 Eastern,
                              // 2 Central, 3 Mountain, 4 Pacific
    uint8_t elevationInFeet;  // 1: the site dialogs show feet (the record holds metres)
    uint8_t reserved;         // 0 for sites made from the places gazetteer, else carried
};
#pragma pack(pop)
static_assert(sizeof(LocationTrailer) == 3, "LocationTrailer is 3 bytes");

const int kLocationSlotSize = 169;

// UT offsets in hours forced into a site's zone when a named zone is chosen,
// by named-zone index (index 0, no named zone, holds 0).
extern const double NamedZoneOffsets[5];
// String ids: standard name of named zone k is 8805 + k ("EST" .. "PST"), its
// daylight name 8809 + k ("EDT" .. "PDT"); the seeing words of ratings 0-4 are
// 8823 + rating ("excellent" .. "bad").
const int kNamedZoneStringBase = 8805;
const int kSeeingWordStringBase = 8823;

// Lookup tolerances of FindLocation, radians (about 15 arcseconds of longitude
// and 1 arcsecond of latitude).
const double kSiteLongitudeTolerance = 0.0000727;
const double kSiteLatitudeTolerance = 4.85e-6;

// ---- file names ------------------------------------------------------------------

// "<user folder>/loc.bin" and "<user folder>/loc.bak" into buffer (size bytes);
// the buffer is emptied when the folder is not set or the path does not fit.
char *MakeLocationFilePath(char *buffer, int size);
char *MakeLocationBackupPath(char *buffer, int size);

// ---- the store -------------------------------------------------------------------
// Indexes are 0-based; an index below 0 or not below the count read from the
// file fails. The caller opens the store, passes the stream and closes it.

// Opens loc.bin "r+b" (created with a count of 0 only when it does not exist)
// and gives its count; a loc.bin that cannot be opened for writing (a
// read-only folder) is opened "rb", so its sites are still known. None on
// failure.
FILE *OpenLocationStore(int16_t *count);
// Opens another folder's site file "rb" (merging another computer's data).
FILE *OpenLocationFile(const char *path, int16_t *count);
// loc.bin to loc.bak, and back. The destination is replaced only by a complete
// copy of the count and the counted slots; a missing source writes nothing.
int BackupLocationFile();
int RestoreLocationFile();
// Reads the slot at the stream's current position and copies the site's name
// (name holds 33 bytes).
int ReadNextLocationName(FILE *f, char *name);
// Writes the record and trailer after the last slot, then the raised count.
int AppendLocation(FILE *f, const LocationRecord *record, const LocationTrailer *trailer);
// trailer may be null when it is not wanted. The name is terminated. A slot
// whose values are outside what any site can hold (SiteValuesInRange) is
// damage: refused (0), so no date or position is ever computed from it.
int ReadLocation(FILE *f, int index, LocationRecord *record, LocationTrailer *trailer);
// 1 when every value of the record that dates and positions are computed
// from lies in its range: longitude and latitude finite within +-2 pi and
// +-pi/2, elevation -500..10,000 m, time zone -14..14 h, the daylight-saving
// mode 0-2 and (when a shift is used) shift -3..3 h with start and end hours
// 0..24, temperature -100..100 C, humidity 0..100 %, naked-eye limit and
// seeing finite.
int SiteValuesInRange(const LocationRecord *record);
// Rebuilds the caller's record with InitLocationRecord from its own raw values
// (so every derived value, the sky brightness included, is computed afresh),
// keeps its flags and seeing-rating bytes, sets the daylight-saving rule and
// mode given (callers pass the record's own; a rule that is refused leaves the
// hemisphere preset with mode 0) and writes record and trailer over the slot.
// A changed name renames the site's horizon file once the slot is written. The
// record is left untouched when the index fails.
int UpdateLocation(FILE *f, int index, LocationRecord *record, const LocationTrailer *trailer,
                   const DaylightSavingRule *rule, int mode);
// Rewrites loc.bin whole without the slot (slotstore.h's DeleteSlot): *f is
// closed and opened again, null when the reopening fails.
int DeleteLocation(FILE **f, int index);
// Looks for the first slot whose name equals the record's name exactly (case
// counts). 1: longitude within kSiteLongitudeTolerance and latitude within
// kSiteLatitudeTolerance; the stored record and trailer are copied out. 2: the
// name matches with other coordinates; nothing is copied. 0: absent, an empty
// name or a failed read. The trailer (may be null) starts zeroed; index (may be
// null) gives the deciding slot, or the number of slots read.
int FindLocation(FILE *f, LocationRecord *record, LocationTrailer *trailer, int16_t *index);
// Slot 0 of the store (read only when the store cannot be opened for
// writing), or the built-in site "Texas Star Party" when the store holds none
// (nothing is written to the store).
void LoadDefaultLocation(LocationRecord *record);

// ---- texts -----------------------------------------------------------------------

// The zone name of a site at a time: "EST" .. "PDT" when the site is stored
// (FindLocation answers 1) with a named zone, else "GMT-7", "GMT+5.5" from the
// site's zone plus the daylight-saving shift in effect at the date record's
// universal time. Returns FindLocation's answer, 0 when the record is missing
// (text empty) or the store cannot be opened.
int FormatSiteTimeZoneName(const LocationRecord *site, const DateRecord *date, char *text,
                           int size);
// "Location with good seeing, naked-eye limit 6.5, 12C, humidity 45%".
char *DescribeLocation(const LocationRecord *site, char *text, int size);
