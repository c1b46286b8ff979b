// The image-plot object builder (see imageplot.h).
#include "objects/imageplot.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/buildrecord.h"
#include "objects/objectrecord.h"

namespace {

const uint16_t kPlotStampMagic = 55555;

double DoubleAt(const unsigned char *p) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

}  // namespace

int ReadImagePlotPlace(int imageGroup, int index, double *rightAscension, double *declination,
                       double *size) {
    try {
        if (index < 0 || !GetUserDataFolder() || !GetUserDataFolder()[0]) return 0;
        GroupRecord group;
        std::memset(&group, 0, sizeof group);
        if (FindGroupById(kGroupImages, imageGroup, &group) <= 0) return 0;
        group.folder[sizeof group.folder - 1] = '\0';
        if (!group.folder[0]) return 0;
        std::string path = std::string(GetUserDataFolder()) + "/images/" + group.folder + "/implot.bin";
        FileHandle file(SafeOpen(path.c_str(), "rb"));
        if (!file) return 0;
        unsigned char header[kImagePlotHeaderSize];
        if (SafeRead(header, 1, sizeof header, file.get()) != sizeof header) return 0;
        if ((header[0] | (header[1] << 8)) != kPlotStampMagic) return 0;
        int32_t count = static_cast<int32_t>(static_cast<uint32_t>(header[5]) |
                                             (static_cast<uint32_t>(header[6]) << 8) |
                                             (static_cast<uint32_t>(header[7]) << 16) |
                                             (static_cast<uint32_t>(header[8]) << 24));
        if (index >= count) return 0;
        long offset = kImagePlotHeaderSize + static_cast<long>(index) * kImagePlotRecordSize;
        if (std::fseek(file.get(), offset, SEEK_SET) != 0) return 0;
        unsigned char record[kImagePlotRecordSize];
        if (SafeRead(record, 1, sizeof record, file.get()) != sizeof record) return 0;
        double ra = DoubleAt(record), dec = DoubleAt(record + 8), extent = DoubleAt(record + 16);
        if (!std::isfinite(ra) || !std::isfinite(dec) || !std::isfinite(extent)) return 0;
        if (rightAscension) *rightAscension = ra;
        if (declination) *declination = dec;
        if (size) *size = extent;
        return 1;
    } catch (...) {
        return 0;
    }
}

int BuildImagePlotObject(int imageGroup, ObjectRecord *record, const LocationRecord *site,
                         const DateRecord *date, double extinction) {
    if (!record || record->objectClass != kClassImagePlot || record->index < 0) return 0;
    double ra = 0, dec = 0, size = 0;
    if (!ReadImagePlotPlace(imageGroup, record->index, &ra, &dec, &size)) return 0;
    record->raCatalogue = ra;
    record->decCatalogue = dec;
    record->magnitude = 0.0f;
    record->sizeMajor = 0.0f;
    record->sizeMinor = 0.0f;
    record->extent = static_cast<float>(size);
    record->magnitude2 = kRecordNoMagnitude;
    record->colourIndex = 99.0f;
    record->distanceLightYears = 0.0f;
    record->properMotionRa = 0.0f;
    record->properMotionDec = 0.0f;
    if (site && date) {
        ComputeApparentPlace(site, date, extinction, 0.0, record);
        ComputeAstrometricPlace(site, date, 0.0, record);
    }
    record->categoryBits = 0;
    return 1;
}
