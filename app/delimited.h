// Splitting the lines of a delimited-text log file: fields with quotes,
// the role each column plays under an import format, and the date words put
// into year-month-day order.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/formatfile.h"

const int kFieldSize = 2048;     // a field holds up to 2047 characters
const int kRoleSlots = 50;       // field positions 0..49 of a line

enum FieldRole : int32_t {
    kRoleNone = -1,
    kRoleTarget = 1,
    kRoleSite = 2,
    kRoleObserver = 3,
    kRoleInstrument = 4,
    kRoleDate = 5,
    kRoleTime = 6,
    kRoleCondition = 7,
    kRoleExtra = 8,
    kRoleDescription = 9,
};

// Takes the next field from the text at cursor into field (kFieldSize bytes)
// and returns the position after it, or null when the rest of the line holds
// nothing but its line end. The text is cut in place. Leading blanks go; a
// field that begins with a double quote runs to the first delimiter outside
// quotes, and its doubled quotes become single ones; trailing blanks, CR and
// LF go. The last field of a line ends at the line's LF, or at the end of
// the text when the line has none.
char *NextDelimitedField(char *cursor, char *field, char delimiter);
// Cuts a copy of the line (in *line, as the splitter cuts in place) into its
// first `slots` fields, each taken into *field (kFieldSize bytes) and handed
// to act(position, field); act returns false to stop. False when act stopped.
template <class Act>
bool ForEachDelimitedField(const std::string &text, char delimiter, int slots, std::vector<char> *line,
                           std::vector<char> *field, Act act) {
    line->assign(text.begin(), text.end());
    line->push_back('\0');
    char *cursor = line->data();
    for (int position = 0; position < slots; ++position) {
        cursor = NextDelimitedField(cursor, field->data(), delimiter);
        if (!cursor) break;
        if (!act(position, field->data())) return false;
    }
    return true;
}
// Replaces each pair of double quotes by one, in place.
void CollapseDoubledQuotes(char *text);

// Splitters of the same family for comma- and tab-separated text.
char *NextCommaField(char *cursor, char *field);
char *NextTabField(char *cursor, char *field);
// The text up to its first tab (or the whole text), into field; 0 when empty.
int FirstTabField(const char *text, char *field, int fieldSize);
// Puts a CR before every LF, then drops a final CR LF; 0 when the result
// would not fit in size bytes (the text is then unchanged).
int ExpandLineEnds(char *text, int size);
// Removes every tab, CR and LF, in place.
void RemoveTabsAndLineEnds(char *text);

// The role of each field position under the format; later assignments win
// at a shared position, in the order site, observer, instrument, date, time,
// conditions, description, target, extras.
void BuildRoleTable(const ImportFormat &format, int32_t roles[kRoleSlots]);
// The date field with '/' and '-' as blanks, squeezed, and its words put in
// year-month-day order for the layout (0,1 as written; 2,3 from month day
// year; 4,5 from day month year); a fourth and fifth word (the time) follow.
// 0 when fewer than three words, or an unknown layout.
int ReorderDateWords(const char *field, int layout, char *out, int outSize);
