// Text routines shared by the whole suite: trimming, squeezing, bounded copies,
// case-blind comparisons, fixed-width fields and file-name encoding of names.
#include "core/textutil.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int LowerByte(char c) { return std::tolower(static_cast<unsigned char>(c)); }
int UpperByte(char c) { return std::toupper(static_cast<unsigned char>(c)); }

// Raw characters and their replacements in file names, in matching order.
const char kRawCharacters[] = "\"*;:,+?\\/|<>.";
const char kReplacements[] = "~`!@#$%^&{}[]";
static_assert(sizeof kRawCharacters == sizeof kReplacements, "one replacement per character");

}  // namespace

// ---- trimming and squeezing ------------------------------------------------------

int TrimTrailingBlanks(char *text) {
    if (!text) return -1;
    int i = static_cast<int>(std::strlen(text)) - 1;
    while (i >= 0 && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n')) text[i--] = '\0';
    return i;
}

void TrimLeadingBlanks(char *text) {
    if (!text) return;
    size_t skip = 0;
    while (text[skip] == ' ') ++skip;
    if (skip) std::memmove(text, text + skip, std::strlen(text + skip) + 1);
}

void SqueezeBlanks(char *text) {
    if (!text) return;
    TrimLeadingBlanks(text);
    TrimTrailingBlanks(text);
    char *out = text;
    for (const char *in = text; *in; ++in) {
        if (*in == ' ' && in[1] == ' ') continue;
        *out++ = *in;
    }
    *out = '\0';
}

void SqueezeBlanksAndTabs(char *text) {
    if (!text) return;
    for (char *p = text; *p; ++p)
        if (*p == '\t') *p = ' ';
    SqueezeBlanks(text);
}

int CopyWithoutBlanks(const char *source, char *target) {
    if (!source) {
        if (target) *target = '\0';
        return 0;
    }
    const char *in = source;
    if (target) {
        char *out = target;
        for (; *in; ++in)
            if (*in != ' ') *out++ = *in;
        *out = '\0';
    }
    return static_cast<int>(std::strlen(source));
}

void RemoveLineBreaks(char *text) {
    if (!text) return;
    char *out = text;
    for (const char *in = text; *in; ++in)
        if (*in != '\r' && *in != '\n') *out++ = *in;
    *out = '\0';
}

void RemoveCharacter(char *text, char character) {
    if (!text || character == '\0') return;
    char *out = text;
    for (const char *in = text; *in; ++in)
        if (*in != character) *out++ = *in;
    *out = '\0';
}

char *LowercaseString(char *text) {
    if (!text) return text;
    char *p = text;
    for (; *p; ++p) *p = static_cast<char>(LowerByte(*p));
    return p;
}

int ConvertSlashesToBackslashes(char *text) {
    if (!text) return 0;
    int n = 0;
    for (; text[n]; ++n)
        if (text[n] == '/') text[n] = '\\';
    return n;
}

// ---- copies --------------------------------------------------------------------

char *CopyStringBounded(char *target, const char *source, int size) {
    if (!target || size < 1) return target;
    int i = 0;
    if (source)
        for (; i < size - 1 && source[i]; ++i) target[i] = source[i];
    target[i] = '\0';
    return target;
}

void CopyStringTruncated(char *target, const char *source, int size) {
    if (!target || size <= 0) return;
    CopyStringBounded(target, source, size);
}

void CopyStringZeroFilled(char *target, const char *source, int size) {
    if (!target || size <= 0) return;
    std::memset(target, 0, static_cast<size_t>(size));
    CopyStringBounded(target, source, size);
}

bool TerminateField(char *field, int size) {
    if (!field || size <= 0) return true;
    if (field[size - 1] == '\0') return true;
    field[size - 1] = '\0';
    return false;
}

char *CopyFixedWidthField(char *target, const char *source, int n) {
    if (!target) return target;
    if (n < 0) n = 0;
    int i = 0;
    if (source)
        for (; i < n && source[i]; ++i) target[i] = source[i];
    for (; i < n; ++i) target[i] = ' ';
    target[n] = '\0';
    return target;
}

// ---- searching and comparing ---------------------------------------------------

char *FindStringEnd(char *text) { return text ? text + std::strlen(text) : text; }
const char *FindStringEnd(const char *text) { return text ? text + std::strlen(text) : text; }

const char *GetFileNameFromPath(const char *path, char *nameOut, int nameSize) {
    if (nameOut && nameSize > 0) nameOut[0] = '\0';
    if (!path || !*path) return nullptr;
    const char *start = path;
    for (const char *p = path; *p; ++p)
        if (*p == '\\' || *p == '/') start = p + 1;
    if (nameOut) CopyStringBounded(nameOut, start, nameSize);
    return start;
}

char *GetFileNameFromPath(char *path, char *nameOut, int nameSize) {
    return const_cast<char *>(
        GetFileNameFromPath(static_cast<const char *>(path), nameOut, nameSize));
}

int CompareStringsNoCase(const char *a, const char *b) {
    if (!a || !b) return (a ? 1 : 0) - (b ? 1 : 0);
    for (;; ++a, ++b) {
        const int ca = LowerByte(*a), cb = LowerByte(*b);
        if (ca != cb || ca == 0) return ca - cb;
    }
}

int MatchPrefixNoCase(const char *pattern, const char *text) {
    if (!pattern || !text) return 0;
    if (std::strcmp(pattern, "*") == 0) return 1;
    for (; *pattern; ++pattern, ++text) {
        if (!*text) return 0;  // the text is shorter than the pattern
        if (UpperByte(*pattern) != UpperByte(*text)) return 0;
    }
    return 1;
}

const char *FindSubstringNoCase(const char *text, const char *part) {
    if (!text || !part) return nullptr;
    if (!*part) return text;
    for (const char *start = text; *start; ++start) {
        const char *t = start, *p = part;
        while (*t && *p && LowerByte(*t) == LowerByte(*p)) ++t, ++p;
        if (!*p) return start;
        if (!*t) return nullptr;  // the rest of the text is shorter than part
    }
    return nullptr;
}

char *FindSubstringNoCase(char *text, const char *part) {
    return const_cast<char *>(FindSubstringNoCase(static_cast<const char *>(text), part));
}

// ---- fixed-width fields ------------------------------------------------------------

int ParseFixedWidthInteger(const char *field, int n) {
    if (!field) return kNoIntegerValue;
    std::string collected;
    for (int i = 0; i < n && field[i] && collected.size() < 255; ++i) {
        const char c = field[i];
        if ((c >= '0' && c <= '9') || c == '-') collected += c;
    }
    if (collected.empty()) return kNoIntegerValue;
    // strtoll and a range check: a ten-digit column must not wrap or overflow
    // a 32-bit long.
    errno = 0;
    char *end = nullptr;
    const long long value = std::strtoll(collected.c_str(), &end, 10);
    if (end == collected.c_str() || errno == ERANGE) return kNoIntegerValue;
    if (value > INT_MAX || value < INT_MIN) return kNoIntegerValue;
    return static_cast<int>(value);
}

double ParseFixedWidthReal(const char *field, int n) {
    if (!field) return kNoRealValue;
    std::string collected;
    for (int i = 0; i < n && field[i] && collected.size() < 79; ++i)
        if (field[i] != ' ') collected += field[i];
    if (collected.empty()) return kNoRealValue;
    char *end = nullptr;
    const double value = std::strtod(collected.c_str(), &end);
    if (end == collected.c_str() || !std::isfinite(value)) return kNoRealValue;
    return value;
}

// ---- file-name encoding of names ---------------------------------------------------

void EncodeNameForFileName(char *text) {
    if (!text) return;
    for (char *p = text; *p; ++p) {
        const char *hit = std::strchr(kRawCharacters, *p);
        if (hit) *p = kReplacements[hit - kRawCharacters];
    }
}

void DecodeNameFromFileName(char *text) {
    if (!text) return;
    for (char *p = text; *p && *p != '.'; ++p) {
        const char *hit = std::strchr(kReplacements, *p);
        if (hit) *p = kRawCharacters[hit - kReplacements];
    }
}

int FindReservedNameCharacter(const char *name, char *characterOut) {
    if (!name) return 1;
    for (const char *p = name; *p; ++p) {
        const bool control = static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F;
        if (control || std::strchr(kReplacements, *p)) {
            if (characterOut) *characterOut = *p;
            return 0;
        }
    }
    return 1;
}

int IsReservedDeviceName(const char *name) {
    if (!name) return 0;
    std::string base;
    for (const char *p = name; *p && *p != '.'; ++p) base += static_cast<char>(UpperByte(*p));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return 1;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
        base[3] >= '1' && base[3] <= '9')
        return 1;
    return 0;
}
