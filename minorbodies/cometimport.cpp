// Comet element lines, element blocks and the export line (see cometimport.h).
#include "minorbodies/cometimport.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "astro/datetext.h"
#include "astro/datetime.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "minorbodies/mpimport.h"
#include "minorbodies/usercomet.h"

namespace {

const int kCometLineWidth = 255;
const int kBlockLineWidth = 511;
const double kRad = kPi / 180.0;

bool Present(double v) { return v != kNoRealValue; }
bool AngleOk(double v) { return Present(v) && v >= -360.0 && v <= 360.0; }

int IntAt(const char *line, int column, int width) {
    int v = ParseFixedWidthInteger(line + column, width);
    return v == kNoIntegerValue ? 0 : v;
}

void TextAt(const char *line, int column, int width, char *out, int size) {
    std::string field(line + column, static_cast<size_t>(width));
    CopyStringBounded(out, field.c_str(), size);
    TrimTrailingBlanks(out);
    TrimLeadingBlanks(out);
}

bool DateOk(int year, int month) { return year > 0 && year <= 10000 && month > 0 && month <= 12; }

// A block line of at least width characters (blank-padded) with its real text length.
bool ReadBlockLine(FILE *f, std::string *line) {
    line->clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (c != '\r' && line->size() < static_cast<size_t>(kBlockLineWidth)) line->push_back(static_cast<char>(c));
    }
    if (!any || std::ferror(f)) return false;  // a read error ends the block unfinished
    while (!line->empty() && line->back() == ' ') line->pop_back();
    return true;
}

double RealAt(const std::string &line, size_t column, int width) {
    std::string padded = line;
    if (padded.size() < column + static_cast<size_t>(width)) padded.resize(column + static_cast<size_t>(width), ' ');
    return ParseFixedWidthReal(padded.c_str() + column, width);
}

std::string Field(const std::string &line, size_t column, size_t width) {
    if (column >= line.size()) return std::string();
    return line.substr(column, width);
}

}  // namespace

int ParseMonthAbbreviation(const char *text) {
    if (!text) return 0;
    char key[4] = {0, 0, 0, 0};
    int n = 0;
    for (const char *p = text; *p && n < 3; ++p)
        if (std::isalpha(static_cast<unsigned char>(*p))) key[n++] = *p;
        else break;
    if (n < 3) return 0;
    for (int m = 1; m <= 12; ++m) {
        const char *name = GetMonthName(m);
        if (name && MatchPrefixNoCase(key, name)) return m;
    }
    return 0;
}

int ParseCometLine(const char *line, CometRecord *r) {
    if (!line || !r || std::strncmp(line, "C ", 2) != 0) return 0;
    // Every identity and magnitude field afresh: a number kept from the line
    // before would make this comet match, and overwrite, that one.
    uint8_t condensation = r->condensation;
    std::memset(r, 0, sizeof *r);
    r->condensation = condensation;
    if ((line[2] == 'P' || line[2] == 'C' || line[2] == 'D') && line[3] == '/') {
        r->letter = line[2];
        size_t second = 0;
        while (second < 9 && line[9 + second] && line[9 + second] != ' ') ++second;
        size_t length = second + 5;
        if (length > static_cast<size_t>(kCometDesignationSize - 1)) length = kCometDesignationSize - 1;
        std::string designation(line + 4, length);
        CopyStringBounded(r->designation, designation.c_str(), kCometDesignationSize);
        TrimTrailingBlanks(r->designation);
        TextAt(line, static_cast<int>(4 + length + 1), kCometNameSize - 1, r->name, kCometNameSize);
    } else if (std::isdigit(static_cast<unsigned char>(line[2]))) {
        int digits = 0;
        while (digits < 5 && std::isdigit(static_cast<unsigned char>(line[2 + digits]))) ++digits;
        if (line[2 + digits] != 'P' || line[3 + digits] != '/') return 0;
        int number = std::atoi(std::string(line + 2, static_cast<size_t>(digits)).c_str());
        if (number <= 0 || number > 0x7FFF) return 0;
        r->number = static_cast<uint16_t>(number);
        r->letter = 'P';
        TextAt(line, 2 + digits + 2, kCometNameSize - 1, r->name, kCometNameSize);
    } else {
        return 0;
    }
    int ey = IntAt(line, 43, 4), em = IntAt(line, 48, 2), ed = IntAt(line, 51, 2);
    int ty = IntAt(line, 54, 4), tm = IntAt(line, 59, 2);
    double td = ParseFixedWidthReal(line + 62, 6);
    double q = ParseFixedWidthReal(line + 69, 10), e = ParseFixedWidthReal(line + 80, 10);
    double peri = ParseFixedWidthReal(line + 91, 7), node = ParseFixedWidthReal(line + 99, 7);
    double incl = ParseFixedWidthReal(line + 107, 7);
    if (!DateOk(ey, em) || !DateOk(ty, tm) || !Present(td) || !Present(q) || !Present(e) || q == 0.0 || e == 0.0 ||
        e > 2.0 || !AngleOk(peri) || !AngleOk(node) || !AngleOk(incl))
        return 0;
    double H = ParseFixedWidthReal(line + 115, 5), K = ParseFixedWidthReal(line + 121, 5);
    double coma = ParseFixedWidthReal(line + 127, 8);
    r->epoch = ElementLineEpoch(ey, em, ed);
    r->perihelionTime = ElementLineEpoch(ty, tm, td);
    r->q = static_cast<float>(q);
    r->e = static_cast<float>(e);
    r->perihelion = static_cast<float>(peri * kRad);
    r->node = static_cast<float>(node * kRad);
    r->inclination = static_cast<float>(incl * kRad);
    r->H = static_cast<float>(Present(H) ? H : 0.0);
    r->K = static_cast<float>(Present(K) ? K : 0.0);
    r->comaDiameter = Present(coma) && coma != 0.0 ? ComaUnitsFromAU(coma) : kDefaultComaDiameter;
    TextAt(line, 136, 32, r->source, sizeof r->source);
    return 1;
}

