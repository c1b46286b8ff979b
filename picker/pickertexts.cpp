// Texts of the object picker's data panel (see pickertexts.h).
#include "picker/pickertexts.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angletext.h"
#include "objects/objectrecord.h"
#include "core/mathutil.h"

namespace {
const double kRadiansToDegrees = 180.0 / kPi;
// 1.5 degrees and 100 arcseconds in radians; 0.001 arcseconds.
const double kDegreesLimit = 1.5 / kRadiansToDegrees;
const double kArcminutesLimit = 100.0 / 3600.0 / kRadiansToDegrees;
const double kArcsecondsLimit = 0.001 / 3600.0 / kRadiansToDegrees;
const double kTurnScale = 2147483647.0;

void Empty(char *text, int size) {
    if (text && size > 0) text[0] = '\0';
}
}  // namespace

char *FormatPickerSize(char *text, int size, double extent) {
    if (!text || size <= 0) return text;
    text[0] = '\0';
    if (!(extent == extent)) return text;
    const double degrees = extent * kRadiansToDegrees;
    if (extent > kDegreesLimit)
        std::snprintf(text, size, "%5.2lg\xB0", degrees);
    else if (extent > kArcminutesLimit)
        std::snprintf(text, size, "%5.2lg'", degrees * 60.0);
    else if (extent > kArcsecondsLimit)
        std::snprintf(text, size, "%5.2lg\"", degrees * 3600.0);
    return text;
}

char *FormatPickerMagnitude(char *text, int size, double magnitude) {
    if (!text || size <= 0) return text;
    Empty(text, size);
    if (magnitude == magnitude && magnitude < 90.0) std::snprintf(text, size, "%5.1lf", magnitude);
    return text;
}

void GetPickerPlace(const ObjectRecord *record, double *hours, double *degrees) {
    double ra = 0.0, dec = 0.0;
    if (record) {
        double raCatalogue, decCatalogue;
        std::memcpy(&raCatalogue, &record->raCatalogue, sizeof raCatalogue);
        std::memcpy(&decCatalogue, &record->decCatalogue, sizeof decCatalogue);
        if (raCatalogue != -1.0 || decCatalogue != -1.0) {
            ra = raCatalogue;
            dec = decCatalogue;
        } else {
            int32_t raTurns, decTurns;
            std::memcpy(&raTurns, &record->raTurns, sizeof raTurns);
            std::memcpy(&decTurns, &record->decTurns, sizeof decTurns);
            ra = raTurns / kTurnScale * 2.0 * kPi;
            dec = decTurns / kTurnScale * 2.0 * kPi;
            if (ra < 0.0) ra += 2.0 * kPi;
        }
    }
    if (hours) *hours = ra * 12.0 / kPi;
    if (degrees) *degrees = dec * kRadiansToDegrees;
}

void FormatPickerPlace(const ObjectRecord *record, char *raText, char *decText) {
    double hours, degrees;
    GetPickerPlace(record, &hours, &degrees);
    char buffer[kAngleTextSize];
    if (raText) {
        FormatRightAscension(buffer, hours);
        const char *start = buffer[0] ? buffer + 1 : buffer;  // the formatter's leading blank
        std::snprintf(raText, kPickerTextSize, "%s", start);
    }
    if (decText) {
        FormatDeclination(buffer, degrees);
        std::snprintf(decText, kPickerTextSize, "%s", buffer);
    }
}
