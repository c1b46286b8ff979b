// Minor-planet element lines: import in steps and the export line (see
// mpimport.h). Column layouts: the suite's "MP " line, and astorb.dat of the
// Lowell Observatory asteroid orbit database (columns from 0).
#include "minorbodies/mpimport.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <string>

#include "astro/datetime.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "minorbodies/usermp.h"

namespace {

const int kMpLineWidth = 255;
const int kCatalogueLineWidth = 300;
// Gaussian gravitational constant, radians per day (AU^1.5).
const double kGauss = 0.01720209895;
const double kDegPerRad = 180.0 / kPi;

bool Present(double v) { return v != kNoRealValue; }

double RealAt(const char *line, int column, int width) { return ParseFixedWidthReal(line + column, width); }

// The text of a fixed field, trimmed (size bytes).
void TextAt(const char *line, int column, int width, char *out, int size) {
    std::string field(line + column, static_cast<size_t>(width));
    CopyStringBounded(out, field.c_str(), size);
    TrimTrailingBlanks(out);
    TrimLeadingBlanks(out);
}

bool AngleOk(double v) { return Present(v) && v >= -360.0 && v <= 360.0; }

struct ParsedSet {
    int32_t number;
    char name[kUserMinorPlanetNameSize];
    char source[kUserMinorPlanetSourceSize];
    int year, month;
    double day, M, a, e, peri, node, incl, H, G;
};

bool Valid(const ParsedSet &p) {
    return p.year > 0 && p.year <= 10000 && p.month > 0 && p.month <= 12 && Present(p.day) &&
           Present(p.M) && Present(p.a) && p.a != 0.0 && Present(p.e) && p.e >= 0.0 && p.e <= 2.0 &&
           AngleOk(p.peri) && AngleOk(p.node) && AngleOk(p.incl);
}

int IntAt(const char *line, int column, int width) {
    int v = ParseFixedWidthInteger(line + column, width);
    return v == kNoIntegerValue ? 0 : v;
}

double OrZero(double v) { return Present(v) ? v : 0.0; }

// The real fields of the two line layouts: column (from 0) and width; an
// absent magnitude (H, G) is 0, any other absent field refuses the line.
struct RealColumn {
    double ParsedSet::*field;
    int column, width;
    bool absentIsZero;
};
const RealColumn kMpColumns[] = {
    {&ParsedSet::day, 52, 4, false},   {&ParsedSet::M, 57, 7, false},     {&ParsedSet::a, 65, 10, false},
    {&ParsedSet::e, 76, 8, false},     {&ParsedSet::peri, 85, 7, false},  {&ParsedSet::node, 93, 7, false},
    {&ParsedSet::incl, 101, 7, false}, {&ParsedSet::H, 109, 5, true},     {&ParsedSet::G, 115, 6, true}};
const RealColumn kCatalogueColumns[] = {
    {&ParsedSet::H, 42, 5, true},       {&ParsedSet::G, 49, 4, true},       {&ParsedSet::day, 112, 2, false},
    {&ParsedSet::M, 115, 10, false},    {&ParsedSet::peri, 126, 10, false}, {&ParsedSet::node, 137, 10, false},
    {&ParsedSet::incl, 148, 9, false},  {&ParsedSet::e, 158, 10, false},    {&ParsedSet::a, 169, 12, false}};

template <size_t N>
void ReadRealColumns(const char *line, const RealColumn (&columns)[N], ParsedSet *p) {
    for (const RealColumn &c : columns) {
        double v = RealAt(line, c.column, c.width);
        p->*c.field = c.absentIsZero ? OrZero(v) : v;
    }
}

bool ParseMpLine(const char *line, ParsedSet *p) {
    std::memset(p, 0, sizeof *p);
    char field[33];
    std::string nameField(line + 3, 32);
    CopyStringBounded(field, nameField.c_str(), sizeof field);
    TrimTrailingBlanks(field);
    if (!ParseMinorPlanetNameField(field, &p->number, p->name)) return false;
    p->year = IntAt(line, 44, 4);
    p->month = IntAt(line, 49, 2);
    ReadRealColumns(line, kMpColumns, p);
    TextAt(line, 122, 32, p->source, sizeof p->source);
    return true;
}

bool ParseCatalogueLine(const char *line, ParsedSet *p) {
    std::memset(p, 0, sizeof *p);
    p->number = IntAt(line, 0, 6);
    TextAt(line, 7, 18, p->name, sizeof p->name);
    p->year = IntAt(line, 106, 4);
    p->month = IntAt(line, 110, 2);
    ReadRealColumns(line, kCatalogueColumns, p);
    CopyStringBounded(p->source, "Bowell", sizeof p->source);
    return true;
}

int Step(MinorPlanetImport *s, int32_t *added, int32_t *replaced, int32_t *skipped, bool catalogue) {
    if (!s || !s->text || !s->store) return -1;
    const int width = catalogue ? kCatalogueLineWidth : kMpLineWidth;
    char line[kCatalogueLineWidth + 1];
    for (;;) {
        int got = ReadPaddedLine(s->text, line, width);
        if (got < 0) return -1;
        if (!got) return SortImportedMinorPlanets(s);
        if (!catalogue && std::strncmp(line, "MP ", 3) != 0) continue;
        ParsedSet p;
        bool parsed = catalogue ? ParseCatalogueLine(line, &p) : ParseMpLine(line, &p);
        MinorPlanetRecord record;
        bool built = parsed && Valid(p) &&
                     OrbitClassAllowed(&s->options, p.a, p.e, p.incl / kDegPerRad, p.H, p.number) &&
                     BuildMinorPlanetRecord(&record, p.number, p.name, 0.0,
                                            ElementLineEpoch(p.year, p.month, p.day), p.M, 0.0, p.a, 0.0, p.e,
                                            p.peri, p.node, p.incl, p.H, p.G, p.source);
        int r = CountImportedMinorPlanet(s, built ? &record : nullptr, added, replaced, skipped);
        if (r != 0) return r;
    }
}

}  // namespace

