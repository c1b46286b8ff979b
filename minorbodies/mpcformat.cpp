// The MPC's one-line orbit formats (see mpcformat.h). Columns below are the
// MPC's, counted from 1.
#include "minorbodies/mpcformat.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "minorbodies/usercomet.h"

namespace {

const int kMpcLineWidth = 255;
const double kRad = kPi / 180.0;

// Field of columns first..last (1-based, inclusive), blank-padded line.
std::string Cols(const char *line, int first, int last) {
    return std::string(line + first - 1, static_cast<size_t>(last - first + 1));
}

double Real(const char *line, int first, int last) {
    std::string f = Cols(line, first, last);
    return ParseFixedWidthReal(f.c_str(), static_cast<int>(f.size()));
}

bool Present(double v) { return v != kNoRealValue; }

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    size_t start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

// 0-9, A-Z = 10-35, a-z = 36-61; -1 otherwise.
int Base62(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 36;
    return -1;
}

// The readable comet designation: "1P/Halley", "C/1995 O1 (Hale-Bopp)",
// "P/2010 A2 (LINEAR)", "C/2020 F3-A (NEOWISE)".
bool ParseCometDesignation(const std::string &text, CometRecord *r) {
    size_t slash = text.find('/');
    if (slash == std::string::npos || slash == 0) return false;
    char letter = text[slash - 1];
    if (!std::isalpha(static_cast<unsigned char>(letter))) return false;
    r->letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    std::string digits = text.substr(0, slash - 1);
    if (!digits.empty()) {
        for (char c : digits)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        int number = std::atoi(digits.c_str());
        if (number <= 0 || number > 0x7FFF) return false;
        r->number = static_cast<uint16_t>(number);
        std::string name = Trimmed(text.substr(slash + 1));
        CopyStringBounded(r->name, name.c_str(), kCometNameSize);
        return true;
    }
    std::string rest = text.substr(slash + 1);
    size_t open = rest.find('(');
    std::string designation = Trimmed(open == std::string::npos ? rest : rest.substr(0, open));
    std::string name;
    if (open != std::string::npos) {
        size_t close = rest.find(')', open);
        name = rest.substr(open + 1, (close == std::string::npos ? rest.size() : close) - open - 1);
    }
    if (designation.empty()) return false;
    CopyStringBounded(r->designation, designation.c_str(), kCometDesignationSize);
    CopyStringBounded(r->name, name.c_str(), kCometNameSize);
    return true;
}

}  // namespace

int UnpackMpcDate(const char *packed, int *year, int *month, int *day) {
    if (!packed || std::strlen(packed) < 5) return 0;
    int century = packed[0] >= 'I' && packed[0] <= 'L' ? packed[0] - 'I' + 18 : -1;
    if (century < 0 || !std::isdigit(static_cast<unsigned char>(packed[1])) ||
        !std::isdigit(static_cast<unsigned char>(packed[2])))
        return 0;
    int m = Base62(packed[3]), d = Base62(packed[4]);
    if (m < 1 || m > 12 || d < 1 || d > 31) return 0;
    if (year) *year = century * 100 + (packed[1] - '0') * 10 + (packed[2] - '0');
    if (month) *month = m;
    if (day) *day = d;
    return 1;
}

int32_t UnpackMpcNumber(const char *packed) {
    if (!packed || std::strlen(packed) < 5) return 0;
    if (packed[0] == '~') {
        int32_t value = 0;
        for (int i = 1; i < 5; ++i) {
            int digit = Base62(packed[i]);
            if (digit < 0) return 0;
            value = value * 62 + digit;
        }
        return 620000 + value;
    }
    int head = Base62(packed[0]);
    if (head < 0) return 0;
    for (int i = 1; i < 5; ++i)
        if (!std::isdigit(static_cast<unsigned char>(packed[i]))) return 0;
    if (packed[5] != '\0' && packed[5] != ' ') return 0;  // a 7-character provisional designation
    return head * 10000 + std::atoi(std::string(packed + 1, 4).c_str());
}

int ParseMpcMinorPlanetLine(const char *line, MinorPlanetRecord *record) {
    if (!line || !record || std::strlen(line) < 103) return 0;
    int year = 0, month = 0, day = 0;
    if (!UnpackMpcDate(Cols(line, 21, 25).c_str(), &year, &month, &day)) return 0;
    double H = Real(line, 9, 13), G = Real(line, 15, 19);
    double M = Real(line, 27, 35), peri = Real(line, 38, 46), node = Real(line, 49, 57);
    double incl = Real(line, 60, 68), e = Real(line, 71, 79), n = Real(line, 81, 91), a = Real(line, 93, 103);
    if (!Present(M) || !Present(peri) || !Present(node) || !Present(incl) || !Present(e) || e < 0.0 || e >= 1.0)
        return 0;
    if (!Present(a) || a <= 0.0) a = Present(n) && n > 0.0 ? std::pow(0.01720209895 / (n * kRad), 2.0 / 3.0) : 0.0;
    if (a <= 0.0) return 0;
    // The readable designation (columns 167-194), else the packed one.
    std::string readable = Trimmed(std::strlen(line) >= 167 ? Cols(line, 167, 194) : std::string());
    int32_t number = 0;
    char name[kUserMinorPlanetNameSize] = "";
    if (!readable.empty()) {
        if (!ParseMinorPlanetNameField(readable.c_str(), &number, name)) return 0;
    } else {
        std::string packed = Trimmed(Cols(line, 1, 7));
        number = UnpackMpcNumber(packed.c_str());
        if (!number) CopyStringBounded(name, packed.c_str(), sizeof name);
    }
    std::string reference = "MPC " + Trimmed(Cols(line, 108, 116));
    return BuildMinorPlanetRecord(record, number, name, 0.0, ElementLineEpoch(year, month, day), M, 0.0, a, 0.0, e,
                                  peri, node, incl, Present(H) ? H : 0.0, Present(G) ? G : 0.15, reference.c_str());
}

