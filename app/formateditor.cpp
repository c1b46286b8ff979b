// The format editor's portable rules (see formateditor.h).
#include "app/formateditor.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

#include "app/textencoding.h"
#include "astro/angleparse.h"
#include "picker/typednumber.h"
#include "core/textutil.h"
#include "instruments/instrumentstore.h"
#include "sites/sitestore.h"

const char kDelimiterChars[kDelimiterCount] = {',', '\t', '|', ':', ';'};
const char *const kDelimiterNames[kDelimiterCount] = {"commas", "tabs", "pipes (|)", "colons",
                                                      "semicolons"};
const char *const kDateLayoutNames[kDateLayoutCount] = {
    "year month day time", "year month day plus separate time",
    "month day year time", "month day year plus separate time",
    "day month year time", "day month year plus separate time"};

namespace {

bool IsBlank(const char *text) {
    for (; *text; ++text)
        if (!std::isspace(static_cast<unsigned char>(*text))) return false;
    return true;
}

// The whole part of a typed number; false when the text holds none.
bool ReadWholeNumber(const char *text, long long *value) {
    // "x5" or "12a" is no column: the reader would pass over the letter.
    if (!TypedTextIsNumber(text)) return false;
    double v = ParseSexagesimal(text);
    if (v == kNoRealValue || !std::isfinite(v) || std::fabs(v) > 1e9) return false;
    *value = static_cast<long long>(v);  // whole part, toward zero
    return true;
}

bool SameNameIgnoringCase(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

void CopyText(char *to, size_t size, const std::string &from) {
    std::snprintf(to, size, "%s", from.c_str());
}

}  // namespace

int DelimiterIndexOf(char c) {
    for (int i = 0; i < kDelimiterCount; ++i)
        if (kDelimiterChars[i] == c) return i;
    return -1;
}

int ParseFieldColumnText(const char *text, int32_t *column) {
    if (IsBlank(text)) {
        *column = -1;
        return 1;
    }
    long long n = 0;
    if (!ReadWholeNumber(text, &n) || n < 1 || n > kMaxImportColumn) return 0;
    *column = static_cast<int32_t>(n - 1);
    return 1;
}

int ParseSourceColumnText(const char *text, int32_t *column) {
    *column = -1;
    if (IsBlank(text)) return 1;
    long long n = 0;
    if (!ReadWholeNumber(text, &n) || n < 0 || n > kMaxImportColumn) return 0;
    *column = static_cast<int32_t>(n - 1);  // a typed 0 is no column
    return 1;
}

int ColumnPromptValue(const char *text) {
    if (IsBlank(text)) return 0;  // nothing typed: nothing stored
    long long n = 0;
    if (!ReadWholeNumber(text, &n) || n < 0) return -1;
    return n > INT32_MAX ? INT32_MAX : static_cast<int>(n);
}

std::string ColumnText(int32_t column) { return column < 0 ? std::string() : std::to_string(column + 1); }

std::vector<std::string> ListedColumns(const int32_t *slots, int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n && slots[i] >= 0; ++i) out.push_back(std::to_string(slots[i] + 1));
    return out;
}

std::vector<std::string> ListedTags(const char (*tags)[kFormatTagSize], int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n && tags[i][0]; ++i) out.push_back(std::string(tags[i], strnlen(tags[i], kFormatTagSize)));
    return out;
}

int FirstFreeColumnSlot(const int32_t *slots, int n) {
    for (int i = 0; i < n; ++i)
        if (slots[i] < 0) return i;
    return -1;
}

int FirstFreeTagSlot(const char (*tags)[kFormatTagSize], int n) {
    for (int i = 0; i < n; ++i)
        if (!tags[i][0]) return i;
    return -1;
}

void DeleteColumnSlot(int32_t *slots, int n, int index) {
    if (index < 0 || index >= n) return;
    slots[index] = kNoColumn;
    int to = 0;
    for (int i = 0; i < n; ++i)
        if (slots[i] >= 0) slots[to++] = slots[i];
    for (; to < n; ++to) slots[to] = kNoColumn;
}

void DeleteTagSlot(char (*tags)[kFormatTagSize], int n, int index) {
    if (index < 0 || index >= n) return;
    tags[index][0] = '\0';
    int to = 0;
    for (int i = 0; i < n; ++i) {
        if (!tags[i][0]) continue;
        if (to != i) std::memcpy(tags[to], tags[i], kFormatTagSize);
        ++to;
    }
    for (; to < n; ++to) std::memset(tags[to], 0, kFormatTagSize);
}

int FindLocationIndexByName(FILE *f, const char *name) {
    if (!f || !name || !*name) return -1;
    int16_t count = 0;
    if (std::fseek(f, 0, SEEK_SET) != 0 || std::fread(&count, sizeof count, 1, f) != 1) return -1;
    LocationRecord site;
    for (int i = 0; i < count; ++i) {
        if (!ReadLocation(f, i, &site, nullptr)) return -1;
        if (SameNameIgnoringCase(site.name, name)) return i;
    }
    return -1;
}

int FindObserverIndexByName(FILE *f, const char *name) {
    if (!f || !name || !*name) return -1;
    int16_t count = 0;
    if (std::fseek(f, 0, SEEK_SET) != 0 || std::fread(&count, sizeof count, 1, f) != 1) return -1;
    ObserverRecord observer;
    for (int i = 0; i < count; ++i) {
        if (!ReadObserver(f, i, &observer)) return -1;
        if (SameNameIgnoringCase(observer.name, name)) return i;
    }
    return -1;
}

