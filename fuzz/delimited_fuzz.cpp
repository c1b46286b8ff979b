// Fuzz target: the field splitters of delimited text and the date-word
// reordering, on arbitrary text.
//
// Input: byte 0 picks the delimiter (one of , TAB | : ; or the byte itself
// when its top bit is set) and byte 1 the date layout (0..7, so that 6 and 7
// try layouts that do not exist); the rest is the text, cut at its first NUL
// as a line read from a file would be.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/delimited.h"
#include "fuzz/fuzzscratch.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "splitter check failed: %s\n", what);
        std::abort();
    }
}

// Splits the whole text with one splitter; each call must leave a terminated
// field and a cursor inside the text, and the splitting must end (a call may
// return its own cursor after trimming blanks away in place).
template <typename Split>
void SplitAll(const std::string &text, Split split) {
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back('\0');
    char *begin = buf.data(), *end = buf.data() + buf.size() - 1;
    std::vector<char> field(kFieldSize);
    char *cursor = begin;
    for (size_t guard = 0;; ++guard) {
        Check(guard <= buf.size() + 1, "the splitting ends");
        char *next = split(cursor, field.data());
        fuzz::TerminatedLength(field.data(), field.size(), "field");
        if (!next) break;
        Check(next >= cursor && next <= end, "the next cursor lies inside the rest of the text");
        cursor = next;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    static const char kDelimiters[5] = {',', '\t', '|', ':', ';'};
    char delimiter = (data[0] & 0x80) ? (char)data[0] : kDelimiters[data[0] % 5];
    int layout = data[1] & 7;
    std::string text(reinterpret_cast<const char *>(data + 2), size - 2);
    text = text.substr(0, text.find('\0'));

    SplitAll(text, [&](char *c, char *f) { return NextDelimitedField(c, f, delimiter); });
    SplitAll(text, [](char *c, char *f) { return NextCommaField(c, f); });
    SplitAll(text, [](char *c, char *f) { return NextTabField(c, f); });

    // Every field of the line as a date, as the pass gives it.
    {
        std::vector<char> buf(text.begin(), text.end());
        buf.push_back('\0');
        std::vector<char> field(kFieldSize);
        char out[kFieldSize];
        char *cursor = buf.data();
        for (int k = 0; cursor && k < kRoleSlots; ++k) {
            cursor = NextDelimitedField(cursor, field.data(), delimiter);
            int ok = ReorderDateWords(field.data(), layout, out, sizeof out);
            size_t n = fuzz::TerminatedLength(out, sizeof out, "reordered date");
            if (!ok) Check(n == 0, "a refused date leaves an empty text");
            if (layout > 5) Check(ok == 0, "unknown layouts are refused");
            char small[12];
            ReorderDateWords(field.data(), layout, small, sizeof small);
            fuzz::TerminatedLength(small, sizeof small, "reordered date, small buffer");
        }
    }

    // The other text routines of the family.
    {
        char first[64];
        FirstTabField(text.c_str(), first, sizeof first);
        fuzz::TerminatedLength(first, sizeof first, "first tab field");
        std::vector<char> buf(text.begin(), text.end());
        buf.resize(buf.size() + 1 + buf.size() / 2, '\0');  // room for some CRs
        std::string before(buf.data());
        int ok = ExpandLineEnds(buf.data(), (int)buf.size());
        fuzz::TerminatedLength(buf.data(), buf.size(), "expanded line ends");
        if (!ok) Check(before == buf.data(), "a text that does not fit is left unchanged");
        RemoveTabsAndLineEnds(buf.data());
        Check(std::strpbrk(buf.data(), "\t\r\n") == nullptr, "no tab or line end is left");
        std::string q = text;
        CollapseDoubledQuotes(&q[0]);
        Check(std::strlen(q.c_str()) <= text.size(), "collapsing never lengthens");
    }
    return 0;
}
