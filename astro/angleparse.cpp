// Readers of angles, times, dates, coordinate pairs, "J" designations and
// sizes typed by users or held in import files.
#include "astro/angleparse.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "astro/angletext.h"
#include "core/textutil.h"
#include "core/mathutil.h"

namespace {


// Longest texts read whole; longer ones are refused rather than cut, since a
// cut number reads as a different value.
const size_t kLongestAngleText = 79;
const size_t kLongestPairText = 254;
const size_t kLongestPairPart = 63;
const size_t kLongestToken = 31;

// Calendar range of dates read from texts (the Julian period's start to the
// last four-digit year); the year is stored in 16 bits.
const int kEarliestYear = -4712;
const int kLatestYear = 9999;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

void TrimBoth(std::string &s) {
    size_t end = s.size();
    while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\t' || s[end - 1] == '\r' ||
                       s[end - 1] == '\n'))
        --end;
    s.resize(end);
    size_t start = 0;
    while (start < s.size() && (s[start] == ' ' || s[start] == '\t')) ++start;
    s.erase(0, start);
}

// The whole text as one real number, nothing before or after it.
bool ReadWholeNumber(const std::string &piece, double *value) {
    if (piece.empty()) return false;
    char *end = nullptr;
    const double v = std::strtod(piece.c_str(), &end);
    if (end == piece.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

std::vector<std::string> SplitAtBlanks(const std::string &text) {
    std::vector<std::string> tokens;
    std::string current;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!current.empty()) tokens.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) tokens.push_back(current);
    return tokens;
}

// A token reduced to lower case without full stops, for whole-word matches
// ("P.M." is "pm").
std::string WordKey(const std::string &token) {
    std::string key;
    for (char c : token)
        if (c != '.') key += Lower(c);
    return key;
}

enum Word { kNoWord, kWordAD, kWordBC, kWordAM, kWordPM, kWordUT };

Word MatchWord(const std::string &token) {
    const std::string key = WordKey(token);
    if (key == "ad") return kWordAD;
    if (key == "bc") return kWordBC;
    if (key == "am" || key == "a") return kWordAM;
    if (key == "pm" || key == "p") return kWordPM;
    if (key == "ut" || key == "utc") return kWordUT;
    return kNoWord;
}

// 1..12 when the token, cut at its first full stop, has three or more
// characters and begins a month's English name; else 0.
int MatchMonthName(const std::string &token) {
    static const char *const kMonths[12] = {"january", "february", "march", "april",
        "may", "june", "july", "august", "september", "october", "november", "december"};
    std::string key = token.substr(0, token.find('.'));
    if (key.size() < 3) return 0;
    for (char &c : key) c = Lower(c);
    for (int m = 0; m < 12; ++m) {
        const size_t n = std::strlen(kMonths[m]);
        if (key.size() <= n && key.compare(0, key.size(), kMonths[m], key.size()) == 0) return m + 1;
    }
    return 0;
}

bool IsWholeNumber(double v) { return std::floor(v) == v; }

}  // namespace

