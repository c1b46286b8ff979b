// Standard telescopes, new-telescope defaults, the instrument store checks and
// the numeric field texts.
#include "instruments/standardscopes.h"

#include <cstring>
#include <memory>
#include <string>

#include "core/safefile.h"
#include "astro/angleparse.h"
#include "core/textutil.h"
#include "core/datapaths.h"
#include "core/fileutil.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "instruments/storeio.h"
#include "core/mathutil.h"

namespace {
const double kNoValue = 2147483647.0;
}  // namespace

void MakeStandardTelescopePath(char *out, int size) {
    if (!out || size < 1) return;
    char install[kPathLineSize];
    if (ReadInstallPath(kSuiteGeneration, install) && install[0]) {
        std::string p = std::string(install) + "/bin/scopes.bin";
        if (FileExists(p.c_str()) && (int)p.size() < size) {
            std::snprintf(out, (size_t)size, "%s", p.c_str());
            return;
        }
    }
    std::snprintf(out, (size_t)size, "bin/scopes.bin");
}

FILE *OpenStandardTelescopeList(int32_t *count) {
    if (!count) return nullptr;
    char path[1024];
    MakeStandardTelescopePath(path, (int)sizeof path);
    FILE *f = std::fopen(path, "rb");
    if (!f) return nullptr;
    uint8_t b[4];
    if (std::fread(b, 1, 4, f) != 4) {
        std::fclose(f);
        return nullptr;
    }
    int32_t stored = (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24);
    int64_t bytes = StreamSize(f);
    int64_t whole = bytes >= 4 ? (bytes - 4) / (int64_t)sizeof(StandardTelescopeRow) : 0;
    if (stored < 0) stored = 0;
    *count = stored < whole ? stored : (int32_t)whole;
    return f;
}

int ReadStandardTelescopeRow(FILE *f, int index, StandardTelescopeRow *row) {
    if (!f || !row || index < 0) return 0;
    if (!ReadStoreBytes(f, 4 + (int64_t)index * (int64_t)sizeof *row, row, sizeof *row)) return 0;
    row->name[sizeof row->name - 1] = 0;
    return 1;
}

void ApplyNewTelescopeDefaults(InstrumentRecord *record) {
    if (!record) return;
    std::memset(record, 0, sizeof *record);
    CopyStringZeroFilled(record->name, kNewTelescopeName, (int)sizeof record->name);
    record->opticsCount = 2;
    record->displayUnit = 0;
    record->kind = kInstrumentTelescope;
    record->mounting = 1;
    record->sightFlags = 0;
    record->rings[0] = (float)(0.5 * kPi / 180.0);
    record->rings[1] = (float)(2.0 * kPi / 180.0);
    record->rings[2] = (float)(4.0 * kPi / 180.0);
    OpticsBlock &main = record->optics[0];
    InitTelescopeOptics(&main, "Main Scope", kOpticsReflector, 1.0, 0.0, 1.0, 1, 1, 0.5);
    main.currentEyepiece = kNoEyepiece;
    OpticsBlock &finder = record->optics[1];
    InitTelescopeOptics(&finder, "Finder", kOpticsRefractor, 1.18, 6.0, 0.0, 1, 1, 1.0);
    finder.magnification = 6.0;
    finder.currentEyepiece = kNoEyepiece;
}

void ApplyStandardTelescopeRow(InstrumentRecord *record, const StandardTelescopeRow *row) {
    if (!record || !row) return;
    char name[sizeof row->name];
    std::memcpy(name, row->name, sizeof name);
    name[sizeof name - 1] = 0;
    CopyStringZeroFilled(record->name, name, (int)sizeof record->name);
    record->mounting = row->mounting;
    InitTelescopeOptics(&record->optics[0], "Main Scope", row->type, row->aperture * 0.03937,
                        row->focalLength * 0.03937, 0.0, row->leftRight, row->upDown, 0.5);
}

void FormatFieldOneDecimal(char *text, int size, double value) {
    if (!text || size < 1) return;
    if (value == 0.0)
        text[0] = 0;
    else
        std::snprintf(text, (size_t)size, "%.1lf", value);
}

void FormatFieldTwoDecimals(char *text, int size, double value) {
    if (!text || size < 1) return;
    if (value == 0.0)
        text[0] = 0;
    else
        std::snprintf(text, (size_t)size, "%.2lf", value);
}

void FormatFieldInteger(char *text, int size, int value) {
    if (!text || size < 1) return;
    if (value == 0)
        text[0] = 0;
    else
        std::snprintf(text, (size_t)size, "%d", value);
}

int ParsePositiveNumberText(const char *text, double *value) {
    char buffer[64];
    CopyStringBounded(buffer, text ? text : "", (int)sizeof buffer);
    double v = ParseSexagesimal(buffer);
    if (value) *value = v;
    return v > 0.0 && v != kNoValue ? 1 : 0;
}

int CheckTelescopesHaveOptics(FILE *store, int count) {
    if (!store || count <= 0) return 1;
    std::unique_ptr<InstrumentRecord> r(new (std::nothrow) InstrumentRecord);
    if (!r) return 1;
    for (int i = 0; i < count; ++i) {
        if (!ReadInstrument(store, r.get(), i)) continue;
        if (r->kind == kInstrumentTelescope && r->optics[0].eyepieceCount == 0 && r->optics[0].cameraCount <= 0)
            return 0;
    }
    return 1;
}

const char *FormatLength(double mm, int unit) {
    static char text[64];
    switch (unit) {
    case 0: std::snprintf(text, sizeof text, "%.1lf inches", mm * 0.03937); break;
    case 1: std::snprintf(text, sizeof text, "%.1lf m", mm * 0.001); break;
    case 2: std::snprintf(text, sizeof text, "%.1lfcm", mm * 0.1); break;
    case 3: std::snprintf(text, sizeof text, "%.1lfmm", mm); break;
    default: std::snprintf(text, sizeof text, "%.1lf", mm); break;
    }
    return text;
}

const char *FormatAngleWithUnit(double value, int unit) {
    static char text[64];
    const char *sign = unit == 0 ? "\xB0" : unit == 1 ? "'" : unit == 2 ? "\"" : "";
    std::snprintf(text, sizeof text, "%.1lf%s", value, sign);
    return text;
}
