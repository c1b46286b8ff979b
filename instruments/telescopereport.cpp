// The telescope report's contents: eyepiece rows and their sorting, the
// summary and the clipboard text, computed on copies of the optics.
#include "instruments/telescopereport.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <memory>

#include "astro/location.h"
#include "core/mathutil.h"
#include "instruments/optics.h"
#include "instruments/standardscopes.h"
#include "instruments/camerarecords.h"
#include "instruments/instrumentchoice.h"
#include "photometry/skybright.h"
#include "sites/observerstore.h"

namespace {

const double kRadiansToDegrees = 180.0 / kPi;

std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char *format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

double SiteLimit(const ReportConditions &c) { return c.site ? c.site->nakedEyeLimit : 6.0; }
double SiteSeeing(const ReportConditions &c) { return c.site ? c.site->seeing : 2.0; }

}  // namespace

const char *TelescopeTypeName(int type) {
    static const char *const names[] = {"Refractor", "Reflector", "SCT"};
    return type >= 1 && type <= 3 ? names[type - 1] : "";
}

double ReportLimitingMagnitude(const OpticsBlock &optics, const ReportConditions &c) {
    return ComputeTelescopeLimitingMagnitude(&optics, c.observer, 0.1,
                                             ComputeSkyBrightnessFromLimit(SiteLimit(c)), 0.0, 0.0,
                                             SiteSeeing(c) / 2.0);
}

std::vector<EyepieceReportRow> BuildEyepieceReportRows(const OpticsBlock &optics,
                                                       const ReportConditions &conditions) {
    std::vector<EyepieceReportRow> rows;
    int n = std::min<int>(optics.eyepieceCount, kMaxEyepieces);
    if (n <= 0) return rows;
    // The optics block is 165 KB: a heap copy, whose configuration the
    // computation may change freely.
    auto work = std::make_unique<OpticsBlock>(optics);
    bool barlow = optics.barlowFactor != 0.0f && optics.barlowFactor != 1.0f;
    for (int pass = 0; pass < (barlow ? 2 : 1); ++pass) {
        for (int i = 0; i < n; ++i) {
            EyepieceReportRow r{};
            r.row = static_cast<uint32_t>(i) | (pass ? kBarlowRowBit : 0u);
            work->barlowInUse = pass ? 1 : 0;
            SelectEyepiece(work.get(), i);
            r.magnification = work->magnification;
            r.trueField = work->trueField;
            r.exitPupil = ComputeExitPupil(work.get());
            r.limitingMagnitude = ReportLimitingMagnitude(*work, conditions);
            FormatEyepieceLabel(r.label, work.get(), i, 1);
            rows.push_back(r);
        }
    }
    return rows;
}

