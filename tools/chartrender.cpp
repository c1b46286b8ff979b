// A rendering tool for looking at charts (not part of the program): runs the
// chart layers on a chart window of the demo data and draws what they yield
// into a 24-bit .bmp: the Milky Way, the grid with its labels' anchors, the
// constellation boundaries and figures, the visible nebula outlines, the
// stars, the constellation labels, the reference marks, and the solar-system
// layer: the Sun, Moon and planets with their discs (once a few pixels wide)
// or symbols and labels, a planet's satellites and their shadows where the
// chart is large enough to part them from the disc, and optionally the
// motion track of one body with its ticks and date labels. Texts are drawn in a small 5x7 capital font.
// Every body and tick placed is also printed ("body NAME X Y RADIUS",
// "tick LABEL X Y") so that scripts can check where things landed.
//
// usage: chartrender DATA_FOLDER OUT.bmp RA_DEG DEC_DEG FIELD_DEG [FRAME [KIND [JD]]]
//                    [--track BODY DAYS]
//   DATA_FOLDER holds ref/, map/ and ss/ (the demo's data folder); FRAME is a
//   chart frame 1-6 (default 1), KIND a projection kind (0 chooses), JD the
//   chart time (UT). The map slot 1 (galaxy files) is DATA_FOLDER/../disc/map
//   when it exists. --track draws the track of BODY (a body name: Sun, Moon,
//   Mercury .. Pluto) over DAYS days centred on the chart time.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/nutation.h"
#include "charts/chartcontext.h"
#include "charts/chartgrid.h"
#include "charts/charttime.h"
#include "charts/deepskyitem.h"
#include "charts/deepskylayers.h"
#include "charts/motiontrack.h"
#include "charts/outlinelayers.h"
#include "charts/solaritems.h"
#include "charts/solarlayer.h"
#include "charts/starreader.h"
#include "charts/trackpoints.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "ephem/bodynames.h"
#include "ephem/ephemload.h"

namespace {

const int kWidth = 900;
const int kHeight = 700;
const double kDeg = kPi / 180;

struct Colour {
    uint8_t r, g, b;
};
const Colour kBackground = {8, 10, 28};
const Colour kMilkyWay = {60, 70, 110};
const Colour kGrid = {40, 80, 60};
const Colour kGridMajor = {60, 130, 90};
const Colour kBoundary = {120, 60, 60};
const Colour kFigure = {80, 120, 200};
const Colour kNebula = {200, 80, 160};
const Colour kStar = {255, 255, 240};
const Colour kLabel = {240, 200, 60};
const Colour kMark = {90, 220, 220};
const Colour kDeepSky = {230, 120, 60};
const Colour kSun = {255, 230, 90};
const Colour kMoon = {210, 210, 200};
const Colour kPlanet = {255, 170, 110};
const Colour kSatellite = {200, 230, 255};
const Colour kShadow = {20, 20, 20};
const Colour kBodyLabel = {255, 150, 150};
const Colour kTrack = {120, 255, 140};
// A body whose disc is at least this radius (pixels) is drawn at its size.
const double kSmallestDisc = 3.0;
// The largest symbol (pixels) drawn for a body too small to show its disc:
// the stars' size law the layer gives its symbols by grows without bound for
// the Sun and Moon (2,500 pixels for the Sun at -27 mag).
const double kLargestSymbol = 10.0;

// A 5x7 font of capitals, digits and a little punctuation: one byte a row,
// bit 4 the left column. Small letters are drawn as capitals, anything else
// as '?'.
struct Glyph {
    char c;
    uint8_t rows[7];
};
const Glyph kFont[] = {
    {' ', {0, 0, 0, 0, 0, 0, 0}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'-', {0, 0, 0, 0x1F, 0, 0, 0}},
    {'+', {0, 0x04, 0x04, 0x1F, 0x04, 0x04, 0}},
    {':', {0, 0x0C, 0x0C, 0, 0x0C, 0x0C, 0}},
    {'.', {0, 0, 0, 0, 0, 0x0C, 0x0C}},
    {',', {0, 0, 0, 0, 0x0C, 0x04, 0x08}},
    {'/', {0, 0x01, 0x02, 0x04, 0x08, 0x10, 0}},
    {'\'', {0x04, 0x04, 0x08, 0, 0, 0, 0}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0, 0x04}},
};
const int kGlyphAdvance = 6;
const int kGlyphHeight = 7;

const Glyph &FindGlyph(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const Glyph &g : kFont)
        if (g.c == c) return g;
    return kFont[sizeof kFont / sizeof kFont[0] - 1];
}

