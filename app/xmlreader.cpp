// The tag-by-tag reader of tagged (XML-like) log files.
#include "app/xmlreader.h"

#include "app/textencoding.h"

#include <climits>
#include <cstring>

namespace {

// Reads one whole line (with its LF when it has one) into the reader through
// the shared line reader; 0 when the file holds no further line. NUL and
// 0x1A bytes are kept as ordinary bytes, and the first line holding one is
// noted.
int NextLine(FILE *file, XmlReader *r) {
    r->line.clear();
    r->cursor = 0;
    if (!r->lines.file) BeginImportLines(&r->lines, file, 0);
    if (!r->lines.file || r->atEnd) {
        r->atEnd = 1;
        return 0;
    }
    ImportLineStatus status = ReadImportLine(&r->lines, &r->line);
    if (status == kImportLineReadError) r->readError = 1;
    if (status == kImportLineEnd || status == kImportLineReadError) {
        r->atEnd = 1;
        return 0;
    }
    r->lineNumber = r->lines.lineNumber;
    if (status == kImportLineNotText && r->nulLine == 0) r->nulLine = r->lineNumber;
    return 1;
}

// Makes sure a character lies under the cursor, reading further lines as
// needed; false at the end of the file.
bool Ensure(FILE *file, XmlReader *r) {
    while (r->cursor >= r->line.size())
        if (!NextLine(file, r)) return false;
    return true;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool LowerEquals(char a, char b) { return Lower(a) == Lower(b); }

// Whether the current line holds text at the cursor; markers never hold a
// line end, so one line is enough to see them whole.
bool At(const XmlReader *r, const char *text, bool caseBlind = false) {
    size_t n = std::strlen(text);
    if (r->cursor + n > r->line.size()) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = r->line[r->cursor + i];
        if (caseBlind ? !LowerEquals(c, text[i]) : c != text[i]) return false;
    }
    return true;
}

// Moves the cursor past the next occurrence of the terminator, across lines;
// false when the file ends first.
bool SkipPast(FILE *file, XmlReader *r, const char *terminator) {
    for (;;) {
        if (!Ensure(file, r)) return false;
        size_t at = r->line.find(terminator, r->cursor);
        if (at != std::string::npos) {
            r->cursor = at + std::strlen(terminator);
            return true;
        }
        r->cursor = r->line.size();
    }
}

// Moves the cursor past the '>' that ends a declaration such as
// "<!DOCTYPE log [ <!ENTITY x "y"> ]>": brackets nest, quoted texts are
// stepped over. The cursor starts after "<!".
bool SkipDeclaration(FILE *file, XmlReader *r) {
    int depth = 0;
    char quote = 0;
    for (;;) {
        if (!Ensure(file, r)) return false;
        char c = r->line[r->cursor++];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            if (depth > 0) --depth;
        } else if (c == '>' && depth == 0) {
            return true;
        }
    }
}

const char kCdataStart[] = "<![CDATA[";

