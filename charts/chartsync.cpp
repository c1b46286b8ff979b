// Bringing charts.bin in step with instr.bin.
#include "charts/chartsync.h"

#include <cstring>
#include <memory>
#include <set>

#include "charts/chartstore.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "core/mathutil.h"
#include "visibility/defaulteyepiece.h"

namespace {


template <typename T>
std::unique_ptr<T> Zeroed() {
    std::unique_ptr<T> p(new (std::nothrow) T);
    if (p) std::memset(p.get(), 0, sizeof(T));
    return p;
}

void SetName(ChartDefinition *chart, const InstrumentRecord &inst, const ChartDefinition &def) {
    char name[sizeof chart->name];
    std::snprintf(name, sizeof name, "%.31s %.31s", inst.name, def.name);
    std::memset(chart->name, 0, sizeof chart->name);
    std::memcpy(chart->name, name, std::strlen(name));
}

void OrLayerSwitches(ChartView *view, uint8_t bits) { view->layerTable[kLayerSwitchesOffset] |= bits; }

// The model instrument's first chart gives a new chart its views, the block at
// 6340, the scheme and the 8,848 bytes from 8699.
void CopyFromModel(FILE *store, int modelId, ChartDefinition *chart) {
    if (modelId < 0) return;
    int32_t n = 0;
    uint16_t raw = 0;
    if (!ReadStoreU16(store, 0, &raw)) return;
    n = raw;
    auto model = Zeroed<ChartDefinition>();
    if (!model) return;
    for (int i = kGeneralChartCount; i < n; ++i) {
        if (!ReadChart(store, model.get(), i)) return;
        if (model->instrumentId != (uint8_t)modelId) continue;
        uint8_t *to = reinterpret_cast<uint8_t *>(chart);
        const uint8_t *from = reinterpret_cast<const uint8_t *>(model.get());
        int views = chart->viewCount > 3 ? 3 : chart->viewCount;
        std::memcpy(to + 100, from + 100, (size_t)views * sizeof(ChartView));
        std::memcpy(to + 6340, from + 6340, 72);
        std::memcpy(to + 6594, from + 6594, 2105);
        std::memcpy(to + 8699, from + 8699, 8848);
        return;
    }
}

int ChartCount(FILE *store) {
    uint16_t raw = 0;
    return ReadStoreU16(store, 0, &raw) ? raw : -1;
}

// Updates the instrument's existing chart, else appends the new one.
int StoreInstrumentChart(FILE *store, ChartDefinition *chart, int id, int firstView, int endView,
                         int modelId) {
    int n = ChartCount(store);
    if (n < 0) return 0;
    if (ApplyChartTemplate(store, chart, id, firstView, endView, n)) return 1;
    CopyFromModel(store, modelId, chart);
    return AppendChart(store, chart);
}

}  // namespace