int BeginCometImport(CometImport *state, const char *path, int steps, int replaceMagnitudes) {
    if (!state || !path) return 0;
    *state = CometImport();
    state->text = std::fopen(path, "r");
    if (!state->text) return 0;
    state->store = OpenUserCometFile(&state->count);
    if (!state->store) {
        std::fclose(state->text);
        state->text = nullptr;
        return 0;
    }
    state->replaceMagnitudes = replaceMagnitudes;
    state->linesPerStep = EstimateLinesPerStep(state->text, steps);
    return 1;
}

int ImportCometLines(CometImport *state, int32_t *added, int32_t *replaced, int32_t *skipped) {
    if (!state || !state->text || !state->store) return -1;
    char line[kCometLineWidth + 1];
    for (;;) {
        int got = ReadPaddedLine(state->text, line, kCometLineWidth);
        if (got < 0) return -1;
        if (!got) return 0;
        if (std::strncmp(line, "C ", 2) != 0) continue;
        if (!ParseCometLine(line, &state->record)) {
            if (skipped) ++*skipped;
        } else {
            CometRecord set = state->record;
            int r = AddUserCometElements(&state->store, &set, 1, state->replaceMagnitudes);
            if (r == 0) return -1;
            if (r == 1 && added) ++*added;
            if (r == 2 && replaced) ++*replaced;
        }
        if (++state->linesInStep > state->linesPerStep) {
            state->linesInStep = 0;
            return 1;
        }
    }
}

void EndCometImport(CometImport *state) {
    if (!state) return;
    if (state->text) std::fclose(state->text);
    if (state->store) SafeClose(state->store);
    state->text = nullptr;
    state->store = nullptr;
}