// Decodes the reference that begins with '&' at the cursor: the five
// predefined entities and decimal or hexadecimal character references. On
// success appends the character, moves the cursor past ';' and returns true;
// anything else is left for the caller to copy as written.
bool DecodeReference(XmlReader *r, std::string *out) {
    const std::string &s = r->line;
    size_t start = r->cursor + 1;
    size_t semi = s.find(';', start);
    if (semi == std::string::npos || semi - start > 10 || semi == start) return false;
    std::string name = s.substr(start, semi - start);
    static const struct {
        const char *name;
        char c;
    } kNamed[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto &e : kNamed) {
        if (name == e.name) {
            out->push_back(e.c);
            r->cursor = semi + 1;
            return true;
        }
    }
    if (name[0] != '#') return false;
    bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    size_t i = hex ? 2 : 1;
    if (i >= name.size()) return false;
    unsigned long cp = 0;
    for (; i < name.size(); ++i) {
        char c = name[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        cp = cp * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        if (cp > 0x10FFFF) return false;
    }
    if (cp == 0) return false;
    out->push_back(CodePointToCp1252(cp));
    r->cursor = semi + 1;
    return true;
}

// In a UTF-8 file the line reader did not convert (one that declares UTF-8
// but is not well-formed throughout), decodes the character whose sequence
// begins at the cursor into its Windows-1252 byte and returns the sequence
// length; 0 (nothing appended) for a plain ASCII byte, a file not in UTF-8 or
// a byte that does not begin a well-formed sequence, which is kept as it is.
size_t TakeUtf8(const XmlReader *r, std::string *out) {
    if (!r->utf8) return 0;
    unsigned long cp = 0;
    size_t length = DecodeUtf8Sequence(r->line.data() + r->cursor, r->line.size() - r->cursor, &cp);
    if (length == 0) return 0;
    out->push_back(CodePointToCp1252(cp));
    return length;
}

// Whether the first line says the file is UTF-8: an XML declaration whose
// encoding is UTF-8 (any case, either quote).
bool DeclaresUtf8(const std::string &line) {
    size_t decl = line.find("<?xml");
    if (decl == std::string::npos) return false;
    size_t end = line.find("?>", decl);
    std::string d = line.substr(decl, end == std::string::npos ? std::string::npos : end - decl);
    for (char &c : d) c = Lower(c);
    size_t at = d.find("encoding");
    if (at == std::string::npos) return false;
    at = d.find_first_of("\"'", at);
    if (at == std::string::npos) return false;
    return d.compare(at + 1, 5, "utf-8") == 0 || d.compare(at + 1, 4, "utf8") == 0;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Appends one character of element text, turning each line end into CR LF
// (a CR before the LF, as read from a CR LF file, is dropped).
void AppendTextChar(const XmlReader *r, char c, std::string *out) {
    if (c == '\r' && r->cursor + 1 < r->line.size() && r->line[r->cursor + 1] == '\n') return;
    if (c == '\n') {
        out->append("\r\n");
        return;
    }
    out->push_back(c);
}

}  // namespace

int XmlTagHasName(const char *tag, const char *name, size_t nameSize) {
    if (!tag || !name || nameSize == 0 || !name[0]) return 0;
    size_t i = 0;
    for (; i < nameSize && name[i]; ++i)
        if (!LowerEquals(tag[i], name[i])) return 0;
    char after = tag[i];
    return after == '\0' || IsSpace(after) || after == '/' ? 1 : 0;
}

int IsSelfClosingXmlTag(const char *tag) {
    if (!tag) return 0;
    size_t n = std::strlen(tag);
    while (n > 0 && IsSpace(tag[n - 1])) --n;
    return n > 0 && tag[n - 1] == '/' ? 1 : 0;
}

int SkipXmlLines(FILE *file, int count) {
    if (!file) return 0;
    ImportLineReader lines;
    BeginImportLines(&lines, file, 0);
    return SkipImportLines(&lines, count);
}

int ReadFirstXmlLine(FILE *file, XmlReader *reader) {
    if (!reader) return 0;
    reader->line.clear();
    reader->cursor = 0;
    reader->atEnd = 0;
    reader->lineNumber = reader->lines.lineNumber;
    reader->nulLine = 0;
    reader->readError = 0;
    reader->utf8 = 0;
    if (!NextLine(file, reader)) return 0;
    // A file that is UTF-8 throughout comes converted; one that only says so
    // is converted here where its sequences are well-formed.
    if (!reader->lines.utf8 && (reader->lines.byteOrderMark || DeclaresUtf8(reader->line))) reader->utf8 = 1;
    return 1;
}

int ReadNextXmlTag(FILE *file, XmlReader *reader, char *tag, int tagSize, int *closing) {
    if (tag && tagSize > 0) tag[0] = '\0';
    if (closing) *closing = 0;
    if (!reader) return 0;
    XmlReader *r = reader;
    // Find the next '<' that opens a tag, stepping over comments, CDATA
    // sections and declarations as whole units.
    for (;;) {
        if (!Ensure(file, r)) return 0;
        size_t lt = r->line.find('<', r->cursor);
        if (lt == std::string::npos) {
            r->cursor = r->line.size();
            continue;
        }
        r->cursor = lt;
        if (At(r, "<!--")) {
            r->cursor += 4;
            if (!SkipPast(file, r, "-->")) return 0;
        } else if (At(r, kCdataStart, true)) {
            r->cursor += std::strlen(kCdataStart);
            if (!SkipPast(file, r, "]]>")) return 0;
        } else if (At(r, "<!")) {
            r->cursor += 2;
            if (!SkipDeclaration(file, r)) return 0;
        } else {
            break;
        }
    }
    ++r->cursor;  // past '<'
    if (!Ensure(file, r)) return 0;
    int isClosing = 0;
    if (r->line[r->cursor] == '/') {
        isClosing = 1;
        ++r->cursor;
    }
    // Copy up to '>'; line ends met on the way are part of the tag text.
    int n = 0;
    bool overflow = !tag || tagSize <= 0;
    for (;;) {
        if (!Ensure(file, r)) {
            if (tag && tagSize > 0) tag[0] = '\0';
            return 0;
        }
        char c = r->line[r->cursor++];
        if (c == '>') break;
        if (!overflow && n < tagSize - 1) tag[n++] = c;
        else overflow = true;
    }
    if (tag && tagSize > 0) tag[overflow ? 0 : n] = '\0';
    if (closing) *closing = isClosing;
    return 1;
}

int ReadXmlElementText(FILE *file, XmlReader *reader, std::string *text) {
    if (text) text->clear();
    if (!reader || !text) return 0;
    XmlReader *r = reader;
    std::string &out = *text;
    // The part of the text that came from CDATA sections keeps its blanks.
    size_t keptFrom = std::string::npos, keptTo = 0;
    while (Ensure(file, r)) {
        char c = r->line[r->cursor];
        if (c == '<') {
            if (At(r, kCdataStart, true)) {
                r->cursor += std::strlen(kCdataStart);
                if (keptFrom == std::string::npos) keptFrom = out.size();
                bool ended = false;
                while (Ensure(file, r)) {
                    if (At(r, "]]>")) {
                        r->cursor += 3;
                        ended = true;
                        break;
                    }
                    if (size_t n = TakeUtf8(r, &out)) {
                        r->cursor += n;
                        continue;
                    }
                    AppendTextChar(r, r->line[r->cursor], &out);
                    ++r->cursor;
                }
                keptTo = out.size();
                if (!ended) break;  // the file ended inside the section
                continue;
            }
            if (At(r, "<!--")) {
                r->cursor += 4;
                if (!SkipPast(file, r, "-->")) break;
                continue;
            }
            break;  // the next tag: the cursor stays on its '<'
        }
        if (c == '&' && DecodeReference(r, &out)) continue;
        if (size_t n = TakeUtf8(r, &out)) {
            r->cursor += n;
            continue;
        }
        AppendTextChar(r, c, &out);
        ++r->cursor;
    }
    // Blanks and line ends at both ends are layout, not value.
    size_t end = out.size();
    while (end > keptTo && IsSpace(out[end - 1])) --end;
    out.erase(end);
    size_t begin = 0;
    size_t limit = keptFrom == std::string::npos ? out.size() : keptFrom;
    while (begin < limit && IsSpace(out[begin])) ++begin;
    out.erase(0, begin);
    return out.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(out.size());
}

int ReadXmlRecordLines(std::string *buffer, FILE *file) {
    if (!buffer) return 0;
    buffer->clear();
    XmlReader r;
    // One record from the file's current position: its lines as they are,
    // without reading the rest of the file to learn its encoding.
    r.lines.file = file;
    r.lines.maxLength = 0;
    r.lines.lineNumber = 1;  // not the file's start: no byte-order mark is looked for
    if (!NextLine(file, &r)) return 0;
    if (r.line.find("</DEEPSKY2000>") != std::string::npos) return 0;
    *buffer = r.line;
    while (buffer->find("</") == std::string::npos) {
        if (!NextLine(file, &r)) return 0;
        buffer->append(r.line);
    }
    return 1;
}

int ExtractCdataText(const char *text, std::string *out) {
    if (!out) return 0;
    out->clear();
    if (!text) return 0;
    const char *start = std::strstr(text, "CDATA[");
    if (!start) return 0;
    start += 6;
    const char *end = std::strstr(start, "]]>");
    if (!end) return 0;
    out->assign(start, end);
    return 1;
}

int ExtractTagText(const char *text, std::string *out) {
    if (!out) return 0;
    out->clear();
    if (!text) return 0;
    const char *gt = std::strchr(text, '>');
    if (!gt) return 0;
    const char *lt = std::strchr(gt + 1, '<');
    if (!lt) return 0;
    out->assign(gt + 1, lt);
    return 1;
}
