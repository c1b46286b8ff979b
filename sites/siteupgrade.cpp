// First-generation site records and site stores (see siteupgrade.h).
#include "sites/siteupgrade.h"

#include <cstring>

#include "core/safefile.h"
#include "photometry/skybright.h"

namespace {

const int kOldSlotSize = kOldLocationRecordSize + static_cast<int>(sizeof(LocationTrailer));
const int kOldHeaderSize = 2;
// Defaults of the fields the old record did not have.
const double kDefaultTemperature = 18.3;  // degrees Celsius
const double kDefaultHumidity = 60.0;     // per cent
const int kDefaultSeeingRating = 2;

}  // namespace

int ConvertOldLocationRecord(const uint8_t *old, LocationRecord *site) {
    if (!old || !site) return 0;
    std::memset(site, 0, sizeof *site);
    uint8_t *out = reinterpret_cast<uint8_t *>(site);
    std::memcpy(out, old, 56);             // longitude .. naked-eye limit
    std::memcpy(out + 90, old + 56, 16);   // parallax terms rho sin phi, rho cos phi
    std::memcpy(out + 106, old + 72, 8);   // time zone
    std::memcpy(out + 114, old + 80, 19);  // daylight-saving rule and its mode
    std::memcpy(out + 133, old + 99, 33);  // name
    site->name[sizeof site->name - 1] = 0;
    double limit;
    std::memcpy(&limit, out + 48, 8);
    if (limit > kOldLocationLimitMax) limit = kOldLocationLimitMax;
    std::memcpy(out + 48, &limit, 8);
    site->skyBrightness = ComputeSkyBrightnessFromLimit(limit);
    site->temperature = kDefaultTemperature;
    site->displayFlags = 0;
    site->humidity = kDefaultHumidity;
    site->seeingRating = kDefaultSeeingRating;
    site->seeing = 0.0;
    return 1;
}

int ReadOldLocationRecord(FILE *file, int index, LocationRecord *site, LocationTrailer *trailer) {
    if (!file || !site || index < 0) return 0;
    uint8_t slot[kOldSlotSize];
    if (!SafeSeek(file, kOldHeaderSize + static_cast<int64_t>(index) * kOldSlotSize) ||
        SafeRead(slot, sizeof slot, 1, file) != 1)
        return 0;
    ConvertOldLocationRecord(slot, site);
    if (trailer) std::memcpy(trailer, slot + kOldLocationRecordSize, sizeof *trailer);
    return 1;
}

int UpgradeLocationFile(const char *oldPath, const char *newPath) {
    if (!oldPath || !newPath) return 0;
    FileHandle in(SafeOpen(oldPath, "rb"));
    if (!in) return 0;
    int16_t count = 0;
    if (!ReadCheckedRecordCount(in.get(), kOldSlotSize, &count)) return 0;
    SafeRewrite out;
    if (!BeginSafeRewrite(newPath, &out)) return 0;
    if (SafeWrite(&count, 2, 1, out.file) != 1) return 0;
    for (int i = 0; i < count; ++i) {
        LocationRecord site;
        LocationTrailer trailer;
        if (!ReadOldLocationRecord(in.get(), i, &site, &trailer) || SafeWrite(&site, sizeof site, 1, out.file) != 1 ||
            SafeWrite(&trailer, sizeof trailer, 1, out.file) != 1)
            return 0;
    }
    return CommitSafeRewrite(&out);
}
