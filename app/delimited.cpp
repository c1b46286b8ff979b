// Field splitting for the delimited-text import pass.
#include "app/delimited.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/textutil.h"

namespace {

bool OnlyLineEnd(const char *p) {
    for (; *p; ++p)
        if (*p != '\r' && *p != '\n') return false;
    return true;
}

void CopyField(char *field, const char *start) {
    std::snprintf(field, kFieldSize, "%s", start);
}

void TrimBoth(char *field) {
    TrimTrailingBlanks(field);
    TrimLeadingBlanks(field);
}

// The first delimiter outside quotes of a field that opens with a quote.
char *QuotedFieldEnd(char *cursor, char delimiter) {
    bool inside = true;
    for (char *p = cursor + 1; *p; ++p) {
        if (*p == '"') inside = !inside;
        else if (*p == delimiter && !inside) return p;
    }
    return nullptr;
}

// Cuts the text at end (none: the field runs to the end of the text), copies
// the field without its opening quote, trims it, turns doubled quotes into
// single ones and drops a closing quote; returns the position after the field.
char *TakeField(char *cursor, char *end, bool quoted, char *field) {
    char *next = cursor + std::strlen(cursor);  // the last field of a line without LF
    if (end) {
        *end = '\0';
        next = end + 1;
    }
    CopyField(field, cursor + (quoted ? 1 : 0));
    TrimBoth(field);
    CollapseDoubledQuotes(field);
    size_t n = std::strlen(field);
    if (n > 0 && field[n - 1] == '"') field[n - 1] = '\0';
    return next;
}

}  // namespace

void CollapseDoubledQuotes(char *text) {
    if (!text) return;
    char *w = text;
    for (const char *r = text; *r; ++r) {
        *w++ = *r;
        if (r[0] == '"' && r[1] == '"') ++r;
    }
    *w = '\0';
}

char *NextDelimitedField(char *cursor, char *field, char delimiter) {
    if (!cursor || !field) return nullptr;
    field[0] = '\0';
    if (OnlyLineEnd(cursor)) return nullptr;
    TrimLeadingBlanks(cursor);
    bool quoted = cursor[0] == '"';
    char *end = quoted ? QuotedFieldEnd(cursor, delimiter) : std::strchr(cursor, delimiter);
    if (!end) end = std::strchr(cursor, '\n');
    return TakeField(cursor, end, quoted, field);
}

char *NextCommaField(char *cursor, char *field) {
    if (!cursor || !field) return nullptr;
    field[0] = '\0';
    if (OnlyLineEnd(cursor)) return nullptr;
    TrimLeadingBlanks(cursor);
    bool quoted = cursor[0] == '"';
    char *end;
    if (quoted) {
        // A quoted field must be followed by a comma.
        end = QuotedFieldEnd(cursor, ',');
        if (!end) return nullptr;
    } else {
        end = std::strchr(cursor, ',');
        if (!end) end = std::strchr(cursor, '\n');
    }
    return TakeField(cursor, end, quoted, field);
}

char *NextTabField(char *cursor, char *field) {
    if (!cursor || !field) return nullptr;
    field[0] = '\0';
    if (std::strlen(cursor) <= 1) return nullptr;
    char *end = std::strchr(cursor, '\t');
    if (!end) end = std::strchr(cursor, '\n');
    if (!end) return nullptr;
    *end = '\0';
    CopyField(field, cursor);
    return end + 1;
}

int FirstTabField(const char *text, char *field, int fieldSize) {
    if (!field || fieldSize <= 0) return 0;
    field[0] = '\0';
    if (!text) return 0;
    size_t n = std::strcspn(text, "\t");
    if (n == 0) return 0;
    std::snprintf(field, (size_t)fieldSize, "%.*s", (int)n, text);
    return 1;
}

int ExpandLineEnds(char *text, int size) {
    if (!text || size <= 0) return 0;
    std::string out;
    for (const char *p = text; *p; ++p) {
        if (*p == '\n') out += '\r';
        out += *p;
    }
    if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0) out.resize(out.size() - 2);
    if (out.size() >= (size_t)size) return 0;
    std::memcpy(text, out.c_str(), out.size() + 1);
    return 1;
}

void RemoveTabsAndLineEnds(char *text) {
    if (!text) return;
    char *w = text;
    for (const char *r = text; *r; ++r)
        if (*r != '\t' && *r != '\r' && *r != '\n') *w++ = *r;
    *w = '\0';
}

void BuildRoleTable(const ImportFormat &f, int32_t roles[kRoleSlots]) {
    for (int i = 0; i < kRoleSlots; ++i) roles[i] = kRoleNone;
    auto set = [&](int32_t column, int32_t role) {
        if (column >= 0 && column < kRoleSlots) roles[column] = role;
    };
    if (!f.siteFixed) set(f.siteColumn, kRoleSite);
    if (!f.observerFixed) set(f.observerColumn, kRoleObserver);
    if (!f.instrumentFixed) set(f.instrumentColumn, kRoleInstrument);
    set(f.dateColumn, kRoleDate);
    set(f.timeColumn, kRoleTime);
    set(f.conditionColumns[0], kRoleCondition);
    set(f.conditionColumns[1], kRoleCondition);
    set(f.descriptionColumn, kRoleDescription);
    set(f.targetColumn, kRoleTarget);
    for (int i = 0; i < 5; ++i) set(f.extraColumns[i], kRoleExtra);
}

int ReorderDateWords(const char *field, int layout, char *out, int outSize) {
    if (!out || outSize <= 0) return 0;
    out[0] = '\0';
    if (!field || layout < 0 || layout > 5) return 0;
    std::string text = field;
    for (char &c : text)
        if (c == '/' || c == '-') c = ' ';
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    if (words.size() < 3) return 0;
    std::string r;
    if (layout < 2) {
        // Already in year-month-day order: every word as written.
        for (const std::string &w : words) r += (r.empty() ? "" : " ") + w;
    } else {
        static const int kOrder[2][3] = {{2, 0, 1}, {2, 1, 0}};
        const int *order = kOrder[layout / 2 - 1];
        r = words[order[0]] + " " + words[order[1]] + " " + words[order[2]];
        for (size_t k = 3; k < words.size() && k < 5; ++k) r += " " + words[k];
    }
    if (r.size() >= (size_t)outSize) return 0;
    std::memcpy(out, r.c_str(), r.size() + 1);
    return 1;
}
