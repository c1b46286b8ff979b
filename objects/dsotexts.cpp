// Deep-sky designation texts and the shared designation-list builder.
#include "objects/dsotexts.h"

#include <cstdio>
#include <cstring>

#include "core/textutil.h"
#include "objects/dsoxref.h"

namespace {
const int kText = kDesignationTextSize;
}

char SuffixLetter(int suffix) {
    return (suffix >= 1 && suffix <= 26) ? static_cast<char>('A' + suffix - 1) : '\0';
}

static void NumberWithSuffix(char *text, const char *word, int number, int suffix) {
    char letter = SuffixLetter(suffix);
    if (letter)
        std::snprintf(text, kText, "%s %d%c", word, number, letter);
    else
        std::snprintf(text, kText, "%s %d", word, number);
}

void FormatMessierDesignation(char *text, int number) { std::snprintf(text, kText, "M %d", number); }
void FormatNgcDesignation(char *text, int number, int suffix) {
    NumberWithSuffix(text, "NGC", number, suffix);
}
void FormatIcDesignation(char *text, int number, int suffix) {
    NumberWithSuffix(text, "IC", number, suffix);
}
void FormatMarkarianDesignation(char *text, int number, int suffix) {
    NumberWithSuffix(text, "Markarian", number, suffix);
}
void FormatArpDesignation(char *text, int number) { std::snprintf(text, kText, "Arp %d", number); }

void FormatUgcDesignation(char *text, int number, char suffix) {
    if (suffix == ' ' || suffix == '\0')
        std::snprintf(text, kText, "UGC %d", number);
    else
        std::snprintf(text, kText, "UGC %d%c", number, suffix);
}

void FormatEsoDesignation(char *text, const int16_t eso[3]) {
    char letter = SuffixLetter(eso[2]);
    if (letter)
        std::snprintf(text, kText, "ESO %d %d%c", eso[0], eso[1], letter);
    else
        std::snprintf(text, kText, "ESO %d %d", eso[0], eso[1]);
}

void FormatMcgDesignation(char *text, const int16_t mcg[4]) {
    char letter = SuffixLetter(mcg[3]);
    if (letter)
        std::snprintf(text, kText, "MCG %d-%d-%d%c", mcg[0], mcg[1], mcg[2], letter);
    else
        std::snprintf(text, kText, "MCG %d-%d-%d", mcg[0], mcg[1], mcg[2]);
}

void FormatPgcDesignation(char *text, int32_t number) {
    std::snprintf(text, kText, number <= kLastPgcNumber ? "PGC %ld" : "LEDA %ld",
                  static_cast<long>(number));
}

void FormatPkDesignation(char *text, const int32_t pk[2], char sign) {
    std::snprintf(text, kText, "PK %03d%c%04.1f", static_cast<int>(pk[0]), sign, pk[1] * 0.1);
}

void FormatPnGDesignation(char *text, double longitude, double latitude, char suffix) {
    int n = std::snprintf(text, kText, "PN G%05.1f%+04.1f", longitude, latitude);
    if (suffix != ' ' && suffix != '\0' && n > 0 && n < kText - 1) {
        text[n] = suffix;
        text[n + 1] = '\0';
    }
}

int FormatCcdmDesignation(char *text, const CcdmNumber &ccdm) {
    if (ccdm.first == 0 && ccdm.second == 0 && ccdm.sign == '-') {
        text[0] = '\0';
        return 1;
    }
    std::snprintf(text, kText, "CCDM %05d%c%04d", static_cast<int>(ccdm.first), ccdm.sign,
                  static_cast<int>(ccdm.second));
    return 1;
}

// ---- list builder -------------------------------------------------------------------

int AppendDesignation(DesignationListBuilder *b, const char *text) {
    b->current = nullptr;
    if (b->list->count < 0 || b->list->count >= kMaxDesignations) return 0;
    CopyStringBounded(b->list->entries[b->list->count], text, kDesignationTextSize);
    ++b->list->count;
    b->current = b->list->count == 1 ? b->first : b->second;
    return 1;
}

void SetDesignationParts(DesignationListBuilder *b, int form, int first, int second, int third,
                         const char *word) {
    DesignationParts *p = b->current;
    if (!p) return;
    p->plain = 0;
    p->form = form;
    p->first = first;
    p->second = second;
    p->third = third;
    CopyStringZeroFilled(p->catalogue, word, sizeof p->catalogue);
}

void SetPlainName(DesignationListBuilder *b) {
    if (b->current) b->current->plain = 1;
}

void AppendCommonName(DesignationListBuilder *b, int number) {
    if (number < 0) return;
    FILE *f = OpenCommonNames();
    if (!f) return;
    char name[kCommonNameSize];
    int ok = ReadCommonName(f, number, name);
    std::fclose(f);
    if (ok && AppendDesignation(b, name)) SetPlainName(b);
}

int ListContains(const DesignationList *list, const char *text) {
    for (int i = 0; i < list->count && i < kMaxDesignations; ++i)
        if (std::strcmp(list->entries[i], text) == 0) return 1;
    return 0;
}

int BuildDesignationList(const DesignationPreferences *prefs, int family, int kindCount,
                         const void *record, DesignationList *list, int limit, int ignoreEnable,
                         DesignationParts *first, DesignationParts *second, AddKindFunction add) {
    if (list) list->count = 0;
    if (!record || !list) return 0;
    if (first) first->plain = 0;
    if (second) second->plain = 0;
    DesignationListBuilder b = {list, first, second, nullptr};
    for (int pass = 0; pass < 2; ++pass) {
        int all = ignoreEnable || pass == 1;
        for (int i = 0; i < kindCount && i < kDesignationPositions; ++i) {
            int enabled = (!prefs || all) ? 1 : prefs->enabled[family][i];
            int kind = prefs ? prefs->order[family][i] : i;
            if (enabled) add(&b, record, kind);
            if (limit != 0 && list->count >= limit) break;
        }
        // A list left empty by the enable bytes is built again with every kind.
        if (list->count > 0 || !prefs || ignoreEnable) break;
    }
    return 1;
}
