// Merging another computer's preference files (see prefmerge.h).
#include "userdata/prefmerge.h"

#include <cstdio>
#include <memory>
#include <string>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "instruments/camerapool.h"
#include "instruments/eyepiecepool.h"
#include "instruments/filterpool.h"
#include "instruments/instrumentstore.h"
#include "instruments/instrumentupgrade.h"
#include "instruments/lenspool.h"
#include "instruments/scenariostore.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "userdata/columnsets.h"
#include "userdata/prefbackup.h"

namespace {

const int kQuestionBytes = 512;
const int kFirstCurrentVersion = 3000;
const int kFindAbsent = 0;
const int kFindEqual = 1;
const char *const kModeWords[3] = {"simple", "visual", "imaging"};

// What to do with one record of the other file.
enum Action { kLeave, kReplace, kAppend };

Action Decide(int found, MergeAnswers *answers, MergeQuestionCallback question, const std::string &subject) {
    if (found == kFindAbsent) return kAppend;
    if (found == kFindEqual) return kLeave;
    char message[kQuestionBytes];
    std::snprintf(message, sizeof message, "Replace the data for %s with that on the other computer?",
                  subject.c_str());
    return AskMergeReplace(answers, question, message) ? kReplace : kLeave;
}

std::string Subject(const char *format, const char *name) {
    char text[kQuestionBytes];
    std::snprintf(text, sizeof text, format, name);
    return text;
}

// The pools of camera.bin, filters.bin and lenses.bin share one shape.
template <typename Record>
struct PoolShape {
    const char *file;
    const char *subject;  // "%s", "the %s filter", ...
    FILE *(*openOther)(const char *path, int32_t *count);
    FILE *(*openLocal)(int32_t *count);
    int (*read)(FILE *, int, Record *);
    int (*find)(FILE *, const Record *, int *, int *, int);
    int (*write)(FILE *, int, const Record *);
    int (*append)(FILE *, Record *);
};

template <typename Record>
int MergePool(const std::string &other, const PoolShape<Record> &shape, MergeAnswers *answers,
              MergeQuestionCallback question) {
    std::string path = other + "/" + shape.file;
    if (FsKind(path) != 0) return 1;
    int32_t theirs = 0, mine = 0;
    FileHandle in(shape.openOther(path.c_str(), &theirs));
    FileHandle local(shape.openLocal(&mine));
    if (!in || !local) return 0;
    for (int i = 0; i < theirs; ++i) {
        Record record;
        if (!shape.read(in.get(), i, &record)) return 0;
        record.name[sizeof record.name - 1] = '\0';
        int index = -1, id = 0;
        int found = shape.find(local.get(), &record, &index, &id, mine);
        if (found < 0) return 0;
        Action action = Decide(found, answers, question, Subject(shape.subject, record.name));
        if (action == kReplace) {
            record.poolId = static_cast<decltype(record.poolId)>(id);  // the local id stays
            if (!shape.write(local.get(), index, &record)) return 0;
        } else if (action == kAppend) {
            if (!shape.append(local.get(), &record)) return 0;
            ++mine;
        }
    }
    return SafeClose(local.release());
}

FILE *OpenOtherCameras(const char *path, int32_t *count) {
    uint8_t stamp[5];
    return OpenOtherCameraFile(path, count, stamp);
}

int MergeInstruments(const std::string &other, MergeAnswers *answers, MergeQuestionCallback question) {
    std::string path = other + "/instr.bin";
    if (FsKind(path) != 0) return 1;
    int32_t theirs = 0, mine = 0;
    uint8_t stamp[5];
    int old = 0;
    FileHandle in(OpenOtherInstrumentFile(path.c_str(), &theirs, stamp, &old));
    FileHandle local(OpenInstrumentFile(&mine));
    if (!in || !local) return 0;
    // 330 KB each: never on the stack.
    std::unique_ptr<InstrumentRecord> record(new InstrumentRecord), present(new InstrumentRecord);
    for (int i = 0; i < theirs; ++i) {
        int read = old ? ReadOldInstrumentRecord(in.get(), i, record.get()) : ReadInstrument(in.get(), record.get(), i);
        if (!read) return 0;
        *present = *record;
        int index = -1;
        int found = FindInstrumentByName(local.get(), present.get(), mine, &index);
        if (found < 0) return 0;
        if (found > 0) found = CompareInstruments(present.get(), record.get()) ? kFindEqual : 2;
        record->name[sizeof record->name - 1] = '\0';
        Action action = Decide(found, answers, question, record->name);
        if (action == kReplace) {
            record->id = present->id;
            if (!WriteInstrument(local.get(), record.get(), index)) return 0;
        } else if (action == kAppend) {
            if (!AppendInstrument(local.get(), record.get())) return 0;
            ++mine;
        }
    }
    return SafeClose(local.release());
}

int MergeObservers(const std::string &other, MergeAnswers *answers, MergeQuestionCallback question) {
    std::string path = other + "/observer.bin";
    if (FsKind(path) != 0) return 1;
    int16_t theirs = 0, mine = 0;
    FileHandle in(OpenObserverFile(path.c_str(), &theirs));
    FileHandle local(OpenObserverStore(&mine));
    if (!in || !local) return 0;
    for (int i = 0; i < theirs; ++i) {
        ObserverRecord record, probe;
        if (!ReadObserver(in.get(), i, &record)) return 0;
        record.name[sizeof record.name - 1] = '\0';
        probe = record;
        int16_t index = -1;
        Action action = Decide(FindObserver(local.get(), &probe, &index), answers, question, record.name);
        if (action == kReplace && !UpdateObserver(local.get(), index, &record)) return 0;
        if (action == kAppend && !AppendObserver(local.get(), &record)) return 0;
    }
    return SafeClose(local.release());
}

int MergeSites(const std::string &other, MergeAnswers *answers, MergeQuestionCallback question,
               const PreferenceMergeHooks *hooks) {
    std::string path = other + "/loc.bin";
    if (FsKind(path) != 0) return 1;
    int16_t theirs = 0, mine = 0;
    FileHandle in(OpenLocationFile(path.c_str(), &theirs));
    FileHandle local(OpenLocationStore(&mine));
    if (!in || !local) return 0;
    for (int i = 0; i < theirs; ++i) {
        LocationRecord record, probe;
        LocationTrailer trailer, found;
        if (!ReadLocation(in.get(), i, &record, &trailer)) return 0;
        record.name[sizeof record.name - 1] = '\0';
        probe = record;
        int16_t index = -1;
        Action action = Decide(FindLocation(local.get(), &probe, &found, &index), answers, question, record.name);
        if (action == kReplace) {
            if (!UpdateLocation(local.get(), index, &record, &trailer, &record.dst, record.dstMode)) return 0;
            // The site's event files were computed for the old values.
            if (hooks && hooks->siteReplaced) hooks->siteReplaced(&record);
        }
        if (action == kAppend && !AppendLocation(local.get(), &record, &trailer)) return 0;
    }
    return SafeClose(local.release());
}

int MergeEyepieces(const std::string &other, MergeAnswers *answers, MergeQuestionCallback question) {
    std::string path = other + "/eyep.bin";
    if (FsKind(path) != 0) return 1;
    int32_t theirs = 0;
    FileHandle in(OpenOtherEyepieceFile(path.c_str(), &theirs));
    if (!in) return 0;
    for (int i = 0; i < theirs; ++i) {
        EyepieceRecord record;
        if (!ReadEyepieceRecord(in.get(), i, &record)) return 0;
        record.name[sizeof record.name - 1] = '\0';
        int32_t mine = 0;
        int index = -1, id = 0, found;
        {
            FileHandle local(OpenEyepieceFile(&mine));
            if (!local) return 0;
            found = FindEyepieceRecordByName(local.get(), &record, &index, &id, mine);
        }
        if (found < 0) return 0;
        Action action = Decide(found, answers, question, record.name);
        if (action == kReplace && !UpdateEyepieceRecord(index, record.name, record.focalLength, record.apparentField))
            return 0;
        if (action == kAppend && AddEyepieceRecord(record.name, record.focalLength, record.apparentField) <= 0)
            return 0;
    }
    return 1;
}

int MergeScenarios(const std::string &other, MergeAnswers *answers, MergeQuestionCallback question) {
    std::string path = other + "/scenario.bin";
    if (FsKind(path) != 0) return 1;
    int32_t theirs = 0, mine = 0;
    FileHandle in(OpenOtherScenarioFile(path.c_str(), &theirs));
    FileHandle local(OpenScenarioFile(&mine));
    if (!in || !local) return 0;
    std::unique_ptr<ScenarioRecord> record(new ScenarioRecord);
    for (int i = 0; i < theirs; ++i) {
        if (!ReadScenario(in.get(), record.get(), i)) return 0;
        record->name[sizeof record->name - 1] = '\0';
        int index = -1;
        int found = FindScenarioByName(local.get(), record.get(), mine, &index);
        if (found < 0) return 0;
        Action action = Decide(found, answers, question, Subject("the %s scenario", record->name));
        if (action == kReplace && !WriteScenario(local.get(), record.get(), index)) return 0;
        if (action == kAppend) {
            if (!AppendScenario(local.get(), record.get())) return 0;
            ++mine;
        }
    }
    return SafeClose(local.release());
}

int MergeColumnSets(const std::string &other, MergeAnswers *answers, MergeQuestionCallback question) {
    std::string path = other + "/" + ColumnSetFileName();
    if (FsKind(path) != 0) return 1;
    int theirs = 0, mine = 0;
    FileHandle in(OpenColumnSetFileAt(path.c_str(), &theirs));
    FileHandle local(OpenColumnSetFile(&mine, 1));
    if (!in || !local) return 0;
    for (int i = 0; i < theirs; ++i) {
        ColumnSet set;
        if (!ReadColumnSet(in.get(), &set, i)) return 0;
        int index = -1;
        int found = FindColumnSet(local.get(), &set, mine, &index);
        if (found < 0) return 0;
        const char *mode = set.mode >= 0 && set.mode < 3 ? kModeWords[set.mode] : "";
        char subject[kQuestionBytes];
        std::snprintf(subject, sizeof subject, "the %s observing list column configuration (%s mode)", set.name, mode);
        Action action = Decide(found, answers, question, subject);
        if (action == kReplace && !ReplaceColumnSet(local.get(), &set, index)) return 0;
        if (action == kAppend && !AppendColumnSet(local.get(), &set, &mine)) return 0;
    }
    return SafeClose(local.release());
}

}  // namespace

