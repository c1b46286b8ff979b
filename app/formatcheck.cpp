// Checking an import file against its format before step 2: kind of text,
// emptiness and at least one readable entry, read through the import's own
// line reader and splitters so that the check sees what the passes see.
#include "app/formatcheck.h"

#include <cstdio>
#include <vector>

#include "app/delimited.h"
#include "app/importlines.h"
#include "app/xmlreader.h"

namespace {

struct FileCloser {
    FILE *file = nullptr;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

// A fixed-size text field of the format, up to its NUL or its size.
std::string FieldText(const char *field, size_t size) {
    size_t n = 0;
    while (n < size && field[n]) ++n;
    return std::string(field, n);
}

std::string Quoted(const std::string &text) { return "\"" + text + "\""; }

// The first character of the text that is not a blank or line end; 0 for none.
char FirstMark(const std::string &text) {
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return c;
    return 0;
}

// 1 when a delimited line has a non-empty field at the column.
bool HasFieldAt(const std::string &text, const ImportFormat &format, int column) {
    std::vector<char> line(text.begin(), text.end());
    line.push_back('\0');
    std::vector<char> field(kFieldSize);
    char *cursor = line.data();
    for (int position = 0; position <= column; ++position) {
        cursor = NextDelimitedField(cursor, field.data(), format.delimiter);
        if (!cursor) return false;
    }
    return field[0] != '\0';
}

}  // namespace

int CheckImportFileFitsFormat(const ImportJob &job, std::string *message) {
    std::string unused;
    if (!message) message = &unused;
    message->clear();
    if (!job.format) return 0;
    const ImportFormat &format = *job.format;
    const std::string file = Quoted(ImportJobPath(job));
    const std::string name = Quoted(FieldText(format.name, sizeof format.name));
    const bool tagged = format.kind == kFormatKindTagged;

    FileCloser in;
    ImportLineReader reader;
    if (OpenImportJobLines(job, &in.file, &reader) != 1) {
        *message = "The import file " + file + " could not be opened.";
        return 0;
    }
    const long skipped = reader.lineNumber;

    // The first line that holds anything tells the kind of text.
    std::string line;
    char mark = 0;
    ImportLineStatus status = kImportLineEnd;
    while ((status = ReadImportLine(&reader, &line)) != kImportLineEnd && status != kImportLineReadError) {
        mark = FirstMark(line);
        if (mark) break;
    }
    if (status == kImportLineReadError) {
        *message = "The import file " + file + " cannot be read after line " + std::to_string(reader.lineNumber) + ".";
        return 0;
    }
    if (!mark) {
        if (skipped > 0)
            *message = "The import file " + file + " holds nothing after the " + std::to_string(skipped) +
                       " lines the format " + name + " skips: there is no entry to import.";
        else
            *message = "The import file " + file + " is empty: there is no entry to import with the format " +
                       name + ".";
        return 0;
    }
    const bool looksTagged = mark == '<';
    if (looksTagged && !tagged) {
        *message = "The import file " + file + " holds tagged (XML) text, but the format " + name +
                   " reads delimited text. Choose or make a tagged format for this file.";
        return 0;
    }
    if (!looksTagged && tagged) {
        *message = "The import file " + file + " holds no tags, but the format " + name +
                   " reads tagged (XML) text. Choose or make a delimited format for this file.";
        return 0;
    }

    if (tagged) {
        // An element with the format's entry tag, read by the tag reader the
        // pass uses (it steps over comments and declarations).
        XmlReader xml;
        xml.lines = reader;
        xml.line = line;
        xml.lineNumber = reader.lineNumber;
        std::vector<char> tag(kXmlTagBufferSize);
        int closing = 0;
        while (ReadNextXmlTag(in.file, &xml, tag.data(), kXmlTagBufferSize, &closing))
            if (!closing && XmlTagHasName(tag.data(), format.entryTag, sizeof format.entryTag)) return 1;
        *message = "The import file " + file + " has no entry the format " + name + " can read: no <" +
                   FieldText(format.entryTag, sizeof format.entryTag) + "> element (the format's entry tag) was found.";
        return 0;
    }

    const int column = format.targetColumn;
    if (column < 0 || column >= kRoleSlots) {
        *message = "The format " + name + " names no column for the object, so no entry of the import file " +
                   file + " can be read.";
        return 0;
    }
    do {
        if (status != kImportLineRead) continue;
        if (ClassifyDelimitedLine(line.c_str(), format) != kDelimitedEntryLine) continue;
        if (HasFieldAt(line, format, column)) return 1;
    } while ((status = ReadImportLine(&reader, &line)) != kImportLineEnd);
    *message = "The import file " + file + " has no entry the format " + name +
               " can read: no line has a field in column " + std::to_string(column + 1) +
               " (the object's column), split at \"" +
               (format.delimiter == '\t' ? std::string("TAB") : std::string(1, format.delimiter)) + "\".";
    return 0;
}