int FindInstrumentIndexByName(FILE *f, const char *name) {
    if (!f || !name || !*name) return -1;
    // The count is the header's int32 after the 5-byte stamp.
    int32_t count = 0;
    if (std::fseek(f, 5, SEEK_SET) != 0 || std::fread(&count, sizeof count, 1, f) != 1) return -1;
    std::unique_ptr<InstrumentRecord> instrument(new InstrumentRecord);
    for (int i = 0; i < count; ++i) {
        if (!ReadInstrument(f, instrument.get(), i)) return -1;
        instrument->name[sizeof instrument->name - 1] = '\0';
        if (SameNameIgnoringCase(instrument->name, name)) return i;
    }
    return -1;
}

int ReadFilePreviewText(const char *path, std::string *text, int maxLines, int pieceChars) {
    text->clear();
    FILE *f = std::fopen(path, "r");
    if (!f) return 0;
    // The user sees the text as the passes will read it.
    const bool utf8 = IsUtf8File(f) != 0;
    std::vector<char> piece(static_cast<size_t>(pieceChars) + 1);
    for (int lines = 0; lines < maxLines; ++lines) {
        if (!std::fgets(piece.data(), pieceChars + 1, f)) {
            if (std::ferror(f)) {  // a read error is no end of the file
                std::fclose(f);
                return 0;
            }
            break;
        }
        size_t n = std::strlen(piece.data());
        bool ended = n > 0 && piece[n - 1] == '\n';
        if (ended) --n;
        if (ended && n > 0 && piece[n - 1] == '\r') --n;  // a CR LF file read on a LF system
        text->append(piece.data(), n);
        if (ended) text->append("\r\n");
    }
    std::fclose(f);
    if (text->compare(0, 3, "\xEF\xBB\xBF") == 0) text->erase(0, 3);
    if (utf8) ConvertUtf8ToCp1252(text);
    return 1;
}

int ReadFormatFromFields(const FormatEditorFields &in, ImportFormat *f, std::string *message) {
    if (in.name.empty()) {
        *message = "Please enter a name for your file format configuration.";
        return 0;
    }
    std::memset(f->name, 0, sizeof f->name);
    CopyText(f->name, 64, in.name);  // at most 63 characters

    if (IsBlank(in.skipLines.c_str())) {
        f->skipLines = 0;
    } else {
        long long n = 0;
        if (!ReadWholeNumber(in.skipLines.c_str(), &n) || n < 0 || n > INT32_MAX) {
            *message = "The number of lines to skip is invalid.";
            return 0;
        }
        f->skipLines = static_cast<int32_t>(n);
    }

    // No selection keeps what the format holds, made valid.
    if (in.dateLayout >= 0 && in.dateLayout < kDateLayoutCount) f->dateLayout = in.dateLayout;
    else if (f->dateLayout < 0 || f->dateLayout >= kDateLayoutCount) f->dateLayout = 0;
    f->commentChar = in.commentChar.empty() ? '\0' : in.commentChar[0];
    if (in.delimiterIndex >= 0 && in.delimiterIndex < kDelimiterCount)
        f->delimiter = kDelimiterChars[in.delimiterIndex];
    else if (DelimiterIndexOf(f->delimiter) < 0) f->delimiter = ',';

    struct Column { const std::string &text; int32_t *field; const char *error; };
    const Column columns[] = {
        {in.timeColumn, &f->timeColumn, "The time column is invalid."},
        {in.dateColumn, &f->dateColumn, "The date column is invalid."},
        {in.targetColumn, &f->targetColumn, "The target column is invalid."},
        {in.descriptionColumn, &f->descriptionColumn, "The description column is invalid."},
    };
    for (const Column &c : columns) {
        int32_t value = -1;
        if (!ParseFieldColumnText(c.text.c_str(), &value)) {
            *message = c.error;
            return 0;
        }
        std::memcpy(c.field, &value, sizeof value);  // packed field
    }

    struct Source { bool fixed; const std::string &text; int32_t *column; uint8_t *flag; const char *error; };
    const Source sources[] = {
        {in.siteFixed, in.siteColumn, &f->siteColumn, &f->siteFixed, "The site column is invalid."},
        {in.observerFixed, in.observerColumn, &f->observerColumn, &f->observerFixed,
         "The observer column is invalid."},
        {in.instrumentFixed, in.instrumentColumn, &f->instrumentColumn, &f->instrumentFixed,
         "The instrument column is invalid."},
    };
    for (const Source &s : sources) {
        int32_t value = -1;
        int ok = ParseSourceColumnText(s.text.c_str(), &value);
        if (!ok && !s.fixed) {  // a fixed entry needs no column
            *message = s.error;
            return 0;
        }
        *s.flag = s.fixed ? 1 : 0;
        std::memcpy(s.column, &value, sizeof value);
    }

    char *const tags[8] = {f->entryTag, f->siteTag, f->observerTag, f->instrumentTag,
                           f->dateTag, f->timeTag, f->targetTag, f->descriptionTag};
    for (int i = 0; i < 8; ++i) {
        std::memset(tags[i], 0, kFormatTagSize);
        CopyText(tags[i], kFormatTagSize, in.tags[i]);
    }
    return 1;
}