struct Canvas {
    std::vector<uint8_t> rgb = std::vector<uint8_t>(kWidth * kHeight * 3);
    Canvas() {
        for (int i = 0; i < kWidth * kHeight; ++i) Set(i % kWidth, i / kWidth, kBackground);
    }
    void Set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
        uint8_t *p = &rgb[3 * (y * kWidth + x)];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    void Line(int x0, int y0, int x1, int y1, Colour c) {
        // Bresenham; very long lines (off-window projections) are clipped by Set
        if (std::abs(x1 - x0) > 20000 || std::abs(y1 - y0) > 20000) return;
        int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Set(x0, y0, c);
            if (x0 == x1 && y0 == y1) break;
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void Disc(int x, int y, int r, Colour c) {
        for (int j = -r; j <= r; ++j)
            for (int i = -r; i <= r; ++i)
                if (i * i + j * j <= r * r) Set(x + i, y + j, c);
    }
    void Circle(int x, int y, int r, Colour c) {
        if (r < 2) r = 2;
        const int steps = 48;
        for (int k = 0; k < steps; ++k) {
            double a0 = 2 * kPi * k / steps, a1 = 2 * kPi * (k + 1) / steps;
            Line(x + (int)(r * std::cos(a0)), y + (int)(r * std::sin(a0)), x + (int)(r * std::cos(a1)),
                 y + (int)(r * std::sin(a1)), c);
        }
    }
    void Cross(int x, int y, int r, Colour c) {
        Line(x - r, y, x + r, y, c);
        Line(x, y - r, x, y + r, c);
    }
    // text with its top left corner at (x, y)
    void Text(int x, int y, const char *text, Colour c) {
        for (; *text; ++text, x += kGlyphAdvance) {
            const Glyph &g = FindGlyph(*text);
            for (int row = 0; row < kGlyphHeight; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g.rows[row] & (0x10 >> col)) Set(x + col, y + row, c);
        }
    }
    bool WriteBmp(const char *path) const {
        FILE *f = std::fopen(path, "wb");
        if (!f) return false;
        int stride = (kWidth * 3 + 3) & ~3;
        uint32_t size = 54 + stride * kHeight;
        uint8_t head[54] = {'B', 'M'};
        auto put32 = [&](int at, uint32_t v) {
            for (int k = 0; k < 4; ++k) head[at + k] = (uint8_t)(v >> (8 * k));
        };
        put32(2, size);
        put32(10, 54);
        put32(14, 40);
        put32(18, kWidth);
        put32(22, kHeight);
        head[26] = 1;
        head[28] = 24;
        put32(34, stride * kHeight);
        std::fwrite(head, 1, sizeof head, f);
        std::vector<uint8_t> row(stride);
        for (int y = kHeight - 1; y >= 0; --y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint8_t *p = &rgb[3 * (y * kWidth + x)];
                row[3 * x] = p[2];
                row[3 * x + 1] = p[1];
                row[3 * x + 2] = p[0];
            }
            std::fwrite(row.data(), 1, row.size(), f);
        }
        return std::fclose(f) == 0;
    }
};

// Pen codes into polylines.
struct Pen {
    bool down = false;
    int x = 0, y = 0;
    void Apply(Canvas &canvas, int code, int nx, int ny, Colour c) {
        if (code == kPenDraw && down) canvas.Line(x, y, nx, ny, c);
        if (code == kPenMove || code == kPenDraw || code == kPenIntersection) {
            down = true;
            x = nx;
            y = ny;
        } else if (code == kPenNotShown) {
            down = false;
        }
    }
};

// The body type of a name ("jupiter", "Moon"), -1 for none; the Earth and
// its shadow cannot be tracked.
int BodyTypeOfName(const char *name) {
    for (int type = kBodySun; type <= kBodyMoon; ++type) {
        const char *known = GetBodyName(type);
        if (type == kBodyEarth || !known || std::strlen(known) != std::strlen(name)) continue;
        bool same = true;
        for (size_t i = 0; known[i]; ++i)
            same = same && std::tolower(static_cast<unsigned char>(known[i])) ==
                               std::tolower(static_cast<unsigned char>(name[i]));
        if (same) return type;
    }
    return -1;
}

Colour ColourOfBody(int type) {
    if (type == kBodySun) return kSun;
    if (type == kBodyMoon) return kMoon;
    return kPlanet;
}

