// Rules of the pool assignment and pool record edit dialogs.
#include "instruments/poolrules.h"

#include <cmath>
#include <cstring>

#include "astro/angleparse.h"
#include "core/textutil.h"
#include "photometry/skybright.h"

namespace {
const double kNoValue = 2147483647.0;
}

int AssignPoolId(AssignedIdList *list, uint16_t id) {
    if (!list || (int)list->ids.size() >= list->limit) return 0;
    list->ids.push_back(id);
    return 1;
}

int RemoveAssignedAt(AssignedIdList *list, int line) {
    if (!list || line < 0 || line >= (int)list->ids.size()) return 0;
    list->ids.erase(list->ids.begin() + line);
    return 1;
}

int RemoveFirstAssigned(AssignedIdList *list, uint16_t id) {
    if (!list) return -1;
    for (size_t i = 0; i < list->ids.size(); ++i)
        if (list->ids[i] == id) {
            list->ids.erase(list->ids.begin() + (long)i);
            return (int)i;
        }
    return -1;
}

int MoveAssigned(AssignedIdList *list, int line, int direction) {
    if (!list || line < 0 || line >= (int)list->ids.size()) return line;
    int other = line + (direction > 0 ? 1 : -1);
    if (direction == 0 || other < 0 || other >= (int)list->ids.size()) return line;
    std::swap(list->ids[(size_t)line], list->ids[(size_t)other]);
    return other;
}

void DropMissingAssigned(AssignedIdList *list, int (*exists)(int id)) {
    if (!list || !exists) return;
    std::vector<uint16_t> kept;
    for (uint16_t id : list->ids)
        if (exists(id)) kept.push_back(id);
    list->ids.swap(kept);
}

int ReadBarlowText(const char *text, float *factor) {
    if (!text || !factor) return 0;
    char buffer[64];
    CopyStringBounded(buffer, text, (int)sizeof buffer);
    TrimTrailingBlanks(buffer);
    TrimLeadingBlanks(buffer);
    if (!buffer[0]) return 0;
    double v = ParseSexagesimal(buffer);
    if (v == kNoValue || !(v >= 0.0)) return 0;
    *factor = v == 1.0 ? 0.0f : (float)v;
    return 1;
}

int CheckEyepieceValues(const char *name, double focalLength, double apparentField) {
    if (!name || !name[0]) return 0;
    if (!(focalLength > 0.0 && focalLength <= 100.0)) return 0;
    if (!(apparentField > 0.0 && apparentField <= 180.0)) return 0;
    return 1;
}

double ComputeMeasuredApparentField(double trueFieldArcmin, double telescopeFocalLength,
                                    double eyepieceFocalLength) {
    if (!(telescopeFocalLength > 0.0) || !(eyepieceFocalLength > 0.0)) return 0.0;
    return trueFieldArcmin / 60.0 * telescopeFocalLength / eyepieceFocalLength;
}

double StandardFilterZeroPoint(double wavelengthMicrometres) {
    static const double kWavelengths[5] = {0.365, 0.44, 0.55, 0.7, 0.9};
    static const double kZeroPoints[5] = {-10.9, -10.4, -11.1, -11.9, -12.7};
    return InterpolateFivePointTable(wavelengthMicrometres, kWavelengths, kZeroPoints);
}

int ReadStandardFilterValues(FilterRecord *filter, const char *label, double wavelengthNm,
                             double fwhmNm, double peakPercent) {
    if (!filter) return 0;
    CopyStringZeroFilled(filter->name, label ? label : "", (int)sizeof filter->name);
    bool ok = true;
    if (wavelengthNm > 0.0 && wavelengthNm != kNoValue)
        filter->wavelength = wavelengthNm * 0.001;
    else
        ok = false;
    if (ok && fwhmNm > 0.0 && fwhmNm != kNoValue)
        filter->bandwidth = fwhmNm * 0.001;
    else
        ok = false;
    if (ok && peakPercent >= 0.0 && peakPercent <= 100.0)
        filter->peakTransmission = peakPercent * 0.01;
    else
        ok = false;
    if (!ok) return 0;
    filter->zeroPoint = StandardFilterZeroPoint(filter->wavelength);
    filter->surfaceTransmission = 0.0;
    filter->mirrorReflectance = 0.0;
    return 1;
}

double NeutralDensityTransmission(double value, int mode) {
    if (!(value > 0.0) || value == kNoValue) return 0.0;
    double t = 0.0;
    if (mode == 0)
        t = value / 100.0;  // exact for 100 %: 100 x 0.01 exceeds 1 in x87 precision
    else if (mode == 1)
        t = 1.0 / std::pow(10.0, value);
    else if (mode == 2)
        t = 1.0 / value;
    return t > 0.0 && t <= 1.0 ? t : 0.0;
}

double NeutralDensityValue(double transmission, int mode) {
    if (!(transmission > 0.0)) return 0.0;
    if (mode == 0) return transmission * 100.0;
    if (mode == 1) return std::log10(1.0 / transmission);
    return 1.0 / transmission;
}

int CheckLensValues(double focalLength, double focalRatio) {
    return focalLength > 0.0 && focalLength != kNoValue && focalRatio >= 1.0 && focalRatio != kNoValue ? 1 : 0;
}
