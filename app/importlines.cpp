// The shared line reader of an import file.
#include "app/importlines.h"

#include "app/importpass.h"
#include "app/textencoding.h"

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

void BeginImportLines(ImportLineReader *reader, FILE *file, size_t maxLength) {
    *reader = ImportLineReader();
    reader->file = file;
    reader->maxLength = maxLength;
    reader->utf8 = IsUtf8File(file);
}

ImportLineStatus ReadImportLine(ImportLineReader *reader, std::string *line) {
    line->clear();
    if (!reader->file) return kImportLineEnd;
    const size_t limit = reader->maxLength;
    // Characters beyond the limit are counted, not kept: a line refused as
    // too long cannot fill the memory.
    const size_t keep = limit ? (reader->utf8 ? 4 * limit : limit) + 4 : static_cast<size_t>(-1);
    size_t length = 0;
    bool notText = false, ended = false;
    int c;
    while ((c = std::getc(reader->file)) != EOF) {
        if (c == '\n') {
            ended = true;
            break;
        }
        if (c == '\r') {
            int next = std::getc(reader->file);
            if (next != '\n' && next != EOF) std::ungetc(next, reader->file);
            ended = true;
            break;
        }
        if (c == 0 || c == 0x1A) notText = true;
        if (line->size() < keep) line->push_back(static_cast<char>(c));
        ++length;
    }
    // A read that failed is no end of the file: what follows was never seen.
    if (!ended && std::ferror(reader->file)) return kImportLineReadError;
    if (!ended && length == 0) return kImportLineEnd;
    if (reader->lineNumber == 0 && line->compare(0, 3, kByteOrderMark) == 0) {
        line->erase(0, 3);
        length -= 3;
        reader->byteOrderMark = 1;
    }
    if (reader->utf8) {
        // Every character kept is whole; the count loses what the bytes
        // beyond the kept ones would have lost.
        size_t before = line->size();
        ConvertUtf8ToCp1252(line);
        length -= before - line->size();
    }
    ++reader->lineNumber;
    if (ended) line->push_back('\n');
    if (notText) return kImportLineNotText;
    if (limit && length > limit) return kImportLineTooLong;
    return kImportLineRead;
}

int SkipImportLines(ImportLineReader *reader, int count) {
    int dropped = 0;
    std::string line;
    const size_t limit = reader->maxLength;
    reader->maxLength = 1;  // nothing of a dropped line needs keeping
    for (ImportLineStatus s; dropped < count && (s = ReadImportLine(reader, &line)) != kImportLineEnd &&
                             s != kImportLineReadError;)
        ++dropped;
    reader->maxLength = limit;
    return dropped;
}

void SetImportLineError(const ImportLineReader &reader, ImportLineStatus status) {
    if (status == kImportLineTooLong)
        SetImportError("Line %ld of the import file is longer than %d characters\n", reader.lineNumber,
                       static_cast<int>(reader.maxLength));
    else if (status == kImportLineNotText)
        SetImportError("Line %ld of the import file is not text\n", reader.lineNumber);
    else if (status == kImportLineReadError)
        SetImportError("The import file cannot be read after line %ld\n", reader.lineNumber);
}

int OpenImportJobLines(const ImportJob &job, FILE **file, ImportLineReader *reader) {
    const char *path = ImportJobPath(job);
    *file = path[0] ? std::fopen(path, "rb") : nullptr;
    if (!*file || !job.format) {
        if (*file) std::fclose(*file);
        *file = nullptr;
        SetImportError("File not found: %s\n", path);
        return -1;
    }
    BeginImportLines(reader, *file, job.format->kind == kFormatKindTagged ? 0 : kImportLineLength);
    SkipImportLines(reader, job.format->skipLines);
    return 1;
}

DelimitedLineKind ClassifyDelimitedLine(const char *line, const ImportFormat &format) {
    if (format.commentChar && line[0] == format.commentChar) return kDelimitedCommentLine;
    for (const char *p = line; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != format.delimiter)
            return kDelimitedEntryLine;
    return kDelimitedBlankLine;
}
