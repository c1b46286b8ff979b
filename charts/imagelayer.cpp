// The plotted images of an images group on a chart: each image's centre and
// the four corners of its outline, found through a projection built over
// the image's own pixels (its size spans its height), turned by the image's
// rotation.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "charts/chartcontext.h"
#include "charts/deepskylayers.h"
#include "charts/userlayers.h"
#include "core/mathutil.h"
#include "userdata/imageplots.h"

namespace {

const int kDefaultImageProjection = kProjectionOrthographic;
const double kReachFactor = 1.3;

bool InWindow(const ChartContext *c, int x, int y) {
    return x >= c->visibleLeft && x <= c->visibleRight && y >= c->visibleTop && y <= c->visibleBottom;
}

}  // namespace

int InitImageProjection(const ImagePlotRecord *record, ImageProjection *ip, int unused,
                        double windowAngle) {
    if (!record || !ip) return 0;
    std::memset(ip, 0, sizeof *ip);
    ip->rotation = record->rotation;
    if (record->rotation != 0) {
        ip->sinRotation = std::sin(kPi - record->rotation);
        ip->cosRotation = std::cos(kPi - record->rotation);
        ip->pixelCentreX = record->width * 0.5 + 0.5;
        ip->pixelCentreY = record->height * 0.5 + 0.5;
    }
    int kind = record->projection == 0 ? kDefaultImageProjection : record->projection;
    double lower = std::fabs(record->declination) - record->size / 2, upper = lower + record->size;
    double poleLatitude = record->declination;
    if (kind == kProjectionRectangular || kind == kProjectionMercator) poleLatitude += kPi / 2;
    ChartProjection *p = &ip->projection;
    if (!InitChartProjection(p, record->width, record->height, lower, upper, record->rightAscension,
                             poleLatitude, 0, 0, 1, 0, 0, 0, 0, 0, 0, kind))
        return 0;
    int cx = 0, cy = 0;
    if (!ProjectToChart(p, record->rightAscension, record->declination, &cx, &cy)) return 0;
    int shiftX = cx - (record->width - 1) / 2, shiftY = cy - (record->height - 1) / 2;
    return InitChartProjection(p, record->width, record->height, lower, upper, record->rightAscension,
                               poleLatitude, 0, 0, 1, shiftX, shiftY, 0, 0, windowAngle, 0, kind);
}

int ImagePixelToSky(ImageProjection *ip, int x, int y, double *rightAscension, double *declination) {
    if (!ip) return 0;
    if (ip->rotation != 0) {
        double dx = ip->pixelCentreX - (x + 0.5), dy = ip->pixelCentreY - (y + 0.5);
        double rx = dx * ip->cosRotation + dy * ip->sinRotation + ip->pixelCentreX;
        double ry = dy * ip->cosRotation - dx * ip->sinRotation + ip->pixelCentreY;
        x = (int)std::trunc(rx);
        y = (int)std::trunc(ry);
    }
    return UnprojectFromChart(&ip->projection, x, y, rightAscension, declination);
}

int BeginImageLayer(ChartContext *chart, int groupId) {
    if (!chart) return 0;
    CloseChartLayerFile(chart);
    int count = 0;
    chart->layerFile = OpenImagePlotFile(groupId, &count);
    chart->layerRecordCount = chart->layerFile ? count : 0;
    chart->layerRecordCounter = 0;
    return chart->layerFile ? 1 : 0;
}

int ReadNextImage(ChartContext *c, ImagePlotItem *item, double windowAngle, int shownMode) {
    if (!c || !item || !c->layerFile) return -1;
    if (shownMode == kImagesNone) {
        CloseChartLayerFile(c);
        return 0;
    }
    ImagePlotRecord r;
    while (c->layerRecordCounter < c->layerRecordCount) {
        int index = c->layerRecordCounter++;
        if (ReadNextImagePlotRecord(c->layerFile, &r) != 1) break;
        std::memset(item, 0, sizeof *item);
        item->shown = shownMode == kImagesAllShown ? 1
                      : shownMode == kImagesAllHidden ? 0
                                                      : ((r.flags & kImagePlotShown) ? 1 : 0);
        double ra = r.rightAscension, dec = r.declination;
        if (ConvertToChartFrame(c, &ra, &dec, 0, 0) != 1) continue;
        int x = 0, y = 0;
        if (!ProjectToChart(&c->projection, ra, dec, &x, &y)) continue;
        MirrorChartPixel(c, &x, &y);
        item->rightAscension = ra;
        item->declination = dec;
        item->x = x;
        item->y = y;
        std::unique_ptr<ImageProjection> ip(new ImageProjection);
        if (!InitImageProjection(&r, ip.get(), 0, windowAngle)) continue;
        const int px[4] = {0, 0, r.width, r.width}, py[4] = {0, r.height, r.height, 0};
        bool placed = true;
        for (int k = 0; k < 4 && placed; ++k) {
            double a = 0, b = 0;
            // a corner that cannot be placed leaves no outline: the image is
            // skipped rather than drawn with another image's corners
            if (ImagePixelToSky(ip.get(), px[k], py[k], &a, &b) != 1 || ConvertToChartFrame(c, &a, &b, 0, 0) != 1 ||
                !ProjectToChart(&c->projection, a, b, &item->cornerX[k], &item->cornerY[k]))
                placed = false;
        }
        if (!placed) continue;
        for (int k = 0; k < 4; ++k) MirrorChartPixel(c, &item->cornerX[k], &item->cornerY[k]);
        bool visible = InWindow(c, item->x, item->y);
        for (int k = 0; k < 4 && !visible; ++k) visible = InWindow(c, item->cornerX[k], item->cornerY[k]);
        if (!visible) {
            int visibleHeight = c->visibleBottom - c->visibleTop + 1;
            int visibleWidth = c->visibleRight - c->visibleLeft + 1;
            bool larger = std::abs(item->cornerY[0] - item->cornerY[1]) > visibleHeight ||
                          std::abs(item->cornerX[0] - item->cornerX[3]) > visibleWidth;
            if (larger) {
                double ca = c->centreRightAscension, cd = c->centreDeclination;
                if (ConvertToChartFrame(c, &ca, &cd, 0, 0) == 1 &&
                    AngularSeparation(ca, cd, item->rightAscension, item->declination) <
                        (r.size / 2 + c->field / 2) * kReachFactor)
                    visible = true;
            }
        }
        if (!visible) continue;
        std::memcpy(item->fileName, r.fileName, sizeof item->fileName);
        item->fileName[kImageFileNameSize - 1] = '\0';
        item->index = index;
        return 1;
    }
    CloseChartLayerFile(c);
    return 0;
}