double ParseSexagesimal(const char *text) {
    if (!text) return kNoRealValue;
    std::string s(text);
    TrimBoth(s);
    if (s.size() > kLongestAngleText) return kNoRealValue;
    if (s.empty()) return 0.0;
    if (s == "-" || s == "+") return kNoRealValue;
    const bool negative = s[0] == '-';

    // Twelve-hour marks: the first P (else p), or failing that the first A
    // (else a), marks the time and ends the text.
    bool pm = false, am = false;
    size_t mark = s.find('P');
    if (mark == std::string::npos) mark = s.find('p');
    if (mark != std::string::npos) {
        pm = true;
    } else {
        mark = s.find('A');
        if (mark == std::string::npos) mark = s.find('a');
        if (mark != std::string::npos) am = true;
    }
    if (mark != std::string::npos) {
        s.resize(mark);
        TrimBoth(s);
    }

    // Separators become colons; digits, full stops, colons and signs stay;
    // marks such as " and s are dropped. A comma is refused: "12,5" may be a
    // decimal comma or a list, and either reading of it would be a guess.
    std::string cleaned;
    bool digit = false;
    for (char c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == 'h' || c == 'd' || c == 'm' || c == 'H' || c == 'D' || c == 'M' || u == 0xB0 ||
            c == '\'' || u == 0xA6 || c == ' ' || c == '\t') {
            cleaned += ':';
        } else if (IsDigit(c) || c == '.' || c == ':' || c == '-' || c == '+') {
            cleaned += c;
            if (IsDigit(c)) digit = true;
        } else if (c == ',') {
            return kNoRealValue;
        }
    }
    if (!digit) return kNoRealValue;

    // Fields between colons; a trailing colon ends the last field.
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        const size_t colon = cleaned.find(':', start);
        if (colon == std::string::npos) {
            pieces.push_back(cleaned.substr(start));
            break;
        }
        pieces.push_back(cleaned.substr(start, colon - start));
        start = colon + 1;
    }
    if (pieces.size() > 1 && pieces.back().empty()) pieces.pop_back();
    if (pieces.size() > 3) return kNoRealValue;
    static const double kDivisors[3] = {1.0, 60.0, 3600.0};
    double value = 0.0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        double field;
        if (!ReadWholeNumber(pieces[i], &field)) return kNoRealValue;
        value += std::fabs(field) / kDivisors[i];
    }
    if (pm && value < 12.0) value += 12.0;
    if (am && value >= 12.0) value -= 12.0;
    return negative ? -value : value;
}

double ParseRightAscension(const char *text) {
    const double value = ParseSexagesimal(text);
    if (value == kNoRealValue) return value;
    if (AngleTextStyle == 3 && RaInDegreesFlag == 1) return value * kPi / 180.0;
    return value * kPi / 12.0;
}

int ParseRaDecPair(const char *text, double *rightAscension, double *declination) {
    if (!text || !rightAscension || !declination) return 0;
    if (std::strlen(text) > kLongestPairText) return 0;
    std::vector<char> work(text, text + std::strlen(text) + 1);
    RemoveLineBreaks(work.data());
    SqueezeBlanks(work.data());
    std::string s(work.data());

    std::string raText, decText;
    bool split = false;
    const size_t comma = s.find(',');
    if (comma != std::string::npos) {
        const std::string after = s.substr(comma + 1);
        s.resize(comma);
        if (!after.empty()) {
            raText = s;
            decText = after;
            split = true;
        }
    }
    const size_t tab = s.find('\t');
    if (tab != std::string::npos) {
        const std::string after = s.substr(tab + 1);
        s.resize(tab);
        if (!after.empty()) {
            raText = s;
            decText = after;
            split = true;
        }
    }
    if (!split) {
        size_t sign = s.find('+');
        if (sign == std::string::npos) sign = s.find('-');
        if (sign == std::string::npos) {
            sign = s.find('\x96');  // en dash of the Windows-1252 code page
            if (sign != std::string::npos) s[sign] = '-';
        }
        if (sign != std::string::npos && sign + 1 < s.size()) {
            size_t rest = sign + 1;
            if (s[rest] == ' ') ++rest;
            decText = std::string(1, s[sign]) + s.substr(rest);
            raText = s.substr(0, sign);
            split = true;
        }
    }
    if (!split) {
        const size_t blank = s.find(' ');
        if (blank != std::string::npos) {
            if (s.find(' ', blank + 1) != std::string::npos) return 0;
            raText = s.substr(0, blank);
            decText = s.substr(blank + 1);
            split = true;
        }
    }
    if (!split || raText.empty() || decText.empty()) return 0;
    if (raText.size() > kLongestPairPart || decText.size() > kLongestPairPart) return 0;

    const double hours = ParseSexagesimal(raText.c_str());
    const double degrees = ParseSexagesimal(decText.c_str());
    if (hours == kNoRealValue || degrees == kNoRealValue) return 0;
    *rightAscension = hours * kPi / 12.0;
    *declination = degrees * kPi / 180.0;
    const bool inRange = *rightAscension >= 0.0 && *rightAscension <= 2.0 * kPi &&
                         *declination >= -kPi / 2.0 && *declination <= kPi / 2.0;
    return inRange ? 1 : 0;
}