int SyncInstrumentCharts(FILE *instrumentStore, int instrumentCount, int modelId) {
    if (!instrumentStore) return 0;
    auto scopeDefault = Zeroed<ChartDefinition>();
    auto binocDefault = Zeroed<ChartDefinition>();
    auto chart = Zeroed<ChartDefinition>();
    auto inst = Zeroed<InstrumentRecord>();
    auto nakedEye = Zeroed<OpticsBlock>();
    if (!scopeDefault || !binocDefault || !chart || !inst || !nakedEye) return 0;
    // Both defaults first: a missing one must not leave the store half done.
    if (!ReadDefaultChart(0, scopeDefault.get()) || !ReadDefaultChart(1, binocDefault.get())) return 0;

    int32_t n = 0;
    FILE *store = OpenChartStore(&n);
    if (!store) return 0;
    {
        StoreFilePtr closer(store);
        // 1. Charts of instruments that are gone, repeated or without eyepieces.
        std::set<int> seen;
        for (int i = kGeneralChartCount; i < n;) {
            if (!ReadChart(store, chart.get(), i)) return 0;
            int id = chart->instrumentId;
            int found = seen.count(id) > 0 ? 0 : FindInstrumentById(instrumentStore, inst.get(), id);
            if (found < 0) return 0;  // an unreadable store drops no chart
            bool drop = found == 0 || inst->optics[0].eyepieceCount == 0;
            if (drop) {
                if (!DeleteChart(store, i)) return 0;
                --n;
                continue;
            }
            seen.insert(id);
            ++i;
        }
        // 2. A chart for every binocular pair and every telescope with eyepieces.
        for (int k = 0; k < instrumentCount; ++k) {
            if (!ReadInstrument(instrumentStore, inst.get(), k)) continue;
            if (inst->id > 255) continue;
            OpticsBlock &main = inst->optics[0];
            if (inst->kind == kInstrumentBinoculars && inst->opticsCount > 0) {
                std::memcpy(chart.get(), binocDefault.get(), sizeof *chart);
                ComputeOpticsLimits(&main);
                ChartView &v = chart->views[1];
                v.limitingMagnitude = main.limitingMagnitude - 0.5;
                v.fieldCircle = main.trueField;
                v.field = 1.5 * main.trueField;
                v.leftRight = main.leftRight;
                v.upDown = main.upDown;
                chart->instrumentId = (uint8_t)inst->id;
                chart->eyepieceChoice = 255;
                v.layerTable[kLayerSettingOffset] = 3;
                OrLayerSwitches(&v, 0x80);
                v.layerTable[kViewByte1876Offset] = 0;
                SetName(chart.get(), *inst, *binocDefault);
                if (!StoreInstrumentChart(store, chart.get(), inst->id, 1, 2, modelId)) return 0;
            } else if (inst->kind == kInstrumentTelescope && main.eyepieceCount > 0) {
                std::memcpy(chart.get(), scopeDefault.get(), sizeof *chart);
                ChartView &finder = chart->views[1];
                if (inst->opticsCount < 2) {
                    std::memset(nakedEye.get(), 0, sizeof *nakedEye);
                    InitTelescopeOptics(nakedEye.get(), "Naked Eye", kOpticsNakedEye, 0.25, 0.0, 1.0, 1, 1, 0.0);
                    ComputeOpticsLimits(nakedEye.get());
                    finder.limitingMagnitude = nakedEye->limitingMagnitude;
                    finder.fieldCircle = 0.0;
                    finder.field = 16.0 * kPi / 180.0;
                    finder.leftRight = 1;
                    finder.upDown = 1;
                    OrLayerSwitches(&finder, 0x10);
                    chart->scheme[kSchemeByte6916] |= 0x80;
                } else {
                    OpticsBlock &fb = inst->optics[1];
                    ComputeOpticsLimits(&fb);
                    finder.limitingMagnitude = fb.limitingMagnitude - 1.0;
                    finder.fieldCircle = fb.trueField;
                    finder.field = 3.0 * fb.trueField;
                    finder.leftRight = fb.leftRight;
                    finder.upDown = fb.upDown;
                }
                // The eyepiece view shows the default eyepiece: the one that
                // reaches the faintest stars (the first of equals).
                ComputeOpticsLimits(&main);
                const uint8_t savedDefault = inst->defaultEyepiece;
                inst->defaultEyepiece = kNoEyepiece;
                SelectDefaultEyepiece(inst.get(), nullptr, nullptr, 0.1);
                const int chosen = inst->defaultEyepiece;
                inst->defaultEyepiece = savedDefault;
                if (chosen == kNoEyepiece) continue;  // no eyepiece accepted: no chart
                SelectEyepiece(&main, chosen);
                ChartView &eye = chart->views[2];
                eye.limitingMagnitude = main.limitingMagnitude;
                eye.fieldCircle = main.trueField;
                eye.field = 1.5 * main.trueField;
                eye.leftRight = main.leftRight;
                eye.upDown = main.upDown;
                if (inst->mounting == 0) eye.layerTable[kLayerSettingOffset] = 3;
                OrLayerSwitches(&eye, 0x80);
                eye.layerTable[kViewByte1876Offset] = 0;
                eye.setting3 = 4;
                chart->instrumentId = (uint8_t)inst->id;
                chart->eyepieceChoice = (uint8_t)chosen;
                SetName(chart.get(), *inst, *scopeDefault);
                if (!StoreInstrumentChart(store, chart.get(), inst->id, 1, 3, modelId)) return 0;
            }
        }
    }
    // 3. Sorted with the instruments' kinds and places.
    return SortChartsWithInstruments(instrumentStore);
}
