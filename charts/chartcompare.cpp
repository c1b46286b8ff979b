// Comparing a chart definition with the stored one of the same name.
#include <cstring>
#include <initializer_list>
#include <memory>

#include "charts/chartinit.h"
#include "charts/chartstore.h"
#include "core/textutil.h"

namespace {

const int kSchemeCompared = 2041;
const int kSchemeText = 3, kSchemeTextSize = 65;

bool Same(const void *a, const void *b, size_t n) { return std::memcmp(a, b, n) == 0; }

// The first 2,041 scheme bytes with the 65-byte scheme text cut at its NUL.
bool SameScheme(const uint8_t *a, const uint8_t *b) {
    uint8_t x[kSchemeCompared], y[kSchemeCompared];
    std::memcpy(x, a, sizeof x);
    std::memcpy(y, b, sizeof y);
    for (uint8_t *s : {x, y}) {
        size_t len = strnlen((const char *)s + kSchemeText, kSchemeTextSize);
        std::memset(s + kSchemeText + len, 0, kSchemeTextSize - len);
    }
    return Same(x, y, sizeof x);
}

bool SameViews(const ChartView *a, const ChartView *b, int count) {
    for (int v = 0; v < count; v++) {
        const uint8_t *x = (const uint8_t *)&a[v], *y = (const uint8_t *)&b[v];
        if (!Same(x, y, 146) || !Same(x + 146, y + 146, 1732) || !Same(x + 1940, y + 1940, 13))
            return false;
    }
    return true;
}

}  // namespace

int CompareChartWithFile(FILE *store, const ChartDefinition *record, int count, int *index) {
    if (!store || !record) return -1;
    std::unique_ptr<ChartDefinition> s(new (std::nothrow) ChartDefinition);
    if (!s) return -1;
    char name[64];
    std::memcpy(name, record->name, sizeof name);
    name[63] = 0;
    for (int i = 0; i < count; i++) {
        if (!ReadChart(store, s.get(), i)) return -1;
        if (CompareStringsNoCase(s->name, name) != 0) continue;
        if (index) *index = i;
        // A damaged view count never reaches past the three views.
        int views = s->viewCount < 1 ? 1 : (s->viewCount > 3 ? 3 : s->viewCount);
        const ChartDefinition &a = *s, &b = *record;
        bool same = Same(a.ones, b.ones, 72) && Same(a.display, b.display, 170) &&
                    Same(a.settings, b.settings, 7) && SameScheme(a.scheme, b.scheme) &&
                    SameViews(a.views, b.views, views) && Same(&a.setting8699, &b.setting8699, 8) &&
                    a.setting8707 == b.setting8707 && Same(&a.setting8708, &b.setting8708, 8) &&
                    Same(&a.setting17289, &b.setting17289, 2) && Same(a.settings17133, b.settings17133, 96) &&
                    Same(a.settings17229, b.settings17229, 60) &&
                    SameViews(a.views2, b.views2, views) && SameScheme(a.scheme2, b.scheme2) &&
                    Same(a.block2, b.block2, 72);
        return same ? 1 : 2;
    }
    return 0;
}