int ParseDateText(const char *text, const LocationRecord *site, DateRecord *record,
                  int *isUniversal) {
    if (!text || !record) return 0;
    const std::vector<std::string> tokens = SplitAtBlanks(text);
    if (tokens.empty()) return 0;
    for (const std::string &t : tokens)
        if (t.size() > kLongestToken) return 0;

    DateRecord work = *record;
    if (tokens[0].size() >= 2 && Lower(tokens[0][0]) == 'j' && Lower(tokens[0][1]) == 'd') {
        if (tokens.size() < 2) return -1;
        const double jd = ParseSexagesimal(tokens[1].c_str());
        // Julian dates of years -4712 to 9999.
        if (jd == kNoRealValue || jd < 0.0 || jd > 5373484.5) return 0;
        work.julianDate = jd;
        SetDateRecordFromJulianDate(site, &work);
        *record = work;
        if (isUniversal) *isUniversal = 1;
        return 1;
    }

    double values[4] = {0.0, 0.0, 0.0, 0.0};
    int count = 0;
    bool bc = false, am = false, pm = false, ut = false, monthGiven = false;
    for (const std::string &t : tokens) {
        double value;
        const int month = MatchMonthName(t);
        const Word word = month ? kNoWord : MatchWord(t);
        if (month) {
            value = month;
        } else if (word != kNoWord) {
            if (word == kWordBC) bc = true;
            if (word == kWordAM) am = true;
            if (word == kWordPM) pm = true;
            if (word == kWordUT) ut = true;
            continue;
        } else {
            value = ParseSexagesimal(t.c_str());
            if (value == kNoRealValue) return 0;
        }
        if (count == 4) return 0;
        if (count == 1) monthGiven = true;
        values[count++] = value;
    }
    if (count == 0) return 0;

    double year = values[0];
    if (bc) year = 1.0 - year;
    if (!(year >= kEarliestYear && year < kLatestYear + 1)) return 0;

    if (!monthGiven) {
        // A year alone, perhaps with a fraction: January 1, 0 h, of the year
        // plus the fraction of the year's days.
        const double whole = std::floor(year);
        const int y = static_cast<int>(whole);
        work.julianDate = JulianDateFromCalendar(1, 1, y, 0.0) + (year - whole) * DaysInYear(y);
        SetDateRecordFromJulianDate(site, &work);
        *record = work;
        if (isUniversal) *isUniversal = 1;
        return 1;
    }

    if (!IsWholeNumber(year)) return 0;
    const double month = values[1];
    if (!IsWholeNumber(month) || month < 1.0 || month > 12.0) return 0;
    if (count < 3) return 0;  // a month without a day
    double day = values[2];
    double hours = count >= 4 ? values[3] : 0.0;
    if (pm && hours < 12.0) hours += 12.0;
    if (am && hours >= 12.0) hours -= 12.0;
    if ((count < 4 || hours == 0.0) && !IsWholeNumber(day)) {
        hours = (day - std::floor(day)) * 24.0;
        day = std::floor(day);
    }
    if (!(hours >= 0.0 && hours <= 24.0)) return 0;

    DateRecord probe = work;
    probe.month = static_cast<int16_t>(month);
    probe.year = static_cast<int16_t>(year);
    if (!(day >= 1.0 && day < DaysInMonth(&probe) + 1.0)) return 0;

    SetDateRecord(&work, site, static_cast<int>(month), static_cast<int>(day),
                  static_cast<int>(year), hours, ut ? kUniversalTime : kLocalTime);
    *record = work;
    if (isUniversal) *isUniversal = ut ? 1 : 0;
    return 1;
}

