// Designation recognition with retries for the import passes and the scan of
// unmatched objects.
#include "app/recognizeretry.h"
#include "core/safefile.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/textutil.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"

namespace {

const int kWorkSize = 256;
// Rise/set altitude (radians) and extinction (magnitudes per air mass) the
// importer's records are built with.
const double kImportAltitude = 0.0;
const double kImportExtinction = 0.1;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Appends the designation and its cleaned form. A trace that has reached the
// limit is started afresh, so it cannot fill the disc over many imports; a
// trace that cannot be written is skipped.
void AppendTrace(const char *path, const char *designation, const char *cleaned) {
    if (!path) return;
    // One open per call: the stream for appending is seeked to its end (a
    // write stream reads nothing for it) to learn the size.
    FILE *f = SafeOpen(path, "a");
    if (!f) return;
    if (std::fseek(f, 0, SEEK_END) == 0 && std::ftell(f) >= kRetryTraceLimit) {
        std::fclose(f);
        f = SafeOpen(path, "w");
        if (!f) return;
    }
    SafePrintf(f, "#%s#\n#%s#\n\n", designation, cleaned);
    SafeClose(f);
}

}  // namespace

int InsertBlankBeforeDigit(char *text) {
    if (!text) return 0;
    size_t p = 0;
    while (text[p] && text[p] != ' ' && !IsDigit(text[p])) ++p;
    if (!IsDigit(text[p])) return 0;
    std::memmove(text + p + 1, text + p, std::strlen(text + p) + 1);
    text[p] = ' ';
    return 1;
}

void RemoveBlankAfterDash(char *text) {
    if (!text) return;
    size_t out = 0;
    for (size_t in = 0; text[in]; ++in) {
        text[out++] = text[in];
        if (text[in] == '-' && text[in + 1] == ' ') ++in;
    }
    text[out] = '\0';
}

int MakeMinorPlanetNumberText(const char *text, char *out) {
    if (!text || !out || std::strlen(text) <= 4 || text[4] != '-') return 0;
    char head[5];
    std::memcpy(head, text, 4);
    head[4] = '\0';
    int number = 0;
    if (std::sscanf(head, "%d", &number) != 1) return 0;
    if (number > 0)
        std::snprintf(out, 16, "MPN %d", number);
    else
        std::memmove(out, text + 5, std::strlen(text + 5) + 1);
    return 1;
}

void InsertBlankBeforeDigitInPhrase(char *text) {
    if (!text) return;
    TrimLeadingBlanks(text);
    size_t n = std::strlen(text);
    if (n == 0 || n >= 256 || !std::strchr(text, ' ')) return;
    for (size_t p = 0; p < n; ++p)
        if (IsDigit(text[p])) {
            std::memmove(text + p + 1, text + p, n - p + 1);
            text[p] = ' ';
            return;
        }
}

int RecognizeDesignationWith(DesignationParser parser, const char *traceFile,
                             const LocationRecord *site, const DateRecord *date,
                             const char *designation, ObjectRecord records[3]) {
    if (!parser || !designation || !records) return 0;
    char work[kWorkSize] = {0};
    std::snprintf(work, sizeof work, "%s", designation);
    TrimTrailingBlanks(work);   // blanks, CR and LF
    TrimLeadingBlanks(work);
    SqueezeBlanks(work);
    RemoveBlankAfterDash(work);
    if (std::strlen(work) > static_cast<size_t>(kRetryDesignationLength))
        work[kRetryDesignationLength] = '\0';
    AppendTrace(traceFile, designation, work);

    // The cleaned text as it was before the parser rewrote it in place: the
    // minor-planet form is judged on what the log file wrote.
    char cleaned[kWorkSize];
    std::memcpy(cleaned, work, sizeof cleaned);

    int result = parser(work, kImportAltitude, site, date, kImportExtinction, records);
    if (result != 0) return result;
    char second[kWorkSize] = {0};
    // The parser may have lengthened the text; keep room for the inserted
    // blank and the parser's own rewrites.
    CopyStringTruncated(second, work, (int)sizeof second - 21);
    if (InsertBlankBeforeDigit(second)) {
        result = parser(second, kImportAltitude, site, date, kImportExtinction, records);
        if (result != 0) return result;
    }
    std::memset(second, 0, sizeof second);
    if (MakeMinorPlanetNumberText(cleaned, second))
        result = parser(second, kImportAltitude, site, date, kImportExtinction, records);
    return result;
}

int RecognizeDesignation(const LocationRecord *site, const DateRecord *date,
                         const char *designation, ObjectRecord records[3]) {
    return RecognizeDesignationWith(IdentifyObjectText, "debug.txt", site, date, designation,
                                    records);
}
