// Instrument choice lines, the popup menu table, the default instrument and
// the one-line descriptions.
#include "instruments/instrumentchoice.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/sizetext.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "core/mathutil.h"

namespace {


std::unique_ptr<InstrumentRecord> NewRecord() {
    std::unique_ptr<InstrumentRecord> r(new (std::nothrow) InstrumentRecord);
    if (r) std::memset(r.get(), 0, sizeof *r);
    return r;
}

std::string NameOf(const InstrumentRecord &r) {
    return std::string(r.name, strnlen(r.name, sizeof r.name));
}

void MakeNakedEye(InstrumentRecord *record) {
    std::memset(record, 0, sizeof *record);
    InitNakedEyeInstrument(record, kNakedEyePupilMm);
    record->id = 0;
}

}  // namespace

void ClearInstrumentMenu(InstrumentMenu *menu) {
    if (menu) menu->count = 0;
}

int BuildInstrumentChoiceList(FILE *store, int count, int workingId, int camerasOnly,
                              std::vector<InstrumentChoiceLine> *lines, int *selectLine) {
    if (!lines || !selectLine) return 0;
    lines->clear();
    *selectLine = -1;
    if (!camerasOnly) {
        lines->push_back({"Naked Eye", kNakedEyeItem});
        if (workingId == 0) *selectLine = 0;
    }
    if (!store) return 0;
    auto r = NewRecord();
    if (!r) return 0;
    for (int i = 0; i < count; ++i) {
        if (!ReadInstrument(store, r.get(), i)) return 0;
        if (camerasOnly && r->optics[0].cameraCount <= 0) continue;
        if (r->id == workingId && workingId != 0 && *selectLine < 0) *selectLine = (int)lines->size();
        lines->push_back({NameOf(*r), (int32_t)r->id});
    }
    return 1;
}

int BuildInstrumentMenu(FILE *store, int count, int mode, InstrumentMenu *menu,
                        std::vector<InstrumentChoiceLine> *lines) {
    if (!menu || !lines) return 0;
    menu->count = 0;
    lines->clear();
    if (mode == 0 || mode == 1) {
        menu->ids[menu->count++] = kNakedEyeItem;
        lines->push_back({"Naked Eye", kNakedEyeItem});
    }
    if (!store) return 0;
    auto r = NewRecord();
    if (!r) return 0;
    for (int i = 0; i < count && menu->count < kInstrumentMenuSize; ++i) {
        if (!ReadInstrument(store, r.get(), i)) return 0;
        const OpticsBlock &main = r->optics[0];
        bool take = mode == 0 ||
                    (mode == 1 && (r->kind == kInstrumentBinoculars || main.eyepieceCount > 0)) ||
                    (mode == 2 && main.cameraCount > 0);
        if (!take) continue;
        menu->ids[menu->count++] = r->id;
        lines->push_back({NameOf(*r), (int32_t)r->id});
    }
    return 1;
}

int LoadInstrumentChoice(int32_t itemData, InstrumentRecord *record) {
    if (!record) return 0;
    if (itemData == kNakedEyeItem) {
        MakeNakedEye(record);
        return 1;
    }
    int32_t count = 0;
    StoreFilePtr f(OpenInstrumentFile(&count));
    if (!f || count <= 0) return 0;
    auto r = NewRecord();
    if (!r) return 0;
    int found = FindInstrumentById(f.get(), r.get(), itemData);
    if (found <= 0) return 0;
    std::memcpy(record, r.get(), sizeof *record);
    return found;
}

int TakeInstrumentMenuChoice(InstrumentMenu *menu, void *, unsigned, uintptr_t wParam, intptr_t,
                             InstrumentRecord *record) {
    if (!menu || !record || menu->count <= 0) return 0;
    int command = (int)(wParam & 0xFFFF);
    int count = menu->count > kInstrumentMenuSize ? kInstrumentMenuSize : menu->count;
    if (command < kInstrumentMenuFirstCommand || command >= kInstrumentMenuFirstCommand + count) return 0;
    int32_t id = menu->ids[command - kInstrumentMenuFirstCommand];
    menu->count = 0;
    return LoadInstrumentChoice(id, record);
}

void LoadDefaultInstrument(InstrumentRecord *record) {
    if (!record) return;
    int32_t count = 0;
    StoreFilePtr f(OpenInstrumentFile(&count));
    if (f && count > 0) {
        auto r = NewRecord();
        if (r && ReadInstrument(f.get(), r.get(), 0)) {
            std::memcpy(record, r.get(), sizeof *record);
            return;
        }
    }
    MakeNakedEye(record);
}

const char *GetConditionName(double condition) {
    if (condition < 0.25) return "very clean";
    if (condition < 0.5) return "clean";
    if (condition < 0.75) return "a little dirty";
    if (condition < 1.0) return "dirty";
    return "filthy";
}

void DescribeInstrument(const InstrumentRecord *record, char *text, int size) {
    if (!text || size < 1) return;
    text[0] = 0;
    if (!record) return;
    const OpticsBlock &main = record->optics[0];
    if (record->kind == kInstrumentTelescope) {
        static const char *const kTypes[] = {"Refractor", "Reflector", "SCT"};
        // A type read from a file outside 1..3 has no name.
        const char *type = main.type >= 1 && main.type <= 3 ? kTypes[main.type - 1] : "";
        std::snprintf(text, (size_t)size, "%.0lf inch f/%.1lf %s, %s", main.aperture * 0.03937,
                      main.focalRatio, type, GetConditionName(main.condition));
    } else if (record->kind == kInstrumentBinoculars) {
        std::snprintf(text, (size_t)size, "Binoculars with %.1lf\xB0 field", main.trueField * 180.0 / kPi);
    } else {
        std::snprintf(text, (size_t)size, "The unaided eyes of the observer");
    }
}

void DescribeCameraField(const CameraEntry *camera, char *text, int size) {
    if (!text || size < 1) return;
    text[0] = 0;
    if (!camera || camera->fieldWidth == 0.0 || camera->fieldHeight == 0.0 || camera->pixelsAcross == 0 ||
        camera->pixelsDown == 0)
        return;
    char field[kSizeTextBytes];
    FormatAngularSize(field, (int)sizeof field, camera->fieldWidth * 10800.0 / kPi,
                      camera->fieldHeight * 10800.0 / kPi);
    std::snprintf(text, (size_t)size, "%d x %d pixels, %s FOV", (int)camera->pixelsAcross,
                  (int)camera->pixelsDown, field);
}