double ParseTimeText(const char *text, const LocationRecord *site, int *isUniversal) {
    if (isUniversal) *isUniversal = 0;
    if (!text) return 0.0;
    // A working copy: "10:30pm" is read as "10:30 pm" without touching the
    // caller's text.
    std::string s(text);
    if (s.size() > 1) {
        size_t mark = s.find('p');
        if (mark == std::string::npos) mark = s.find('a');
        if (mark != std::string::npos && mark > 0 && s[mark - 1] != ' ') s.insert(mark, 1, ' ');
    }
    const std::vector<std::string> tokens = SplitAtBlanks(s);
    bool am = false, pm = false, ut = false, haveTime = false;
    double hours = 0.0;
    for (size_t i = 0; i < tokens.size() && i < 3; ++i) {
        const Word word = MatchWord(tokens[i]);
        if (word == kWordAM) am = true;
        else if (word == kWordPM) pm = true;
        else if (word == kWordUT) ut = true;
        else {
            if (haveTime) return kNoRealValue;
            hours = ParseSexagesimal(tokens[i].c_str());
            if (hours == kNoRealValue) return kNoRealValue;
            haveTime = true;
        }
    }
    // A blank text, or words alone, hold no time: an empty time column must not
    // read as midnight.
    if (!haveTime) return kNoRealValue;
    if (am && hours >= 12.0) hours -= 12.0;
    if (pm && hours < 12.0) hours += 12.0;
    if (ut && site) hours += site->timeZone;
    if (isUniversal) *isUniversal = ut ? 1 : 0;
    return hours;
}

int ParseJDesignation(const char *text, double *rightAscension, double *declination) {
    if (!text || !rightAscension || !declination) return 0;
    if (std::strlen(text) != 16) return 0;
    if (text[0] != 'J' && text[0] != 'j') return 0;
    if (text[9] != '+' && text[9] != '-') return 0;

    // One fixed-width field with its blanks removed: digits, and a full stop
    // where allowed.
    auto field = [text](int first, int width, bool point, double *value) {
        std::string digits;
        for (int i = first; i < first + width; ++i)
            if (text[i] != ' ') digits += text[i];
        if (digits.empty()) return false;
        for (char c : digits)
            if (!IsDigit(c) && !(point && c == '.')) return false;
        return ReadWholeNumber(digits, value);
    };
    double h, m, s, d, dm, ds;
    if (!field(1, 2, false, &h) || !field(3, 2, false, &m) || !field(5, 4, true, &s) ||
        !field(10, 2, false, &d) || !field(12, 2, false, &dm) || !field(14, 2, false, &ds))
        return 0;
    if (h >= 24.0 || m >= 60.0 || s >= 60.0 || dm >= 60.0 || ds >= 60.0) return 0;
    const double degrees = d + dm / 60.0 + ds / 3600.0;
    if (degrees > 90.0) return 0;
    *declination = (text[9] == '-' ? -degrees : degrees) * kPi / 180.0;
    *rightAscension = (h + m / 60.0 + s / 3600.0) * kPi / 12.0;
    return 1;
}

double ParseSizeProduct(const char *text) {
    if (!text) return kNoRealValue;
    std::string s;
    for (const char *p = text; *p; ++p)
        if (*p != ' ') s += *p;
    if (s == "-" || s == "+") return kNoRealValue;
    double a = 0.0, b = 0.0;
    double result;
    if (s.find('x') != std::string::npos) {
        if (std::sscanf(s.c_str(), "%lfx%lf", &a, &b) != 2) return kNoRealValue;
        result = a * b;
    } else if (s.find('X') != std::string::npos) {
        if (std::sscanf(s.c_str(), "%lfX%lf", &a, &b) != 2) return kNoRealValue;
        result = a * b;
    } else {
        if (std::sscanf(s.c_str(), "%lf", &a) != 1) return kNoRealValue;
        result = a;
    }
    return std::isfinite(result) ? result : kNoRealValue;
}