// The Sun, Moon and planets near the field, farthest first so that nearer
// bodies are drawn over farther ones, each as its disc (its apparent size or
// its symbol, whichever is larger) with its label; then the satellites the
// chart is large enough to show, their shadows on the disc first. Returns
// the number of bodies drawn.
int DrawSolarSystem(ChartContext *c, Canvas &canvas) {
    SolarSystemHit *hits = nullptr;
    int drawn = 0;
    if (CollectBodiesNearField(c, &hits, nullptr, nullptr, 12, kLayerSun | kLayerMoon | kLayerPlanets,
                               12, 12, 0, nullptr) == 1) {
        std::unique_ptr<BodyRecord> work(new BodyRecord);
        double ra = 0, dec = 0, symbol = 0, magnitude = 0;
        int x = 0, y = 0, r;
        char label[kSolarLabelSize];
        while ((r = NextCollectedBodyItem(c, hits, nullptr, &ra, &dec, &x, &y, &symbol, work.get(),
                                          &magnitude, label)) != 0) {
            if (r != kHitClassSolarSystem) continue;
            // the apparent disc (the equatorial diameter, rad, on the chart's
            // scale) once it is a few pixels across, else the body's symbol
            double disc = work->equatorialDiameter * c->pixelsPerRadian / 2;
            if (symbol > kLargestSymbol) symbol = kLargestSymbol;
            int radius = static_cast<int>(std::lround(disc >= kSmallestDisc ? disc : symbol));
            canvas.Disc(x, y, radius, ColourOfBody(work->type));
            canvas.Text(x + radius + 3, y - kGlyphHeight / 2, label, kBodyLabel);
            std::printf("body %s %d %d %d\n", label, x, y, radius);
            ++drawn;
            ResetSatelliteEnumerator(c);
            int sx = 0, sy = 0, satRadius = 0, shadowRadius = 0, s;
            double ratio = 0;
            char satLabel[kSolarLabelSize];
            while ((s = NextPlanetSatellite(c, work.get(), &sx, &sy, &satRadius, &shadowRadius, &ratio,
                                            satLabel)) != 0) {
                if (s == kSatelliteShadow) {
                    canvas.Disc(sx, sy, shadowRadius, kShadow);
                } else if (s == kSatelliteShown) {
                    canvas.Disc(sx, sy, satRadius, kSatellite);
                    canvas.Text(sx + satRadius + 2, sy + 2, satLabel, kSatellite);
                    std::printf("satellite %s %d %d %d\n", satLabel, sx, sy, satRadius);
                }
            }
        }
    }
    std::free(hits);
    return drawn;
}

// The track of one body over days centred on the chart time: its polyline,
// a short stroke across it at each tick with the tick's date label, and the
// body's name at the start of each line. Returns the number of points.
int DrawTrack(ChartContext *c, Canvas &canvas, int type, double days) {
    std::unique_ptr<MotionTrack> track(new MotionTrack());
    if (InitMotionTrack(c, track.get(), kHitClassSolarSystem, 0, type, kTrackOneObject, 0, days, 40,
                        8, 0) != 1) {
        std::fprintf(stderr, "chartrender: the track cannot be set up\n");
        return -1;
    }
    const int maxPoints = 100000;  // a walk longer than this is a fault of the track
    int points = 0, x = 0, y = 0, lastX = 0, lastY = 0, labelX = 0, labelY = 0, r = 0;
    bool down = false;
    double angle = 0;
    char label[kTrackLabelSize];
    for (; points < maxPoints; ++points) {
        label[0] = '\0';
        r = NextTrackPoint(c, nullptr, track.get(), &x, &y, &labelX, &labelY, label, &angle, 0);
        if (r <= 0) break;
        if (r == kTrackPenUp || r == kTrackHidden) {
            down = false;
            continue;
        }
        if (r == kTrackNewLine) {
            canvas.Text(x + 4, y + 4, label, kTrack);
        } else if (down) {
            canvas.Line(lastX, lastY, x, y, kTrack);
        }
        if (r == kTrackTick) {
            // a stroke of 5 pixels either side, across the track's direction
            double dx = x - lastX, dy = y - lastY, d = std::hypot(dx, dy);
            if (d > 0) {
                int px = static_cast<int>(std::lround(-dy / d * 5)), py = static_cast<int>(std::lround(dx / d * 5));
                canvas.Line(x - px, y - py, x + px, y + py, kTrack);
            }
            canvas.Text(labelX, labelY - kGlyphHeight / 2, label, kTrack);
            std::printf("tick %s %d %d\n", label, x, y);
        }
        down = true;
        lastX = x;
        lastY = y;
    }
    FreeMotionTrackSamples(track.get());
    if (r < 0 || points == maxPoints) {
        std::fprintf(stderr, "chartrender: the track failed after %d points\n", points);
        return -1;
    }
    return points;
}

}  // namespace

