// Variable-star names to and from the catalogue's numbering within a
// constellation (R = 1 ... Z = 9, two-letter names from RR = 10 to QZ = 334
// without J, V335 onwards, then Greek letters and special names from 9000).
#include "objects/variablenames.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "objects/constellations.h"

namespace {
// Two-letter rows: first letter and the number of its first name.
const struct {
    char letter;
    int first;
} kRows[] = {{'R', 10},  {'S', 19},  {'T', 27},  {'U', 34},  {'V', 40},  {'W', 45},  {'X', 49},
             {'Y', 52},  {'Z', 54},  {'A', 55},  {'B', 80},  {'C', 104}, {'D', 127}, {'E', 149},
             {'F', 170}, {'G', 190}, {'H', 209}, {'I', 227}, {'K', 244}, {'L', 260}, {'M', 275},
             {'N', 289}, {'O', 302}, {'P', 314}, {'Q', 325}};
const int kRowCount = sizeof kRows / sizeof kRows[0];

// Special names by code 9100-9199; every other code there prints "ZZ".
const struct {
    int code;
    char name[3];
} kSpecialNames[] = {{9101, "KU"}, {9102, "b "}, {9104, "d "}, {9107, "g "}, {9109, "I "},
                     {9112, "l "}, {9121, "u "}, {9160, "EP"}};

// Constellations (1-based) with the catalogue's doubled entries and the
// number above which the parser raises numbers there.
const int kCassiopeia = 18, kPegasus = 62;
const int kCassiopeiaDoubled = 107, kPegasusDoubled = 161;

// Lower-case single-letter names the parser accepts in one constellation each.
const struct {
    char letter;
    int constellation, code;
} kLowerCaseNames[] = {{'l', 17, 9112}, {'g', 40, 9107}, {'u', 40, 9121},
                       {'b', 63, 9102}, {'d', 76, 9104}};
const int kBootesCapitalI = 9, kBootesCapitalICode = 9109;
const int kPuppisL2Code = 9212;

// Second letter of a two-letter name: J is skipped after a first letter before K.
char SecondLetter(char first, int offset) {
    char second = static_cast<char>(first + offset);
    if (first < 'K' && second >= 'J') ++second;
    return second;
}

bool StartsWithIgnoringCase(const char *full, const char *prefix) {
    for (; *prefix; ++prefix, ++full) {
        if (!*full) return false;
        if (std::tolower(static_cast<unsigned char>(*full)) !=
            std::tolower(static_cast<unsigned char>(*prefix)))
            return false;
    }
    return true;
}

// 1-based constellation of which word is a prefix of the genitive, else of
// the abbreviation; kNoVariableConstellation for an empty or unknown word.
int ConstellationOfWord(const char *word) {
    if (!word[0] || word[0] == '*') return kNoVariableConstellation;
    for (int i = 0; i < kConstellationTableSize; ++i)
        if (StartsWithIgnoringCase(kConstellationGenitives[i], word)) return i + 1;
    for (int i = 0; i < kConstellationTableSize; ++i)
        if (StartsWithIgnoringCase(kConstellationAbbreviations[i], word)) return i + 1;
    return kNoVariableConstellation;
}

int NumberOfName(const char *original, int constellation) {
    char name[40];
    std::snprintf(name, sizeof name, "%s", original);
    const size_t n = std::strlen(name);
    if (n == 0) return 0;
    const int greek = FindGreekLetterName(name);
    if (greek >= 0) return kGreekVariableBase + greek + 1;
    const char lower = name[0];
    const bool beganLower = std::strchr("gulbd", lower) != nullptr;
    for (size_t i = 0; i < n; ++i) name[i] = (char)std::toupper(static_cast<unsigned char>(name[i]));
    if (n == 1 && name[0] == 'I' && constellation == kBootesCapitalI) return kBootesCapitalICode;
    if (n == 1 && beganLower)
        for (const auto &special : kLowerCaseNames)
            if (special.letter == lower && special.constellation == constellation) return special.code;
    if (name[0] == 'V' && n > 1) {
        int value = 0;
        for (size_t i = 1; i < n; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
            value = value * 10 + (name[i] - '0');
            if (value > 8999) return 0;
        }
        return value;
    }
    if (n == 1 && name[0] >= 'R' && name[0] <= 'Z') return name[0] - 'Q';
    if (n == 2 && std::strcmp(name, "L2") == 0) return kPuppisL2Code;
    if (n == 2) {
        for (const auto &row : kRows) {
            if (row.letter != name[0]) continue;
            const char second = name[1];
            if (second < row.letter || second > 'Z' || second == 'J') return 0;
            int number = row.first + (second - row.letter);
            if (row.letter < 'J' && second > 'I') --number;
            return number;
        }
        return 0;
    }
    if (n == 1 && name[0] >= 'A' && name[0] <= 'Q') return kLetterVariableBase + name[0];
    return 0;
}
}  // namespace