int ParseCometElementBlock(FILE *stream, CometRecord *r) {
    if (!stream || !r) return 0;
    r->objectId = 0;
    r->comaDiameter = 0;
    r->H = r->K = 0.0f;
    r->q = 0.0f;
    r->perihelionTime = 0.0;
    std::memset(r->designation, 0, sizeof r->designation);
    bool header = false, haveEpoch = false, haveT = false, haveQ = false, havePeri = false, haveNode = false,
         haveE = false, haveM = false, haveA = false;
    double M = 0.0, n = 0.0, a = 0.0, e = 0.0;
    std::string line;
    while (ReadBlockLine(stream, &line)) {
        if (line.size() <= 1) continue;
        if (!header) {
            header = true;
            if (line.size() < 6) return 0;
            r->letter = line[4];
            r->number = 0;
            std::memset(r->name, 0, sizeof r->name);
            if (line[4] == 'P' && line[3] != ' ') {
                int number = std::atoi(line.c_str());
                if (number <= 0 || number > 0x7FFF) return 0;
                r->number = static_cast<uint16_t>(number);
                std::string name = Field(line, 6, kCometNameSize - 1);
                CopyStringBounded(r->name, name.c_str(), kCometNameSize);
                TrimTrailingBlanks(r->name);
            } else {
                size_t open = line.find('(', 6);
                if (open == std::string::npos) return 0;
                size_t close = line.find(')', open);
                std::string designation = line.substr(6, open - 6);
                while (!designation.empty() && designation.back() == ' ') designation.pop_back();
                CopyStringBounded(r->designation, designation.c_str(), kCometDesignationSize);
                std::string name = line.substr(open + 1, (close == std::string::npos ? line.size() : close) - open - 1);
                CopyStringBounded(r->name, name.c_str(), kCometNameSize);
            }
            continue;
        }
        if (line.compare(0, 2, "Ep") == 0) {
            int year = static_cast<int>(RealAt(line, 6, 4));
            int month = ParseMonthAbbreviation(Field(line, 11, 4).c_str());
            double day = RealAt(line, 16, 4);
            if (!month || !Present(day)) return 0;
            r->epoch = ElementLineEpoch(year, month, day);
            haveEpoch = true;
        } else if (line.compare(0, 2, "T ") == 0) {
            int year = static_cast<int>(RealAt(line, 2, 4));
            int month = ParseMonthAbbreviation(Field(line, 7, 4).c_str());
            double day = RealAt(line, 12, 6);
            if (!month || !Present(day)) return 0;
            r->perihelionTime = ElementLineEpoch(year, month, day);
            haveT = true;
        } else if (line.compare(0, 2, "q ") == 0) {
            double q = RealAt(line, 2, 10);
            if (!Present(q)) return 0;
            r->q = static_cast<float>(q);
            haveQ = true;
        } else if (line.compare(0, 2, "M ") == 0) {
            M = RealAt(line, 2, 10);
            haveM = Present(M);
        } else if (line.compare(0, 2, "n ") == 0 || line.compare(0, 2, "z ") == 0) {
            if (line[0] == 'n') n = RealAt(line, 2, 10);
            double peri = RealAt(line, 26, 10);
            if (Present(peri)) {
                r->perihelion = static_cast<float>(peri * kRad);
                havePeri = true;
            }
        } else if (line.compare(0, 2, "a ") == 0) {
            if (line.find("Node") == std::string::npos) continue;
            a = RealAt(line, 2, 10);
            haveA = Present(a);
            double node = RealAt(line, 26, 10);
            if (Present(node)) {
                r->node = static_cast<float>(node * kRad);
                haveNode = true;
            }
        } else if (line[0] == ' ' && (line[1] == ' ' || line[1] == '+') && line.find("Node") != std::string::npos) {
            double node = RealAt(line, 26, 10);
            if (Present(node)) {
                r->node = static_cast<float>(node * kRad);
                haveNode = true;
            }
        } else if (line.compare(0, 2, "e ") == 0) {
            e = RealAt(line, 2, 10);
            double incl = RealAt(line, 26, 10);
            if (!Present(e) || !Present(incl)) return 0;
            r->e = static_cast<float>(e);
            r->inclination = static_cast<float>(incl * kRad);
            haveE = true;
        } else if (line.compare(0, 2, "Or") == 0 && line.find(" from") != std::string::npos) {
            size_t at = line.find(" from") + 6;
            std::string source = Field(line, at, 32);
            size_t dot = source.find('.');
            if (dot != std::string::npos) source.resize(dot);
            CopyStringBounded(r->source, source.c_str(), sizeof r->source);
            if (!haveT && haveM && haveEpoch && Present(n) && n != 0.0) {
                r->perihelionTime = r->epoch - M / (n * 36525.0);
                haveT = true;
            }
            if (!haveQ && haveA && haveE) {
                r->q = static_cast<float>(e < 1.0 ? (1.0 - e) * a : e == 1.0 ? a : 0.0);
                haveQ = r->q > 0.0f;
            }
            // The needed elements, however many lines gave them.
            return haveT && haveQ && havePeri && haveNode && haveE ? 1 : 0;
        }
    }
    return 0;
}

void FormatCometExportLine(char *text, const char *name, OrbitRecord *orbit) {
    if (!text) return;
    text[0] = '\0';
    if (!orbit) return;
    char upper[kCometNameSize + 16];
    CopyStringBounded(upper, name ? name : "", sizeof upper);
    for (char *c = upper; *c; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    DateRecord date;
    std::memset(&date, 0, sizeof date);
    date.julianDate = JulianDateFromCenturies(orbit->T);
    SetDateRecordFromJulianDate(nullptr, &date);
    if (orbit->q == 0.0 && orbit->e < 1.0 && orbit->a != 0.0) orbit->q = orbit->a * (1.0 - orbit->e);
    std::snprintf(text, 256, "%-39s|2000|%04d%02d%08.5lf|%10.7lf|%9.7lf|%9.5lf|%9.5lf|%9.5lf|%5.2lf|%5.2lf|%s", upper,
                  date.year, date.month, date.day + date.universalHours / 24.0, orbit->q, orbit->e,
                  orbit->peri / kRad, orbit->node / kRad, orbit->incl / kRad, orbit->H, 2.5 * orbit->G, "");
}