int main(int argc, char **argv) {
    const char *usage =
        "usage: chartrender DATA_FOLDER OUT.bmp RA_DEG DEC_DEG FIELD_DEG [FRAME [KIND [JD]]] "
        "[--track BODY DAYS]\n";
    // the options after the positional arguments
    int trackBody = -1;
    double trackDays = 0;
    int positional = argc;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--track") != 0) continue;
        if (i + 2 >= argc || (trackBody = BodyTypeOfName(argv[i + 1])) < 0 ||
            !((trackDays = std::atof(argv[i + 2])) > 0)) {
            std::fprintf(stderr, "chartrender: --track wants a body name and a number of days\n%s", usage);
            return 2;
        }
        if (positional == argc) positional = i;
        i += 2;
    }
    argc = positional;
    if (argc < 6) {
        std::fputs(usage, stderr);
        return 2;
    }
    std::string data = argv[1];
    std::string ref = data + "/ref/", map = data + "/map/";
    SetRefDirectories(ref.c_str(), ref.c_str(), ref.c_str());
    std::string disc = data + "/../disc/map/", discRef = data + "/../disc/ref/";
    FILE *probe = std::fopen((disc + "gal.bin").c_str(), "rb");
    if (probe) std::fclose(probe);
    SetMapDirectories(map.c_str(), probe ? disc.c_str() : map.c_str(), map.c_str());
    SetRefDirectories(ref.c_str(), probe ? discRef.c_str() : ref.c_str(), ref.c_str());
    LoadNutationTable((data + "/ss/").c_str());
    std::string ss = data + "/ss/";
    std::vector<char> ssFolder(ss.begin(), ss.end());
    ssFolder.push_back('\0');
    const bool ephemeris = LoadEphemerisData(ssFolder.data()) == 1;
    if (!ephemeris) std::fprintf(stderr, "chartrender: no ephemeris tables in %s: no solar system drawn\n", ss.c_str());
    double ra = std::atof(argv[3]) * kDeg, dec = std::atof(argv[4]) * kDeg;
    double field = std::atof(argv[5]) * kDeg;
    int frame = argc > 6 ? std::atoi(argv[6]) : kFrameJ2000;
    int kind = argc > 7 ? std::atoi(argv[7]) : 0;
    double jd = argc > 8 ? std::atof(argv[8]) : 2460300.5;

    std::unique_ptr<ChartContext> c(new ChartContext);
    std::memset(c.get(), 0, sizeof *c);
    ClearStarReader(c.get());
    SetChartSite(c.get(), 0.0 * kDeg, 51.5 * kDeg, 50, 6.5, 0, 10, 50, 2, 0, 0);
    SetChartTime(c.get(), jd);
    SetStarSearchLimits(c.get(), 6.5, 1, 1, 100, 1, 0, 0, 1, 1);  // north up, east left
    if (BeginStarSearch(c.get(), ra, dec, 0, 0, field, kWidth, kHeight, 0, 0, 0, 0, 0, kind, 1,
                        kStarDatabaseMag7, frame, 0, 1) != 1) {
        std::fprintf(stderr, "chartrender: the chart cannot be set up\n");
        return 1;
    }
    Canvas canvas;
    std::unique_ptr<ChartGrid> g(new ChartGrid);
    InitChartGrid(c.get(), g.get(), 0, 1, 8);
    int x, y, x2, y2, counts[8] = {0};

    if (BeginMilkyWay(g.get())) {
        Pen pen;
        int r;
        while ((r = NextMilkyWayPoint(c.get(), g.get(), &x, &y)) > 0) pen.Apply(canvas, r, x, y, kMilkyWay), ++counts[0];
    }
    int gridFrame = frame == kFrameApparentHorizon || frame == kFrameHorizon ? kGridApparentHorizon : kGridJ2000;
    if (BeginGridLines(c.get(), g.get(), gridFrame, kGridLevelMedium, 0, 0)) {
        Pen pen;
        int r, major = 0;
        while ((r = NextGridLinePoint(c.get(), g.get(), &x, &y, &major)) > 0) {
            pen.Apply(canvas, r, x, y, major ? kGridMajor : kGrid);
            ++counts[1];
        }
        char label[kGridLabelSize];
        double angle;
        BeginGridLines(c.get(), g.get(), gridFrame, kGridLevelMedium, 0, 0);
        while (NextGridLabel(c.get(), g.get(), &x, &y, label, &angle, &x2, &y2) > 0) canvas.Cross(x, y, 3, kGridMajor);
    }
    if (BeginGridLines(c.get(), g.get(), kGridEcliptic, kGridLevelLine, 0, 0)) {
        Pen pen;
        int r;
        while ((r = NextGridLinePoint(c.get(), g.get(), &x, &y, nullptr)) > 0) pen.Apply(canvas, r, x, y, kLabel);
    }
    if (BeginConstellationBoundaries(c.get(), g.get())) {
        Pen pen;
        int r;
        while ((r = NextBoundaryPoint(c.get(), g.get(), &x, &y)) > 0) pen.Apply(canvas, r, x, y, kBoundary), ++counts[2];
    }
    if (BeginConstellationFigures(c.get(), g.get())) {
        int r;
        while ((r = NextFigureSegment(c.get(), g.get(), 4, &x, &y, &x2, &y2)) > 0)
            if (r == 1) canvas.Line(x, y, x2, y2, kFigure), ++counts[3];
    }
    if (BeginVisibleNebulae(c.get(), 12.0, g.get())) {
        Pen pen;
        int r, size;
        char label[kVisibleNebulaLabelSize];
        while ((r = NextVisibleNebulaPoint(c.get(), nullptr, g.get(), &x, &y, &size, label)) > 0) {
            if (r == kOutlineLabelPen) continue;
            pen.Apply(canvas, r == kPenIntersection ? kPenDraw : r, x, y, kNebula);
            ++counts[4];
        }
    }
    // the deep-sky layers: each item as a circle of its larger semi-axis
    {
        struct Layer {
            int (*begin)(ChartContext *, double);
            int (*next)(ChartContext *, const ChartLabelSettings *, DeepSkyPlotItem *);
        } layers[] = {{BeginGalaxyLayer, ReadNextGalaxy},
                      {BeginBrightNebulaLayer, ReadNextBrightNebula},
                      {BeginPlanetaryNebulaLayer, ReadNextPlanetaryNebula},
                      {BeginOpenClusterLayer, ReadNextOpenCluster},
                      {BeginGlobularClusterLayer, ReadNextGlobularCluster},
                      {BeginGalaxyGroupLayer, ReadNextGalaxyGroup}};
        DeepSkyPlotItem item{};
        for (const Layer &layer : layers) {
            if (!layer.begin(c.get(), 11.0)) continue;
            while (layer.next(c.get(), nullptr, &item) > 0) {
                canvas.Circle(item.x, item.y, item.majorSize > item.minorSize ? item.majorSize : item.minorSize,
                              kDeepSky);
                ++counts[4];
            }
        }
    }
    ChartStar star;
    int r;
    while ((r = ReadNextStar(c.get(), &star)) > 0) {
        canvas.Disc(star.x, star.y, star.radius > 0 ? star.radius : 0, kStar);
        ++counts[5];
    }
    EndStarSearch(c.get());
    if (BeginConstellationLabels(c.get())) {
        char name[kConstellationNameFieldSize];
        while (NextConstellationLabel(c.get(), &x, &y, name) > 0) {
            canvas.Cross(x, y, 3, kLabel);
            canvas.Text(x + 5, y + 3, name, kLabel);
            std::printf("label %-20s %4d %4d\n", name, x, y);
            ++counts[6];
        }
    }
    BeginGridLines(c.get(), g.get(), gridFrame, kGridLevelCoarse, 0, 0);
    char label[kGridLabelSize];
    while ((r = NextReferenceMark(c.get(), g.get(), &x, &y, label)) > 0) {
        if (r == kPenNotProjectable) continue;
        canvas.Cross(x, y, 7, kMark);
        ++counts[7];
    }
    int bodies = 0, trackPoints = 0;
    if (ephemeris) {
        if (trackBody >= 0 && (trackPoints = DrawTrack(c.get(), canvas, trackBody, trackDays)) < 0) return 1;
        bodies = DrawSolarSystem(c.get(), canvas);
        FreeEphemerisData();
    } else if (trackBody >= 0) {
        return 1;
    }
    std::printf("milky way %d, grid %d, boundary %d, figure %d, nebula %d, stars %d, labels %d, marks %d, "
                "bodies %d, track points %d\n",
                counts[0], counts[1], counts[2], counts[3], counts[4], counts[5], counts[6], counts[7], bodies,
                trackPoints);
    return canvas.WriteBmp(argv[2]) ? 0 : 1;
}