int MergePreferencesFromOtherComputer(const char *otherDataFolder, int sourceVersion, int *replaceAll,
                                      int *keepAll, MergeQuestionCallback question,
                                      const PreferenceMergeHooks *hooks) {
    if (!otherDataFolder) return 0;
    std::string prefs = std::string(otherDataFolder) + "/prefs";
    std::string other = FsKind(prefs) == 1 ? prefs : std::string(otherDataFolder);
    MergeAnswers answers;
    answers.replaceAll = replaceAll && *replaceAll;
    answers.keepAll = keepAll && *keepAll;
    static const PoolShape<CameraRecord> kCameras = {"camera.bin", "%s", OpenOtherCameras, OpenCameraFile,
                                                     ReadCameraRecord, FindCameraRecordByName, WriteCameraRecord,
                                                     AppendCameraRecord};
    static const PoolShape<FilterRecord> kFilters = {"filters.bin", "the %s filter", OpenOtherFilterFile,
                                                     OpenFilterFile, ReadFilterRecord, FindFilterRecordByName,
                                                     WriteFilterRecord, AppendFilterRecord};
    static const PoolShape<LensRecord> kLenses = {"lenses.bin", "the %s lens", OpenOtherLensFile, OpenLensFile,
                                                  ReadLensRecord, FindLensRecordByName, WriteLensRecord,
                                                  AppendLensRecord};
    MergeAnswers horizonAnswers;  // the horizons keep flags of their own
    bool current = sourceVersion >= kFirstCurrentVersion;
    int ok = MergePool(other, kCameras, &answers, question) && MergePool(other, kFilters, &answers, question) &&
             MergePool(other, kLenses, &answers, question) && MergeInstruments(other, &answers, question) &&
             MergeObservers(other, &answers, question) && MergeSites(other, &answers, question, hooks) &&
             MergeHorizonFiles(other.c_str(), sourceVersion, &horizonAnswers, question) &&
             MergeEyepieces(other, &answers, question) &&
             (!current || (MergeScenarios(other, &answers, question) &&
                           (!hooks || !hooks->mergeSchemes ||
                            hooks->mergeSchemes(other.c_str(), sourceVersion, &answers, question)) &&
                           MergeColumnSets(other, &answers, question))) &&
             (!hooks || !hooks->mergeCharts || hooks->mergeCharts(other.c_str(), sourceVersion, &answers, question));
    if (replaceAll) *replaceAll = answers.replaceAll;
    if (keepAll) *keepAll = answers.keepAll;
    return ok ? 1 : 0;
}
