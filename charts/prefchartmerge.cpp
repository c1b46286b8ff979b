// The chart side of the preference merge (see prefchartmerge.h).
#include "charts/prefchartmerge.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "charts/chartinit.h"
#include "charts/chartstore.h"
#include "charts/chartupgrade.h"
#include "charts/colourschemes.h"
#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "events/eventfiles.h"
#include "instruments/instrumentstore.h"

namespace {

const int kQuestionBytes = 512;
const int kFindAbsent = 0;
const int kFindDifferent = 2;
const char *const kSchemeFiles[2] = {"ms.bin", "msp.bin"};
const int kInstrumentIdMask = 0xFF;  // charts keep the low byte of the id

bool Ask(MergeAnswers *answers, MergeQuestionCallback question, const char *format, const char *name) {
    char subject[kQuestionBytes], message[2 * kQuestionBytes];
    std::snprintf(subject, sizeof subject, format, name);
    std::snprintf(message, sizeof message, "Replace the data for %s with that on the other computer?", subject);
    return AskMergeReplace(answers, question, message);
}

void ForgetSiteEvents(const LocationRecord *site) { DeleteEventFiles(site); }

const PreferenceMergeHooks kHooks = {MergeSchemeFiles, MergeChartFiles, ForgetSiteEvents};

}  // namespace

namespace {

const int kFirstCurrentPrefsVersion = 3000;

// The view's images group: the 16-bit value after its layer table (-1 none).
void SetViewImagesGroup(ChartView *view, int groupId) {
    const int16_t id = static_cast<int16_t>(groupId < 0 ? -1 : groupId);
    std::memcpy(view->layerTable + kChartLayerTableSize, &id, sizeof id);
}

}  // namespace

int ImportInstrumentForChart(const char *otherPrefsFolder, int instrumentId) {
    if (!otherPrefsFolder) return -1;
    std::string path = std::string(otherPrefsFolder) + "/instr.bin";
    int32_t theirs = 0, mine = 0;
    uint8_t stamp[5];
    int old = 0;
    FileHandle in(OpenOtherInstrumentFile(path.c_str(), &theirs, stamp, &old));
    if (!in) return -1;
    std::unique_ptr<InstrumentRecord> record(new InstrumentRecord);
    int found = old ? FindOldInstrumentById(in.get(), record.get(), instrumentId)
                    : FindInstrumentById(in.get(), record.get(), instrumentId);
    if (found <= 0) return -1;
    FileHandle local(OpenInstrumentFile(&mine));
    int index = -1;
    if (!local || FindInstrumentByName(local.get(), record.get(), mine, &index) != 1) return -1;
    return record->id;
}

int MergeSchemeFiles(const char *otherPrefsFolder, int sourceVersion, MergeAnswers *answers,
                     MergeQuestionCallback question) {
    if (!otherPrefsFolder) return 0;
    for (int flag = 0; flag < 2; ++flag) {
        std::string path = std::string(otherPrefsFolder) + "/" + kSchemeFiles[flag];
        if (FsKind(path) != 0) continue;
        FileHandle in(OpenSchemeFile(path.c_str()));
        FileHandle local(OpenSchemeStore(flag));
        if (!in || !local) return 0;
        int count = CountSchemes(in.get());
        std::unique_ptr<ColourScheme> scheme(new ColourScheme);
        for (int i = 0; i < count; ++i) {
            if (!ReadScheme(in.get(), scheme.get(), i)) return 0;
            scheme->name[sizeof scheme->name - 1] = '\0';
            int index = -1;
            int found = FindScheme(local.get(), scheme.get(), &index);
            if (found < 0) return 0;
            if (found == kFindAbsent) {
                // The data bytes and the flag byte follow each other.
                if (!AppendScheme(local.get(), scheme->data, scheme->name)) return 0;
            } else if (found == kFindDifferent && Ask(answers, question, "the %s chart scheme", scheme->name)) {
                if (!WriteScheme(local.get(), scheme.get(), index)) return 0;
            }
        }
        if (!SafeClose(local.release())) return 0;
    }
    return 1;
}

int MergeChartFiles(const char *otherPrefsFolder, int sourceVersion, MergeAnswers *answers,
                    MergeQuestionCallback question) {
    if (!otherPrefsFolder) return 0;
    std::string path = std::string(otherPrefsFolder) + "/charts.bin";
    if (FsKind(path) != 0) return 1;
    int32_t theirs = 0, mine = 0;
    // Charts of the older generation: an int16 count and 13,569-byte records,
    // converted as they are read; their views show the first images group.
    const bool older = sourceVersion < kFirstCurrentPrefsVersion;
    FileHandle in(older ? SafeOpen(path.c_str(), "rb") : OpenChartFile(path.c_str(), &theirs));
    if (older && in) {
        int16_t count = 0;
        if (SafeRead(&count, sizeof count, 1, in.get()) != 1 || count < 0 ||
            int64_t{count} * kOldChartRecordSize > BytesLeftInStream(in.get()))
            return 0;
        theirs = count;
    }
    const int imagesGroup = older ? GetGroupId(kGroupImages, 0) : -1;
    FileHandle local(OpenChartStore(&mine));
    if (!in || !local) return 0;
    std::unique_ptr<ChartDefinition> chart(new ChartDefinition);  // 17,803 bytes
    for (int i = 0; i < theirs; ++i) {
        if (!(older ? ReadOldChartRecord(in.get(), chart.get(), i) : ReadChart(in.get(), chart.get(), i))) return 0;
        if (older)
            for (ChartView &view : chart->views) SetViewImagesGroup(&view, imagesGroup);
        chart->name[sizeof chart->name - 1] = '\0';
        int index = -1;
        int found = CompareChartWithFile(local.get(), chart.get(), mine, &index);
        if (found < 0) return 0;
        bool general = i < kDefaultChartCount;
        if (found == kFindAbsent && (general || chart->instrumentId == 0)) continue;
        if (found != kFindAbsent && (found != kFindDifferent || !Ask(answers, question, "the %s chart", chart->name)))
            continue;
        if (!general) {
            int id = ImportInstrumentForChart(otherPrefsFolder, chart->instrumentId);
            if (id < 0) return 0;
            chart->instrumentId = (uint8_t)(id & kInstrumentIdMask);
        }
        if (found == kFindAbsent) {
            if (!AppendChart(local.get(), chart.get())) return 0;
            ++mine;
        } else if (!WriteChart(local.get(), chart.get(), index)) {
            return 0;
        }
    }
    return SafeClose(local.release());
}

const PreferenceMergeHooks *ChartPreferenceMergeHooks() { return &kHooks; }