double ElementLineEpoch(int year, int month, double day) {
    // The day's fraction counts: the mean anomaly belongs to the true epoch,
    // and dropping up to a day would misplace a fast near-Earth object by degrees.
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    double whole = std::floor(day);
    SetDateRecord(&date, nullptr, month, static_cast<int>(whole), year, (day - whole) * 24.0, kUniversalTime);
    ComputeDeltaTAndNutation(&date, 0.0001);
    return date.centuriesTT;
}

int SortImportedMinorPlanets(MinorPlanetImport *s) {
    if (s->addedObjects == 0) return 0;
    int32_t highest = 0;
    int ok = SortUserMinorPlanetFile(&s->store, s->count, &highest);
    s->addedObjects = 0;
    return ok ? 0 : -1;
}

int CountImportedMinorPlanet(MinorPlanetImport *s, MinorPlanetRecord *record, int32_t *added,
                             int32_t *replaced, int32_t *skipped) {
    if (!record) {
        if (skipped) ++*skipped;
    } else {
        int r = AddUserMinorPlanetElements(s->store, record, &s->count);
        if (r == 0) return -1;
        if (r == 1) {
            if (added) ++*added;
            ++s->addedObjects;
        } else if (r == 2) {
            if (replaced) ++*replaced;
        } else if (skipped) {
            ++*skipped;
        }
    }
    if (++s->linesInStep > s->linesPerStep) {
        s->linesInStep = 0;
        return 1;
    }
    return 0;
}

