// The delimited-text import pass: every line of the import file is split into
// fields, each field acts by the role its column has in the current format,
// and the entry is completed (app/entrycompletion.h).
#include <cstring>
#include <string>
#include <vector>

#include "app/delimited.h"
#include "app/entrycompletion.h"
#include "app/importpass.h"

namespace {

enum LineResult { kLineEnd = 0, kLineRead = 1, kLineTooLong = 2, kLineNotText = 3 };

// Reads one line, its LF kept, into line. A line of more than
// kImportLineLength characters (line end excluded) or one holding a NUL byte
// is read to its end and reported, so the next read starts on the next line.
LineResult ReadImportLine(FILE *f, std::vector<char> *line) {
    line->clear();
    const size_t keep = static_cast<size_t>(kImportLineLength) + 2;
    size_t length = 0;
    bool notText = false, lastCr = false;
    int c = EOF;
    while ((c = std::fgetc(f)) != EOF && c != '\n') {
        if (c == '\0') notText = true;
        if (line->size() < keep) line->push_back(static_cast<char>(c));
        ++length;
        lastCr = c == '\r';
    }
    if (c == EOF && length == 0) return kLineEnd;
    if (c == '\n') line->push_back('\n');
    line->push_back('\0');
    if (notText) return kLineNotText;
    // A CR before the LF belongs to the line end.
    if (length - (lastCr ? 1 : 0) > static_cast<size_t>(kImportLineLength)) return kLineTooLong;
    return kLineRead;
}

// A line with nothing but blanks, tabs, line ends and delimiters holds no value.
bool IsBlankLine(const char *text, char delimiter) {
    for (const char *p = text; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != delimiter) return false;
    return true;
}

bool IsKnownDelimiter(char c) { return c && std::strchr(",\t|:;", c) != nullptr; }

int ActOnField(ImportPassContext *ctx, int32_t role, const char *field) {
    switch (role) {
    case kRoleTarget: return ApplyTargetText(ctx, field);
    case kRoleSite: return ApplySiteText(ctx, field);
    case kRoleObserver: return ApplyObserverText(ctx, field);
    case kRoleInstrument: return ApplyInstrumentText(ctx, field);
    case kRoleDate: return ApplyDateText(ctx, field);
    case kRoleTime: return ApplyTimeText(ctx, field);
    case kRoleCondition: return ApplyConditionText(ctx, field, 1);
    case kRoleExtra: return ApplyExtraText(ctx, field);
    case kRoleDescription: return ApplyDescriptionText(ctx, field);
    default: return 1;
    }
}

}  // namespace

int RunDelimitedImportPass(const ImportListSink *list, const ImportSettings &settings,
                           int preview, int *added) {
    ImportPassContext ctx;
    if (BeginImportPass(&ctx, list, settings, preview, added) < 0) return -1;
    const ImportFormat &format = *ctx.format;
    if (!IsKnownDelimiter(format.delimiter)) {
        SetImportError("The import format %.64s has no valid delimiter\n", format.name);
        return FailImportPass(&ctx);
    }
    int32_t roles[kRoleSlots];
    BuildRoleTable(format, roles);
    std::vector<char> line;
    std::vector<char> field(kFieldSize);
    for (;;) {
        LineResult read = ReadImportLine(ctx.importFile, &line);
        if (read == kLineEnd) break;
        ++ctx.lineNumber;
        if (read == kLineTooLong) {
            SetImportError("Line %d of the import file is longer than %d characters\n",
                           ctx.lineNumber, kImportLineLength);
            return FailImportPass(&ctx);
        }
        if (read == kLineNotText) {
            SetImportError("Line %d of the import file is not text\n", ctx.lineNumber);
            return FailImportPass(&ctx);
        }
        // Spreadsheets saving "CSV UTF-8" put a byte-order mark before the
        // first line; it is no part of the first field.
        if (ctx.lineNumber == 1 && line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF &&
            static_cast<unsigned char>(line[1]) == 0xBB && static_cast<unsigned char>(line[2]) == 0xBF)
            line.erase(line.begin(), line.begin() + 3);
        ResetWorkingEntry(&ctx);
        if (format.commentChar && line[0] == format.commentChar) continue;
        if (IsBlankLine(line.data(), format.delimiter)) {
            ++ctx.tally.skippedBlank;
            continue;
        }
        ApplyFixedValues(&ctx);
        char *cursor = line.data();
        for (int position = 0; position < kRoleSlots; ++position) {
            cursor = NextDelimitedField(cursor, field.data(), format.delimiter);
            if (!cursor) break;
            if (ActOnField(&ctx, roles[position], field.data()) < 0) return FailImportPass(&ctx);
        }
        if (CompleteEntry(&ctx) < 0) return FailImportPass(&ctx);
    }
    return FinishImportPass(&ctx);
}
