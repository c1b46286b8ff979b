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
    for (;;) {
        ImportLineStatus read = ReadImportLine(&ctx.lines, &text);
        if (read == kImportLineEnd) break;
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
        // The splitter cuts the line in place.
        line.assign(text.begin(), text.end());
        line.push_back('\0');
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
