// Variability type explanations: which varexpl.bin entries explain a class,
// a type and its suffixes, and their texts joined by blanks.
#include "objects/variableexplain.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "objects/catfile.h"

namespace {
const int kExplanationCatalogue = 56;  // "varexpl"
const int kReferenceSlot = 1;
const int kIndexEntrySize = 6;
// Entry of a type's body: subtype + this, by class.
const int kBodyBase[kVariabilityClasses] = {5, 14, 31, 37, 42, 111, 51};

struct FileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};

bool ReadEntry(FILE *f, int k, std::string *text) {
    unsigned char entry[kIndexEntrySize];
    if (!ReadAt(f, (int64_t)k * kIndexEntrySize, entry, sizeof entry)) return false;
    const int16_t length = GetI16(entry + 4);
    if (length < 0) return false;
    std::string t((size_t)length, '\0');
    if (length > 0 && !ReadAt(f, GetU32(entry), &t[0], (size_t)length)) return false;
    text->append(t.c_str());
    return true;
}

// The entry explaining suffix s of a type; -1 when the table has none.
int SuffixEntry(int cls, int sub, int s) {
    switch (cls) {
    case kVariabilityEruptive:
        if (sub == 2) return s + 58;
        if (sub == 6) return s == 2 ? 68 : s == 9 ? 67 : -1;
        return -1;
    case kVariabilityPulsating: {
        static const struct {
            int sub, suffix, entry;
        } table[] = {{1, 0, 69},  {1, 1, 71},  {3, 0, 69},  {3, 1, 71},  {4, 3, 75},  {4, 8, 76},
                     {5, 0, 70},  {5, 1, 71},  {6, 1, 71},  {6, 6, 87},  {8, 4, 85},  {8, 6, 89},
                     {8, 8, 91},  {12, 2, 74}, {12, 6, 88}, {13, 3, 77}, {13, 8, 90}, {14, 3, 78},
                     {14, 6, 80}, {14, 7, 81}, {14, 8, 79}, {16, 3, 82}, {16, 8, 83}, {16, 9, 84}};
        if (sub == 15) return 71;
        for (const auto &row : table)
            if (row.sub == sub && row.suffix == s) return row.entry;
        return -1;
    }
    case kVariabilityRotating:
        return sub == 0 ? 92 : -1;
    case kVariabilityCataclysmic:
        return sub >= 1 && sub <= 3 ? s + 93 : -1;
    case kVariabilityEclipsing:
        if (sub == 0) return s + 103;
        if (sub == 5) return s + 104;
        if (sub == 6) return s == 2 ? 110 : s == 5 ? 109 : -1;
        return -1;
    case kVariabilityXray:
        return sub == 0 ? s + 112 : -1;
    default:
        return -1;
    }
}

void CopyOut(const std::string &text, char *out, size_t size) {
    if (out && size > 0) std::snprintf(out, size, "%s", text.c_str());
}
}  // namespace

int ExplainVariabilityType(VariabilityType type, char *head, char *body, size_t size) {
    if (head && size > 0) head[0] = '\0';
    if (body && size > 0) body[0] = '\0';
    if (type.typeClass < 0 || type.typeClass >= kVariabilityClasses || type.subtype < 0) return 0;
    std::unique_ptr<FILE, FileCloser> f(OpenCatalogueFile(kExplanationCatalogue, kReferenceSlot));
    if (!f) return 0;
    const int cls = type.typeClass, sub = type.subtype;
    const int suffixes = type.suffixCount < 0 ? 0
                         : type.suffixCount > kMaxVariabilitySuffixes ? kMaxVariabilitySuffixes
                                                                      : type.suffixCount;
    std::string h, b;
    bool ok = true;
    if (cls <= kVariabilityEclipsing) ok = ReadEntry(f.get(), cls, &h);
    CopyOut(h, head, size);
    if (!ok) return 0;
    const bool irregularWithSuffixes = cls == kVariabilityEruptive && sub == 2 && suffixes > 0;
    if (!irregularWithSuffixes) ok = ReadEntry(f.get(), sub + kBodyBase[cls], &b);
    if (ok && cls == kVariabilityEruptive && sub == 6) b += ' ';
    for (int i = 0; ok && i < suffixes; ++i) {
        const int entry = SuffixEntry(cls, sub, type.suffixes[i]);
        if (entry < 0) continue;
        // Irregular and UV Ceti suffixes follow their text with a blank;
        // every other suffix text is preceded by one.
        const bool blankAfter = cls == kVariabilityEruptive && (sub == 2 || sub == 6);
        if (!blankAfter) b += ' ';
        ok = ReadEntry(f.get(), entry, &b);
        if (ok && blankAfter) b += ' ';
    }
    CopyOut(b, body, size);
    return ok ? 1 : 0;
}
