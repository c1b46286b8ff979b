// Grades, levels and practical frame lengths of the imaging model.
#include "visibility/imaginggrade.h"

#include <cmath>

#include "visibility/imagingtarget.h"

char GetGradeLetter(int grade) {
    static const char kLetters[] = "FDCBA";
    return grade >= 0 && grade < kImagingGrades ? kLetters[grade] : ' ';
}

int GradeFromPercentage(double p, double r, double v, int kind) {
    switch (kind) {
    case kImagingOther:
        return p >= 90 ? 4 : p >= 80 ? 3 : p >= 70 ? 2 : p >= 60 ? 1 : 0;
    case kImagingPlanet:
    case kImagingDouble:
        if (!(r > v)) return 0;
        return p >= 90 ? 4 : p >= 50 ? 3 : p >= 15 ? 2 : 0;
    case kImagingSun:
        return r >= 95 ? 4 : r >= 90 ? 3 : 0;
    default:
        return 0;
    }
}

int LevelFromPercentage(double p, double r, double v, int kind) {
    switch (kind) {
    case kImagingOther:
        return p >= 90 ? 6 : p >= 80 ? 5 : p >= 70 ? 4 : p >= 60 ? 3 : p >= 40 ? 2 : p >= 20 ? 1 : 0;
    case kImagingPlanet:
        if (!(r > v)) return 0;
        return p >= 90 ? 6 : p >= 50 ? 5 : p >= 15 ? 4 : 0;
    case kImagingSun:
        return r >= 95 ? 6 : p >= 90 ? 5 : 0;
    case kImagingDouble:
        if (!(r > v)) return 0;
        return p >= 90 ? 6 : p >= 80 ? 5 : p >= 70 ? 4 : 0;
    default:
        return 0;
    }
}

double SnapExposureTime(double seconds) {
    double minutes = seconds / 60.0;
    if (minutes > 30.0) return std::round(minutes / 5.0) * 5.0 * 60.0;
    if (minutes >= 0.8333333333333334) return std::round(minutes) * 60.0;
    if (seconds >= 5.0) return std::round(seconds / 5.0) * 5.0;
    return seconds;
}
