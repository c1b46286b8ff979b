// The telescope report's camera rows and their sort order.
#include "instruments/camerareport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/sizetext.h"
#include "instruments/camerageometry.h"
#include "photometry/seeing.h"

namespace {

const double kRadiansToArcminutes = 60.0 * 180.0 / 3.14159265358979323846;
const uint8_t kPrimeFocus = 0, kProjection = 1, kAfocal = 2, kPiggyback = 3;

struct RowMaker {
    OpticsBlock *block;
    int camera;
    std::vector<CameraReportRow> *rows;

    void Add(uint8_t focalState, int extender, int lens, const char *stateText, const char *lensText,
             double lensSort) {
        CameraReportRow r;
        std::memset(&r, 0, sizeof r);
        const CameraEntry &c = block->cameras[camera];
        std::snprintf(r.camera, sizeof r.camera, "%.*s", static_cast<int>(sizeof c.name), c.name);
        std::snprintf(r.focalState, sizeof r.focalState, "%s", stateText);
        std::snprintf(r.lens, sizeof r.lens, "%s", lensText);
        r.lensSort = lensSort;
        block->focalState = focalState;
        block->extenderIndex = extender < 0 ? kNoEyepiece : static_cast<uint8_t>(extender);
        if (ComputeCameraField(block, camera, lens)) {
            double w = c.fieldWidth, h = c.fieldHeight;
            FormatAngularSize(r.field, sizeof r.field, w * kRadiansToArcminutes, h * kRadiansToArcminutes);
            r.fieldSort = std::max(w, h);
            r.resolutionArcsec = ComputeImagingResolution(block, camera, GetSeeingForRating(0), 1);
            std::snprintf(r.resolution, sizeof r.resolution, "%4.1lf\"/pix", r.resolutionArcsec);
        }
        rows->push_back(r);
    }
};

std::string FactorText(const char *name, double factor) {
    char text[64];
    std::snprintf(text, sizeof text, "%s (%.1lfX)", name, factor);
    return text;
}

}  // namespace

std::vector<CameraReportRow> BuildCameraReportRows(const OpticsBlock &optics) {
    std::vector<CameraReportRow> rows;
    auto block = std::make_unique<OpticsBlock>(optics);
    int cameras = std::max(0, std::min(static_cast<int>(block->cameraCount), kMaxCameras));
    int extenders = std::min(static_cast<int>(block->extenderCount), kMaxExtenders);
    for (int k = 0; k < cameras; ++k) {
        const CameraEntry &c = block->cameras[k];
        int lenses = std::max(0, std::min(static_cast<int>(c.lensCount), kCameraLensSlots));
        RowMaker m{block.get(), k, &rows};
        m.Add(kPrimeFocus, -1, -1, "Prime Focus", "", 0.0);
        for (int f = 0; f < extenders; ++f) {
            double factor = block->extenderFactors[f];
            m.Add(kPrimeFocus, f, -1, FactorText(factor >= 1.0 ? "Extender" : "Reducer", factor).c_str(), "", 0.0);
        }
        auto afocal = [&] {
            if (!block->afocalOffered) return;
            for (int l = 0; l < lenses; ++l)
                for (int f = 0; f < extenders; ++f)
                    m.Add(kAfocal, f, l, FactorText("Afocal", block->extenderFactors[f]).c_str(), c.lenses[l].name,
                          c.lenses[l].focalLength);
        };
        auto projection = [&] {
            if (!block->projectionOffered) return;
            char text[32];
            std::snprintf(text, sizeof text, "%.0lfmm EP @ %.0lfmm", block->projectionEyepiece.focalLength,
                          block->projectionDistance);
            m.Add(kProjection, -1, -1, "Eyepiece projection", text, block->projectionEyepiece.focalLength);
        };
        if (c.kind == 0) {
            if (block->projectionOffered) m.Add(kProjection, -1, -1, "Eyepiece projection", "", 0.0);
        } else if (c.kind == 1) {
            afocal();
            projection();
            for (int l = 0; l < lenses; ++l)
                m.Add(kPiggyback, -1, l, "Piggyback", c.lenses[l].name, c.lenses[l].focalLength);
        } else if (c.kind == 2) {
            projection();
            afocal();
        }
    }
    return rows;
}

namespace {

bool IsPrime(const CameraReportRow &r) { return std::strstr(r.focalState, "Prime") != nullptr; }

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int CompareStates(const CameraReportRow &a, const CameraReportRow &b) {
    bool pa = IsPrime(a), pb = IsPrime(b);
    if (pa != pb) return pa ? -1 : 1;
    return Sign(std::strcmp(a.focalState, b.focalState));
}

}  // namespace

int CompareCameraRows(const CameraReportRow &a, const CameraReportRow &b, int key) {
    int k = key < 0 ? -key : key;
    if (k == 1) {
        int c = Sign(std::strcmp(a.camera, b.camera));
        return c ? c : CompareStates(a, b);
    }
    if (k == 2) {
        bool pa = IsPrime(a), pb = IsPrime(b);
        if (pa != pb) return pa ? -1 : 1;  // "Prime" first in both directions
        int c = Sign(std::strcmp(a.focalState, b.focalState));
        return key < 0 ? -c : c;
    }
    double x, y;
    switch (k) {
    case 3: x = a.lensSort; y = b.lensSort; break;
    case 4: x = a.fieldSort; y = b.fieldSort; break;
    case 5: x = a.resolutionArcsec; y = b.resolutionArcsec; break;
    default: return 0;
    }
    int c = x < y ? -1 : x > y ? 1 : 0;
    return key < 0 ? -c : c;
}

std::vector<int> SortCameraReportRows(const std::vector<CameraReportRow> &rows, int key) {
    std::vector<int> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return CompareCameraRows(rows[a], rows[b], key) < 0; });
    return order;
}