int CompareEyepieceRows(const EyepieceReportRow &a, const EyepieceReportRow &b, int key) {
    int k = key < 0 ? -key : key;
    if (k == 1) {
        int32_t x = static_cast<int32_t>(a.row), y = static_cast<int32_t>(b.row);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    double x = 0, y = 0;
    switch (k) {
    case 2: x = a.magnification; y = b.magnification; break;
    case 3: x = a.trueField; y = b.trueField; break;
    case 4: x = a.exitPupil; y = b.exitPupil; break;
    case 5: x = a.limitingMagnitude; y = b.limitingMagnitude; break;
    default: return 0;
    }
    int c = x < y ? -1 : x > y ? 1 : 0;
    return key < 0 ? -c : c;
}

void SortEyepieceReportRows(std::vector<EyepieceReportRow> *rows, int key) {
    if (!rows) return;
    std::stable_sort(rows->begin(), rows->end(), [key](const EyepieceReportRow &a, const EyepieceReportRow &b) {
        return CompareEyepieceRows(a, b, key) < 0;
    });
}

int NextReportSortKey(int key, int column) {
    int wanted = column + 1;
    return (key == wanted || key == -wanted) ? -key : wanted;
}

void RecommendedMagnifications(double apertureMm, double out[3]) {
    out[0] = RoundToSignificantDigits(apertureMm / 7.0, 2);
    out[1] = RoundToSignificantDigits(apertureMm / 4.0, 2);
    out[2] = RoundToSignificantDigits(apertureMm, 2);
}

int ReportFinderValues(const InstrumentRecord &t, const ReportConditions &c, double *magnification,
                       double *aperture, double *trueField, double *limit) {
    if (t.opticsCount < 2) return 0;
    auto finder = std::make_unique<OpticsBlock>(t.optics[1]);
    ComputeOpticsLimits(finder.get());
    *magnification = finder->magnification;
    *aperture = finder->aperture;
    *trueField = finder->trueField;
    *limit = ReportLimitingMagnitude(*finder, c);
    return 1;
}

std::string ReportSiteLine(const ReportConditions &c) {
    return Format("%s (naked-eye mag limit %3.1lf)", c.site ? c.site->name : "", SiteLimit(c));
}

std::string ReportObserverLine(const ReportConditions &c) {
    double experience = c.observer ? c.observer->experience : 0.85;
    double pupil = c.observer ? c.observer->pupilDiameter : 6.0;
    int level = static_cast<int>(experience * 4.0 < 0 ? std::ceil(experience * 4.0 - 0.5)
                                                      : std::floor(experience * 4.0 + 0.5));
    const char *name = GetExperienceName(level);
    return Format("%s (%s, %3.1lfmm pupils)", c.observer ? c.observer->name : "", name ? name : "", pupil);
}

namespace {

// The summary's lines shared by the dialog and the clipboard.
std::vector<std::string> SummaryLines(const InstrumentRecord &t) {
    const OpticsBlock &m = t.optics[0];
    double rec[3];
    RecommendedMagnifications(m.aperture, rec);
    return {
        Format("Telescope type: %s", TelescopeTypeName(m.type)),
        Format("Aperture: %s", FormatLength(m.aperture, t.displayUnit)),
        Format("Focal length: %s", FormatLength(m.focalLength, t.displayUnit)),
        Format("Focal ratio: %4.1lf", m.focalRatio),
        Format("Mounting: %s", t.mounting ? "Equatorial" : "Alt/Azimuth"),
        Format("Optical condition: %s", GetConditionName(m.condition)),
        "",
        Format("Dawes resolution limit: %s", FormatAngleWithUnit(m.dawesLimit, 2)),
        Format("Typical practical visual magnification limit: %.0lf", m.magnificationLimit),
        Format("Recommended eyepiece magnifications: %.0lf, %.0lf, %.0lf plus 2X Barlow", rec[0], rec[1],
               rec[2]),
        Format("Typical limiting visual magnitude: %4.1lf", m.limitingMagnitude),
    };
}

}  // namespace

std::string BuildReportSummary(const InstrumentRecord &t, const ReportConditions &c, int professional) {
    std::vector<std::string> lines = SummaryLines(t);
    double mag, aperture, field, limit;
    if (ReportFinderValues(t, c, &mag, &aperture, &field, &limit)) {
        lines.push_back("");
        lines.push_back(Format("%.0lf x %.0lf mm finder scope Field of View: %s Limiting magnitude: %4.1lf", mag,
                               aperture, FormatAngleWithUnit(field * kRadiansToDegrees, 0), limit));
    }
    int cameras = std::max(0, std::min(static_cast<int>(t.optics[0].cameraCount), kMaxCameras));
    for (int k = 0; professional && k < cameras; ++k) {
        const CameraEntry &cam = t.optics[0].cameras[k];
        if (k == 0) lines.push_back("");
        lines.push_back(Format("%.*s %s: %d x %d pixels (1x1 bins)", static_cast<int>(sizeof cam.name), cam.name,
                               cam.kind < 3 ? kCameraKindNames[cam.kind] : "", static_cast<int>(cam.pixelsAcross),
                               static_cast<int>(cam.pixelsDown)));
    }
    std::string text;
    for (const std::string &line : lines) {
        if (text.size() + line.size() + 2 >= 4098) break;
        text += line + "\r\n";
    }
    if (text.size() >= 2) text.resize(text.size() - 2);  // no line break after the last line
    return text;
}

std::string BuildReportCopyText(const InstrumentRecord &t, const std::vector<EyepieceReportRow> &rows,
                                const ReportConditions &c, const std::vector<CameraReportRow> *cameraRows,
                                const std::vector<int> *cameraOrder) {
    // A growable text: a telescope of 70 eyepieces with a Barlow gives 140
    // rows, far beyond a fixed block.
    std::string text = Format("%s Report\r\n", t.name) + "\r\n";
    for (const std::string &line : SummaryLines(t)) text += line + "\r\n";
    double mag, aperture, field, limit;
    if (ReportFinderValues(t, c, &mag, &aperture, &field, &limit)) {
        text += "\r\n";
        text += Format("%.0lf x %.0lf mm Finder:\r\n", mag, aperture);
        text += Format("Field of View: %s\r\n", FormatAngleWithUnit(field * kRadiansToDegrees, 0));
        text += Format("Limiting visual magnitude: %4.1lf\r\n", limit);
    }
    if (cameraRows && !cameraRows->empty()) {
        text += "\r\nCamera\tFocal State\tLens\tField of View\tResolution\r\n";
        for (size_t i = 0; i < cameraRows->size(); ++i) {
            size_t at = cameraOrder && i < cameraOrder->size() ? static_cast<size_t>((*cameraOrder)[i]) : i;
            if (at >= cameraRows->size()) continue;
            const CameraReportRow &r = (*cameraRows)[at];
            text += std::string(r.camera) + "\t" + r.focalState + "\t" + r.lens + "\t" + r.field + "\t" +
                    r.resolution + "\r\n";
        }
    }
    text += "\r\nEyepiece\tMagnification\tTrue Field of View\tExit Pupil\tLimiting Mag.\r\n";
    for (const EyepieceReportRow &r : rows) {
        text += Format("%s\t%.0lf\t", r.label, r.magnification);
        text += FormatAngleWithUnit(r.trueField * kRadiansToDegrees * 60.0, 1);
        text += Format("\t%.1lf\t%4.1lf\r\n", r.exitPupil, r.limitingMagnitude);
    }
    text += "\r\nVisual limiting magnitudes computed for:\r\n";
    text += ReportSiteLine(c) + "\r\n";
    text += ReportObserverLine(c) + "\r\n";
    return text;
}