void FormatVariableStarName(int constellation, int number, int superscript, char *text) {
    if (!text || constellation < 1 || constellation > kConstellationTableSize) return;
    const char *con = kConstellationAbbreviations[constellation - 1];
    char out[kVariableNameSize];
    if (number >= 1 && number <= 9) {
        std::snprintf(out, sizeof out, "%c  %s", 'Q' + number, con);
    } else if (number >= 10 && number < kFirstVariableVNumber) {
        // The row whose numbers hold n: its first number is not above n and the next row's is.
        int row = 0;
        for (int i = 0; i < kRowCount; ++i)
            if (kRows[i].first <= number && (i + 1 == kRowCount || kRows[i + 1].first > number)) row = i;
        const char first = kRows[row].letter;
        std::snprintf(out, sizeof out, "%c%c %s", first, SecondLetter(first, number - kRows[row].first),
                      con);
    } else if (number >= kFirstVariableVNumber && number < kGreekVariableBase) {
        std::snprintf(out, sizeof out, "V%d %s", number, con);
    } else if (number > kGreekVariableBase && number <= kGreekVariableBase + 24) {
        const char *greek = kGreekLetterNames[number - kGreekVariableBase - 1];
        if (superscript > 0)
            std::snprintf(out, sizeof out, "%s %d %s", greek, superscript, con);
        else
            std::snprintf(out, sizeof out, "%s %s", greek, con);
    } else if (number >= 9100 && number <= 9199) {
        const char *name = "ZZ";
        for (const auto &special : kSpecialNames)
            if (special.code == number) name = special.name;
        char second = name[1];
        if (number == 9160) second = SecondLetter(name[0], name[1] - name[0]);
        std::snprintf(out, sizeof out, "%c%c %s", name[0], second, con);
    } else if (number == kPuppisL2Code && std::strcmp(con, "Pup") == 0) {
        std::snprintf(out, sizeof out, "L2 %s", con);
    } else if (number >= 9201 && number <= 9299) {
        std::snprintf(out, sizeof out, "%c %s", (char)(number - kLetterVariableBase), con);
    } else {
        return;
    }
    if ((constellation == kCassiopeia && number == kCassiopeiaDoubled) ||
        (constellation == kPegasus && number == kPegasusDoubled)) {
        const size_t used = std::strlen(out);
        std::snprintf(out + used, sizeof out - used, " B");
    }
    std::snprintf(text, kVariableNameSize, "%s", out);
}

int ParseVariableStarName(int *constellation, int numbers[2], int *superscript, const char *text) {
    if (!text) return 0;
    const size_t length = std::strlen(text);
    if (length >= 40) return 0;
    const char *blank = std::strchr(text, ' ');
    if (!blank) return 0;
    char name[40] = {0};
    std::memcpy(name, text, (size_t)(blank - text));
    const char *rest = blank + 1;
    int sup = 0;
    if (rest[0] >= '1' && rest[0] <= '9' && rest[1] == ' ') {
        sup = rest[0] - '0';
        rest += 1;
    }
    while (*rest == ' ') ++rest;
    char word[40] = {0};
    char component = ' ';
    const char *further = std::strchr(rest, ' ');
    if (further) {
        std::memcpy(word, rest, (size_t)(further - rest));
        const char *letter = further;
        while (*letter == ' ') ++letter;
        if (*letter) component = (char)std::toupper(static_cast<unsigned char>(*letter));
    } else {
        std::snprintf(word, sizeof word, "%s", rest);
    }
    const int con = ConstellationOfWord(word);
    int number = NumberOfName(name, con);
    if (number > 0 && (con == kCassiopeia || con == kPegasus)) {
        const int above = con == kCassiopeia ? kCassiopeiaDoubled - 1 : kPegasusDoubled - 1;
        if (component == ' ' || component == 'A') {
            if (number > above && number < kGreekVariableBase) ++number;
        } else {
            ++number;
        }
    }
    if (constellation) *constellation = con;
    if (numbers) {
        numbers[0] = number;
        numbers[1] = component;
    }
    if (superscript) *superscript = sup;
    return 1;
}