int ParseMpcCometLine(const char *line, CometRecord *record) {
    if (!line || !record || std::strlen(line) < 103) return 0;
    int ty = std::atoi(Cols(line, 15, 18).c_str()), tm = std::atoi(Cols(line, 20, 21).c_str());
    double td = Real(line, 23, 29), q = Real(line, 31, 39), e = Real(line, 42, 49);
    double peri = Real(line, 52, 59), node = Real(line, 62, 69), incl = Real(line, 72, 79);
    if (ty <= 0 || ty > 10000 || tm < 1 || tm > 12 || !Present(td) || !Present(q) || q <= 0.0 || !Present(e) ||
        e < 0.0 || !Present(peri) || !Present(node) || !Present(incl))
        return 0;
    CometRecord r;
    std::memset(&r, 0, sizeof r);
    if (!ParseCometDesignation(Trimmed(Cols(line, 103, 158)), &r)) return 0;
    r.perihelionTime = ElementLineEpoch(ty, tm, td);
    int ey = std::atoi(Cols(line, 82, 85).c_str()), em = std::atoi(Cols(line, 86, 87).c_str());
    int ed = std::atoi(Cols(line, 88, 89).c_str());
    // Unperturbed solutions give no epoch: the elements hold at perihelion.
    r.epoch = ey > 0 && em >= 1 && em <= 12 && ed >= 1 ? ElementLineEpoch(ey, em, ed) : r.perihelionTime;
    r.q = static_cast<float>(q);
    r.e = static_cast<float>(e);
    r.perihelion = static_cast<float>(peri * kRad);
    r.node = static_cast<float>(node * kRad);
    r.inclination = static_cast<float>(incl * kRad);
    double H = Real(line, 92, 95), K = Real(line, 97, 100);
    r.H = static_cast<float>(Present(H) ? H : 0.0);
    r.K = static_cast<float>(Present(K) ? K : 0.0);
    r.comaDiameter = kDefaultComaDiameter;
    std::string reference = "MPC " + Trimmed(std::strlen(line) >= 160 ? Cols(line, 160, 168) : std::string());
    CopyStringBounded(r.source, Trimmed(reference).c_str(), sizeof r.source);
    *record = r;
    return 1;
}

int ImportMpcMinorPlanetLines(MinorPlanetImport *s, int32_t *added, int32_t *replaced, int32_t *skipped) {
    if (!s || !s->text || !s->store) return -1;
    char line[kMpcLineWidth + 1];
    for (;;) {
        int got = ReadPaddedLine(s->text, line, kMpcLineWidth);
        if (got < 0) return -1;
        if (!got) return SortImportedMinorPlanets(s);
        // Headers and separators have no packed epoch in columns 21-25.
        if (!UnpackMpcDate(Cols(line, 21, 25).c_str(), nullptr, nullptr, nullptr)) continue;
        MinorPlanetRecord record;
        double a = 0, e = 0, incl = 0, H = 0;
        int32_t number = 0;
        bool ok = ParseMpcMinorPlanetLine(line, &record);
        if (ok) {
            UnpackMinorPlanetRecord(&record, &number, nullptr, nullptr, nullptr, nullptr, &e, nullptr, nullptr, &incl,
                                    &H, nullptr, nullptr, &a);
            ok = OrbitClassAllowed(&s->options, a, e, incl * kRad, H, number) == 1;
        }
        int r = CountImportedMinorPlanet(s, ok ? &record : nullptr, added, replaced, skipped);
        if (r != 0) return r;
    }
}

int ImportMpcCometLines(CometImport *s, int32_t *added, int32_t *replaced, int32_t *skipped) {
    if (!s || !s->text || !s->store) return -1;
    char line[kMpcLineWidth + 1];
    for (;;) {
        int got = ReadPaddedLine(s->text, line, kMpcLineWidth);
        if (got < 0) return -1;
        if (!got) return 0;
        // An orbit line has the perihelion year in columns 15-18.
        if (std::atoi(Cols(line, 15, 18).c_str()) <= 0) continue;
        CometRecord record;
        if (!ParseMpcCometLine(line, &record)) {
            if (skipped) ++*skipped;
        } else {
            int r = AddUserCometElements(&s->store, &record, 1, s->replaceMagnitudes);
            if (r == 0) return -1;
            if (r == 1 && added) ++*added;
            if (r == 2 && replaced) ++*replaced;
        }
        if (++s->linesInStep > s->linesPerStep) {
            s->linesInStep = 0;
            return 1;
        }
    }
}
