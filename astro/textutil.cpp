// Text routines shared by the whole suite: trimming, squeezing, bounded copies,
// case-blind comparisons, fixed-width fields and file-name encoding of names.
#include "astro/textutil.h"

#include <cstring>

int TrimTrailingBlanks(char *text) {
    if (!text) return -1;
    int i = static_cast<int>(std::strlen(text)) - 1;
    while (i >= 0 && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n')) text[i--] = '\0';
    return i;
}

void TrimLeadingBlanks(char *text) {
    if (!text) return;
    size_t skip = 0;
    while (text[skip] == ' ') ++skip;
    if (skip) std::memmove(text, text + skip, std::strlen(text + skip) + 1);
}
