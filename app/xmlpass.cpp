// The tagged-text (XML) import pass: the file is walked tag by tag; elements
// are known by their names, with or without attributes; the format's entry
// tag opens and closes one log entry, the value tags inside it
// give the entry's values by their roles, and each entry is completed at its
// closing tag (app/entrycompletion.h).
#include <cstring>
#include <string>
#include <vector>

#include "app/entrycompletion.h"
#include "app/importpass.h"
#include "app/xmlreader.h"

namespace {

// A tag read from the file against a tag name of the format (a 65-byte field,
// read only up to its end): the element's name, case-blind, whatever
// attributes follow it. An empty name matches nothing.
bool TagIs(const char *tag, const char *name) { return XmlTagHasName(tag, name, kFormatTagSize) != 0; }

typedef int (*ApplyValue)(ImportPassContext *ctx, const char *text);

int ApplyTaggedCondition(ImportPassContext *ctx, const char *text) {
    return ApplyConditionText(ctx, text, 0);  // blanks inside stay as written
}

// One value tag of the format inside an entry.
struct ValueTag {
    const char *name;   // the format's tag field
    ApplyValue apply;
};

// The format's value tags in the order a tag read from the file is compared
// with them. A fixed site, observer or instrument takes nothing from the file.
std::vector<ValueTag> ValueTags(const ImportFormat &f) {
    std::vector<ValueTag> tags;
    tags.push_back({f.targetTag, ApplyTargetText});
    if (!f.siteFixed) tags.push_back({f.siteTag, ApplySiteText});
    if (!f.observerFixed) tags.push_back({f.observerTag, ApplyObserverText});
    if (!f.instrumentFixed) tags.push_back({f.instrumentTag, ApplyInstrumentText});
    for (const auto &extra : f.extraTags) tags.push_back({extra, ApplyExtraText});
    for (const auto &condition : f.conditionTags) tags.push_back({condition, ApplyTaggedCondition});
    tags.push_back({f.dateTag, ApplyDateText});
    tags.push_back({f.timeTag, ApplyTimeText});
    tags.push_back({f.descriptionTag, ApplyDescriptionText});
    return tags;
}

int NotText(ImportPassContext *ctx, const XmlReader &reader) {
    if (reader.readError)
        SetImportLineError(reader.lines, kImportLineReadError);
    else
        SetImportError("Line %ld of the import file is not text\n", reader.nulLine);
    return FailImportPass(ctx);
}

}  // namespace

int RunXmlImportPass(const ImportListSink *list, const ImportJob &job, int preview, int *added) {
    ImportPassContext ctx;
    if (BeginImportPass(&ctx, list, job, preview, added) < 0) return -1;
    const ImportFormat &format = *ctx.format;
    // Without an entry tag no entry can begin: an import of nothing would
    // look like a file without entries.
    if (!format.entryTag[0]) {
        SetImportError("The import format %.64s has no entry tag\n", format.name);
        return FailImportPass(&ctx);
    }
    XmlReader reader;
    reader.lines = ctx.lines;  // after the lines to skip
    if (!ReadFirstXmlLine(ctx.importFile, &reader)) {
        SetImportError("Unable to initialize file\n");
        return FailImportPass(&ctx);
    }
    const std::vector<ValueTag> valueTags = ValueTags(format);
    std::vector<char> tagBuffer(kXmlTagBufferSize);
    char *tag = tagBuffer.data();
    std::string text;
    int closing = 0;
    bool inside = false;
    while (ReadNextXmlTag(ctx.importFile, &reader, tag, kXmlTagBufferSize, &closing)) {
        if (reader.nulLine || reader.readError) return NotText(&ctx, reader);
        if (!tag[0]) continue;
        const bool isEntryTag = TagIs(tag, format.entryTag);
        if (closing) {
            if (inside && isEntryTag) {
                if (CompleteEntry(&ctx) < 0) return FailImportPass(&ctx);
                inside = false;
            }
            continue;
        }
        // A self-closing element has no text, and a self-closing entry
        // holds no values: neither gives anything to an entry.
        if (IsSelfClosingXmlTag(tag)) continue;
        if (isEntryTag) {
            // An entry left open would take the values of the next one: the
            // file is refused rather than imported with entries merged or lost.
            if (inside) {
                SetImportError("Log entry not closed before the next log entry on line %ld\n",
                               reader.lineNumber);
                return FailImportPass(&ctx);
            }
            ResetWorkingEntry(&ctx);
            ApplyFixedValues(&ctx);
            inside = true;
            continue;
        }
        if (!inside) continue;
        // Every value tag the tag equals reads the element text anew, so a tag
        // name the format gives to two values serves only the first.
        for (const ValueTag &value : valueTags) {
            if (!TagIs(tag, value.name)) continue;
            if (ReadXmlElementText(ctx.importFile, &reader, &text) <= 0) continue;
            if (value.apply(&ctx, text.c_str()) < 0) return FailImportPass(&ctx);
        }
    }
    if (reader.nulLine || reader.readError) return NotText(&ctx, reader);
    if (inside) {
        SetImportError("Unexpected end of file inside a log entry\n");
        return FailImportPass(&ctx);
    }
    // A file in which no entry began is not an import of nothing: the entry
    // tag is most likely not the one the file uses.
    if (ctx.tally.processed == 0) {
        SetImportError("No log entry was imported: the import file holds no <%.64s> element, the "
                       "entry tag of the import format %.64s\n",
                       format.entryTag, format.name);
        return FailImportPass(&ctx);
    }
    return FinishImportPass(&ctx);
}
