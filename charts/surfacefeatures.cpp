// Reading the surface-feature files and placing features on a body's disc.
#include "charts/surfacefeatures.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "charts/chartcontext.h"
#include "core/datapaths.h"
#include "core/mathutil.h"

namespace {

const double kTenthDegree = kPi / 1800.0;
const int kSmallestDisc = 3;   // pixels: no features on a disc this small

double RoundHalfAway(double x) { return x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5); }

}  // namespace

int GetDiscPixelDiameter(const BodyRecord *body, double pixelsPerRadian) {
    if (!body) return 0;
    double d = RoundHalfAway(body->equatorialDiameter * pixelsPerRadian);
    if (!(d > kSmallestDisc) || d > 1e6) return 0;
    return static_cast<int>(d);
}

SurfaceFeatureReader *OpenSurfaceFeatures(const char *folder, const BodyRecord *body,
                                          double rotationAngle, double pixelsPerRadian) {
    if (!body || (body->type != kBodyMars && body->type != kBodyMoon)) return nullptr;
    const int diameter = GetDiscPixelDiameter(body, pixelsPerRadian);
    if (diameter == 0) return nullptr;
    SurfaceFeatureReader *r =
        static_cast<SurfaceFeatureReader *>(std::calloc(1, sizeof(SurfaceFeatureReader)));
    if (!r) return nullptr;
    // The disc is seen from over the point at the central meridian and the
    // latitude of centre; for the Moon those are its current librations.
    // Longitudes are projected as east longitudes, which the disc shows
    // towards the sky's west like a planet's own east limb: Mars's
    // planetographic longitudes (and its central meridian) count westwards
    // and turn round.
    r->longitudeSign = body->type == kBodyMars ? -1 : 1;
    if (!InitChartProjection(&r->projection, diameter, diameter, -kPi / 2, kPi / 2,
                             ReduceModuloPositive(r->longitudeSign * body->centralMeridian, 2 * kPi),
                             body->latitudeOfCentre, 0, 0, 1, 0, 0, 0, 0, 0, 1,
                             kProjectionOrthographic)) {
        std::free(r);
        return nullptr;
    }
    const char *base = folder ? folder : GetRefDirectory(0);
    std::string path = std::string(base ? base : "") +
                       (body->type == kBodyMars ? "marsf.bin" : "moonf.bin");
    r->file = std::fopen(path.c_str(), "rb");
    if (!r->file) {
        std::free(r);
        return nullptr;
    }
    r->radius = diameter / 2;
    const double rotation = body->axisPositionAngle - rotationAngle;
    r->sinRotation = std::sin(rotation);
    r->cosRotation = std::cos(rotation);
    r->yScale = 1.0;
    return r;
}

int NextSurfaceFeature(const ChartContext *chart, SurfaceFeatureReader *reader, int centreX,
                       int centreY, int *x, int *y, char *name) {
    if (!reader || !reader->file) return 0;
    SurfaceFeatureRecord record;
    if (std::fread(&record, sizeof record, 1, reader->file) != 1) {
        std::fclose(reader->file);
        reader->file = nullptr;
        return 0;
    }
    record.name[kSurfaceFeatureNameSize - 1] = '\0';
    double lon = ReduceModuloPositive(reader->longitudeSign * record.longitude * kTenthDegree, 2 * kPi);
    double lat = record.latitude * kTenthDegree;
    int px = 0, py = 0;
    if (!ProjectToChart(&reader->projection, lon, lat, &px, &py)) return kFeatureFarSide;
    const double dx = px - reader->radius, dy = py - reader->radius;
    const int rx = static_cast<int>(RoundHalfAway(dx * reader->cosRotation - dy * reader->sinRotation));
    const int ry = static_cast<int>(
        RoundHalfAway((dy * reader->cosRotation + dx * reader->sinRotation) * reader->yScale));
    const bool mirrorX = chart && chart->mirrorX;
    const bool mirrorY = chart && chart->mirrorY;
    if (x) *x = mirrorX ? centreX + rx : centreX - rx;
    if (y) *y = mirrorY ? centreY + ry : centreY - ry;
    if (name) std::memcpy(name, record.name, kSurfaceFeatureNameSize);
    return kFeaturePlaced;
}

void CloseSurfaceFeatures(SurfaceFeatureReader *reader) {
    if (!reader) return;
    if (reader->file) std::fclose(reader->file);
    std::free(reader);
}