int ReadPaddedLine(FILE *text, char *buffer, int width) {
    std::string line;
    int c;
    bool any = false;
    while ((c = std::fgetc(text)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (c != '\r' && static_cast<int>(line.size()) < width) line.push_back(static_cast<char>(c));
    }
    if (std::ferror(text)) return -1;  // a read error is no end of the file
    if (!any) return 0;
    line.resize(static_cast<size_t>(width), ' ');
    std::memcpy(buffer, line.data(), static_cast<size_t>(width));
    buffer[width] = '\0';
    return 1;
}

int EstimateLinesPerStep(FILE *text, int steps) {
    int64_t size = StreamSize(text);
    std::string first;
    int c;
    while ((c = std::fgetc(text)) != EOF && c != '\n') first.push_back(static_cast<char>(c));
    std::rewind(text);
    int64_t lines = size > 0 ? size / static_cast<int64_t>(first.size() + 2) : 0;
    if (steps <= 0) return 1;
    int64_t per = lines / steps;
    return per < 1 ? 1 : static_cast<int>(per);
}

int ParseMinorPlanetNameField(const char *text, int32_t *number, char *name) {
    if (!text || std::strlen(text) < 2 || !number || !name) return 0;
    *number = 0;
    if (text[0] != '(') {
        std::string n(text, std::min<size_t>(std::strlen(text), 32));
        CopyStringBounded(name, n.c_str(), kUserMinorPlanetNameSize);
        TrimTrailingBlanks(name);
        return 1;
    }
    size_t i = 1;
    std::string digits;
    while (text[i] && text[i] != ' ' && text[i] != ')' && digits.size() < 8) digits.push_back(text[i++]);
    *number = std::atoi(digits.c_str());
    // The name starts two characters after the number: ") name".
    size_t start = i + 2;
    if (start > std::strlen(text)) start = std::strlen(text);
    std::string n(text + start, std::min<size_t>(std::strlen(text + start), 32));
    CopyStringBounded(name, n.c_str(), kUserMinorPlanetNameSize);
    TrimTrailingBlanks(name);
    return 1;
}

int OrbitClassAllowed(const OrbitClassOptions *o, double a, double e, double inclination, double H,
                      int32_t number) {
    if (!o) return 1;
    if (o->numberedOnly && number <= 0) return 0;
    int c = ClassifyOrbit(a, e, inclination, H);
    if (o->nearEarth && c >= 4 && c <= 7) return 1;
    if (o->outer && (c == 15 || c == 16 || c == 17 || c == 20)) return 1;
    if (o->mainBelt && c == 10) return 1;
    if (o->centaurs && c == 14) return 1;
    if (o->others && c != 10 && c != 14 && c != 17 && c != 20) return 1;
    return 0;
}

int BeginMinorPlanetImport(MinorPlanetImport *state, const char *path, const OrbitClassOptions *options,
                           int steps) {
    if (!state || !path) return 0;
    *state = MinorPlanetImport();
    state->text = std::fopen(path, "r");
    if (!state->text) return 0;
    state->store = OpenUserMinorPlanetFile(&state->count);
    if (!state->store) {
        std::fclose(state->text);
        state->text = nullptr;
        return 0;
    }
    if (options) state->options = *options;
    state->linesPerStep = EstimateLinesPerStep(state->text, steps);
    return 1;
}

int ImportMinorPlanetLines(MinorPlanetImport *state, int32_t *added, int32_t *replaced, int32_t *skipped) {
    return Step(state, added, replaced, skipped, false);
}

int ImportAsteroidCatalogueLines(MinorPlanetImport *state, int32_t *added, int32_t *replaced,
                                 int32_t *skipped) {
    return Step(state, added, replaced, skipped, true);
}

void EndMinorPlanetImport(MinorPlanetImport *state) {
    if (!state) return;
    if (state->text) std::fclose(state->text);
    if (state->store) SafeClose(state->store);
    state->text = nullptr;
    state->store = nullptr;
}

void FormatMinorPlanetExportLine(char *text, int32_t number, const char *name, double time, OrbitRecord *orbit) {
    if (!text) return;
    text[0] = '\0';
    if (!orbit) return;
    // Upper-cased on a copy: the caller's name is not ours to change.
    char upper[kUserMinorPlanetNameSize];
    CopyStringBounded(upper, name ? name : "", sizeof upper);
    for (char *c = upper; *c; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    if (orbit->a == 0.0 && orbit->e < 1.0 && orbit->q != 0.0) orbit->a = orbit->q / (1.0 - orbit->e);
    double n = orbit->a > 0.0 ? kGauss / (orbit->a * std::sqrt(orbit->a)) : 0.0;
    double M = ReduceModuloPositive((time - orbit->T) * 36525.0 * n, 2.0 * kPi);
    // The date printed is that of `time`, where M belongs, so a re-import
    // puts the object where this line says.
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = JulianDateFromCenturies(time);
    SetDateRecordFromJulianDate(nullptr, &date);
    char num[16] = "";
    if (number != 0) std::snprintf(num, sizeof num, "%6d", number);
    std::snprintf(text, 256,
                  "%6s %-14s|%04d %02d %06.3lf|%10.8lf|%8.6lf|%8.4lf|%9.5lf|%9.5lf| 2000|%10.6lf|%5.2lf|%5.2lf|%7.2lf",
                  num, upper, date.year, date.month, date.day + date.universalHours / 24.0, orbit->e, orbit->a,
                  orbit->incl * kDegPerRad, orbit->node * kDegPerRad, orbit->peri * kDegPerRad, M * kDegPerRad,
                  orbit->H, orbit->G, 0.0);
}

void FormatMinorPlanetExportLineForFile(char *text, int32_t number, const char *name, int32_t fileNumber,
                                        OrbitRecord *orbit) {
    FormatMinorPlanetExportLine(text, number, name, CenturiesFromJulianDate(GetElementFileEpoch(fileNumber)),
                                orbit);
}
