// Which instruments still need a chart definition (see instrumentcharts.h).
#include "charts/instrumentcharts.h"

#include <memory>
#include <new>

#include "charts/chartstore.h"
#include "instruments/instrumentrecord.h"
#include "instruments/instrumentstore.h"
#include "instruments/storeio.h"

int IsInstrumentWithoutChart(const InstrumentRecord *record) {
    if (!record) return 0;
    if (record->kind == kInstrumentTelescope) {
        if (record->optics[0].eyepieceCount == 0) return 0;
    } else if (record->kind != kInstrumentBinoculars) {
        return 0;
    }
    if (record->id > 255) return 0;
    return ChartStoreHasInstrument(record->id) ? 0 : 1;
}

int FindInstrumentWithoutChart(FILE *store, int count) {
    if (!store || count <= 0) return 0;
    std::unique_ptr<InstrumentRecord> r(new (std::nothrow) InstrumentRecord);
    if (!r) return 0;
    for (int i = 0; i < count; ++i) {
        if (!ReadInstrument(store, r.get(), i)) continue;
        if (IsInstrumentWithoutChart(r.get())) return 1;
    }
    return 0;
}
