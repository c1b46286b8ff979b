// String-table access, display variant and text similarity.
#include "core/resstrings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/textutil.h"

namespace {

struct StringEntry {
    int id;
    const char *text;
};

const StringEntry kStrings[] = {
#define S(id, text) {id, text},
#include "resources/strings.def"
#undef S
};

char g_resBuffer[128];
int g_proVariant = 0;
StringResourceLoader g_loader = nullptr;

// The compiled-in table, sorted by id once.
const std::vector<StringEntry> &SortedStrings() {
    static const std::vector<StringEntry> table = [] {
        std::vector<StringEntry> t(std::begin(kStrings), std::end(kStrings));
        std::stable_sort(t.begin(), t.end(),
                         [](const StringEntry &a, const StringEntry &b) { return a.id < b.id; });
        return t;
    }();
    return table;
}

void LoadInto(int id, char *buffer, int size) {
    buffer[0] = '\0';
    if (g_loader) {
        if (g_loader(id, buffer, size) <= 0) buffer[0] = '\0';
        buffer[size - 1] = '\0';
        return;
    }
    const auto &t = SortedStrings();
    auto it = std::lower_bound(t.begin(), t.end(), id,
                               [](const StringEntry &e, int v) { return e.id < v; });
    if (it != t.end() && it->id == id) std::snprintf(buffer, (size_t)size, "%s", it->text);
}

const char *LoadInRange(int base, int index, int count) {
    if (index < 0 || index >= count) {
        g_resBuffer[0] = '\0';
        return g_resBuffer;
    }
    return LoadResString(base + index);
}

}  // namespace

void SetStringResourceLoader(StringResourceLoader loader) { g_loader = loader; }

const char *LoadResString(int id) {
    LoadInto(id, g_resBuffer, (int)sizeof g_resBuffer);
    return g_resBuffer;
}

char *LoadResStringTo(char *buffer, int id) {
    if (buffer) LoadInto(id, buffer, 64);
    return buffer;
}

const char *LoadCatalogueName(int k) { return LoadInRange(8000, k, 93); }
const char *LoadGalaxyTypeName(int i) { return LoadInRange(8175, i, 15); }
const char *LoadQuasarMethodName(int i) { return LoadInRange(8190, i, 5); }
const char *LoadBodyName(int i) { return LoadInRange(8448, i, 12); }

int SetProVariant(int flag) {
    g_proVariant = flag;
    return 1;
}

int UseProVariant() { return g_proVariant == 1 ? 1 : 0; }

char *CopyStringMax(char *target, const char *source, int n) {
    if (!target) return target;
    int i = 0;
    if (source)
        for (; i < n && source[i]; ++i) target[i] = source[i];
    target[i < 0 ? 0 : i] = '\0';
    return target;
}

void RemoveSubstring(char *text, const char *part) {
    if (!text || !part || !*part) return;
    char *at = std::strstr(text, part);
    if (!at) return;
    size_t n = std::strlen(part);
    std::memmove(at, at + n, std::strlen(at + n) + 1);
    TrimTrailingBlanks(text);
    TrimLeadingBlanks(text);
}

int FindCharFrom(const char *text, char c, int start) {
    if (!text || start < 0) return -1;
    int len = (int)std::strlen(text);
    for (int i = start; i < len; ++i)
        if (text[i] == c) return i;
    return -1;
}

void SwapStringPointers(char **a, char **b) {
    if (!a || !b) return;
    char *t = *a;
    *a = *b;
    *b = t;
}

double StringSimilarityPercent(const char *a, const char *b) {
    if (!a) a = "";
    if (!b) b = "";
    const char *L = a, *S = b;
    if (std::strlen(b) > std::strlen(a)) {
        L = b;
        S = a;
    }
    int n = (int)std::strlen(L), m = (int)std::strlen(S);
    // Two empty texts are alike; this also keeps 0 / 0 out of the result.
    if (n == 0) return 100.0;
    float score = 0.0f;
    int p = 0;
    bool skipped = false;
    for (int i = 0; i < m;) {
        int k = FindCharFrom(L, S[i], p);
        if (k >= 0) {
            score += skipped ? 0.75f : 1.0f;
            p = k + 1;
            skipped = false;
            ++i;
        } else if (p >= 2 && !skipped) {
            p -= 2;
            skipped = true;  // try the same character again
        } else {
            skipped = false;
            ++i;
        }
    }
    return (double)score / n * 100.0;
}

double EditDistance(const char *a, const char *b) {
    if (!a) a = "";
    if (!b) b = "";
    size_t la = std::strlen(a), lb = std::strlen(b);
    // Two rolling rows of the classic matrix, so any length is safe.
    std::vector<double> prev(lb + 1), cur(lb + 1);
    for (size_t j = 0; j <= lb; ++j) prev[j] = (double)j;
    for (size_t i = 1; i <= la; ++i) {
        cur[0] = (double)i;
        for (size_t j = 1; j <= lb; ++j) {
            double sub = prev[j - 1] + (a[i - 1] == b[j - 1] ? 0.0 : 1.0);
            cur[j] = std::min({prev[j] + 1.0, cur[j - 1] + 1.0, sub});
        }
        std::swap(prev, cur);
    }
    return prev[lb];
}

#ifndef _WIN32
// Without a module string table the compiled-in copy answers; nothing to keep.
void InitResources(void *) {}
#endif
