// The delimited-text import pass: every line of the import file (as the shared
// line reader gives it) is split into fields, each field acts by the role its column has in the current format,
// and the entry is completed (app/entrycompletion.h).
#include <cstring>
#include <string>
#include <vector>

#include "app/delimited.h"
#include "app/entrycompletion.h"
#include "app/importlines.h"
#include "app/importpass.h"

namespace {

bool IsKnownDelimiter(char c) { return c && std::strchr(",\t|:;", c) != nullptr; }

// The delimiter as a message names it.
std::string DelimiterName(char delimiter) {
    if (delimiter == '\t') return "tab";
    return std::string("'") + delimiter + "'";
}

// Whether the format reads a value from any field after the first.
bool ReadsBeyondFirstField(const int32_t roles[kRoleSlots]) {
    for (int position = 1; position < kRoleSlots; ++position)
        if (roles[position] != kRoleNone) return true;
    return false;
}

// The first entry line failed: when it holds no delimiter at all while the
// format reads further fields, the file is most likely written with another
// delimiter, and the message says so instead of naming a value it lacks.
int FirstEntryFailed(ImportPassContext *ctx, const std::string &text, const int32_t roles[kRoleSlots]) {
    const ImportFormat &format = *ctx->format;
    if (ctx->tally.processed == 0 && text.find(format.delimiter) == std::string::npos &&
        ReadsBeyondFirstField(roles))
        SetImportError("No log entry was imported: line %ld of the import file holds no %s, the "
                       "delimiter of the import format %.64s. Is it the right format for this file?\n",
                       ctx->lines.lineNumber, DelimiterName(format.delimiter).c_str(), format.name);
    return FailImportPass(ctx);
}

// A pass that met no entry fails with its cause, never ends as an import of
// nothing.
int NoEntryFound(ImportPassContext *ctx, long linesRead) {
    const ImportFormat &format = *ctx->format;
    if (ctx->lines.lineNumber == 0)
        SetImportError("No log entry was imported: the import file is empty (import format %.64s)\n",
                       format.name);
    else if (linesRead == 0)
        SetImportError("No log entry was imported: the import format %.64s skips the first %d lines, "
                       "and the import file has no further line\n",
                       format.name, static_cast<int>(format.skipLines));
    else if (format.commentChar)
        SetImportError("No log entry was imported: every line of the import file after the lines to "
                       "skip is blank or a comment ('%c') under the import format %.64s\n",
                       format.commentChar, format.name);
    else
        SetImportError("No log entry was imported: every line of the import file after the lines to "
                       "skip is blank under the import format %.64s\n",
                       format.name);
    return FailImportPass(ctx);
}

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

int RunDelimitedImportPass(const ImportListSink *list, const ImportJob &job, int preview,
                           int *added) {
    ImportPassContext ctx;
    if (BeginImportPass(&ctx, list, job, preview, added) < 0) return -1;
    const ImportFormat &format = *ctx.format;
    if (!IsKnownDelimiter(format.delimiter)) {
        SetImportError("The import format %.64s has no valid delimiter\n", format.name);
        return FailImportPass(&ctx);
    }
    int32_t roles[kRoleSlots];
    BuildRoleTable(format, roles);
    std::string text;
    std::vector<char> line;
    std::vector<char> field(kFieldSize);
    long linesRead = 0;
    for (;;) {
        ImportLineStatus read = ReadImportLine(&ctx.lines, &text);
        if (read == kImportLineEnd) break;
        ++linesRead;
        if (read != kImportLineRead) {
            SetImportLineError(ctx.lines, read);
            return FailImportPass(&ctx);
        }
        ResetWorkingEntry(&ctx);
        DelimitedLineKind kind = ClassifyDelimitedLine(text.c_str(), format);
        if (kind == kDelimitedCommentLine) continue;
        if (kind == kDelimitedBlankLine) {
            ++ctx.tally.skippedBlank;
            continue;
        }
        ApplyFixedValues(&ctx);
        if (!ForEachDelimitedField(text, format.delimiter, kRoleSlots, &line, &field,
                                   [&](int position, char *value) {
                                       return ActOnField(&ctx, roles[position], value) >= 0;
                                   }))
            return FirstEntryFailed(&ctx, text, roles);
        if (CompleteEntry(&ctx) < 0) return FirstEntryFailed(&ctx, text, roles);
    }
    if (ctx.tally.processed == 0) return NoEntryFound(&ctx, linesRead);
    return FinishImportPass(&ctx);
}
