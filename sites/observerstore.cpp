// The observer store "observer.bin": paths, open, backup, the record
// operations over the fixed-slot file, the lookup by name, the record
// initialiser, the pupil model and the texts.
#include "sites/observerstore.h"

#include <cmath>
#include <cstring>

#include "core/mathutil.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "sites/slotstore.h"

namespace {

const int kSlot = (int)sizeof(ObserverRecord);
// Pupil and experience agree when they differ by less than this.
const double kObserverTolerance = 0.01;

const char *const kExperienceNames[5] = {"Novice", "Some experience", "Intermediate",
                                         "Very experienced", "Expert"};

void TerminateName(ObserverRecord *record) { record->name[sizeof(record->name) - 1] = '\0'; }

bool Within(double a, double b, double tolerance) {
    // Written so that a NaN never counts as agreeing.
    return std::fabs(a - b) < tolerance;
}

}  // namespace

char *MakeObserverFilePath(char *buffer, int size) {
    if (buffer && size > 0 && !MakeUserDataPath(buffer, size, "observer.bin")) buffer[0] = '\0';
    return buffer;
}

char *MakeObserverBackupPath(char *buffer, int size) {
    if (buffer && size > 0 && !MakeUserDataPath(buffer, size, "observer.bak")) buffer[0] = '\0';
    return buffer;
}

FILE *OpenObserverStore(int16_t *count) {
    char path[1024];
    MakeObserverFilePath(path, sizeof path);
    if (!path[0]) return nullptr;
    FILE *f = OpenSlotStore(path, count);
    // A store that exists but cannot be opened for writing (a read-only user
    // folder) is still read: its records are known, and every write through
    // the stream fails and says so.
    if (!f && FileExists(path)) f = OpenSlotFileReadOnly(path, count);
    return f;
}

FILE *OpenObserverFile(const char *path, int16_t *count) {
    return OpenSlotFileReadOnly(path, count);
}

int BackupObserverFile() {
    char from[1024], to[1024];
    MakeObserverFilePath(from, sizeof from);
    MakeObserverBackupPath(to, sizeof to);
    if (!from[0] || !to[0]) return 0;
    return CopySlotFile(from, to, kSlot);
}

int RestoreObserverFile() {
    char from[1024], to[1024];
    MakeObserverBackupPath(from, sizeof from);
    MakeObserverFilePath(to, sizeof to);
    if (!from[0] || !to[0]) return 0;
    return CopySlotFile(from, to, kSlot);
}

int ReadNextObserver(FILE *f, char *name) {
    if (!f || !name) return 0;
    ObserverRecord r;
    if (std::fread(&r, 1, sizeof r, f) != sizeof r) return 0;
    TerminateName(&r);
    std::memcpy(name, r.name, sizeof r.name);
    return 1;
}

int AppendObserver(FILE *f, const ObserverRecord *record) {
    if (!record) return 0;
    return AppendSlot(f, kSlot, record);
}

int ObserverValuesInRange(const ObserverRecord *r) {
    if (!r) return 0;
    return std::isfinite(r->pupilDiameter) && r->pupilDiameter >= 0.0 && r->pupilDiameter <= 20.0 &&
                   std::isfinite(r->experience) && r->experience >= -10.0 && r->experience <= 10.0 &&
                   r->age >= 0 && r->age <= 200
               ? 1
               : 0;
}

int ReadObserver(FILE *f, int index, ObserverRecord *record) {
    if (!record) return 0;
    ObserverRecord r;
    if (!ReadSlot(f, kSlot, index, &r)) return 0;
    if (!ObserverValuesInRange(&r)) return 0;  // damage: nothing is computed from it
    TerminateName(&r);
    *record = r;
    return 1;
}

int UpdateObserver(FILE *f, int index, const ObserverRecord *record) {
    if (!record) return 0;
    return WriteSlot(f, kSlot, index, record);
}

int DeleteObserver(FILE **f, int index) {
    char path[1024];
    MakeObserverFilePath(path, sizeof path);
    if (!path[0]) return 0;
    return DeleteSlot(path, f, kSlot, index);
}

int FindObserver(FILE *f, ObserverRecord *record, int16_t *index) {
    if (index) *index = 0;
    if (!f || !record) return 0;
    char wanted[sizeof record->name];
    CopyStringBounded(wanted, record->name, (int)sizeof wanted);
    if (!wanted[0]) return 0;
    int16_t count = 0;
    if (!ReadSlotCount(f, &count)) return 0;
    for (int i = 0; i < count; ++i) {
        ObserverRecord stored;
        if (!ReadObserver(f, i, &stored)) {
            if (index) *index = (int16_t)i;
            return 0;
        }
        if (CompareStringsNoCase(stored.name, wanted) != 0) continue;
        if (index) *index = (int16_t)i;
        if (!Within(stored.experience, record->experience, kObserverTolerance) ||
            !Within(stored.pupilDiameter, record->pupilDiameter, kObserverTolerance))
            return 2;
        *record = stored;
        return 1;
    }
    if (index) *index = count < 0 ? 0 : count;
    return 0;
}

int InitObserverRecord(ObserverRecord *record, const char *name, int age, double pupil,
                       double experience) {
    if (!record) return 0;
    std::memset(record, 0, sizeof(*record));
    CopyStringZeroFilled(record->name, name ? name : "", (int)sizeof(record->name));
    record->age = age;
    record->pupilDiameter = pupil == 0.0 ? ComputePupilForAge(age) : pupil;
    record->experience = experience;
    return 1;
}

double ComputePupilForAge(double age) {
    return 7.0 * std::exp(-0.5 * ComputeGuardedPower(age * 0.01, 2.0));
}

int GetExperienceLevel(double experience) {
    double x = 4.0 * experience;
    if (!(x > 0.0)) return 0;  // also a NaN
    if (x >= 4.0) return 4;
    return (int)std::floor(x + 0.5);  // positive here: halves go up, away from zero
}

const char *GetExperienceName(int level) {
    if (level < 0) level = 0;
    if (level > 4) level = 4;
    return kExperienceNames[level];
}

void LoadDefaultObserver(ObserverRecord *record) {
    if (!record) return;
    int16_t count = 0;
    bool read = false;
    FILE *f = OpenObserverStore(&count);
    if (f) {
        read = count > 0 && ReadObserver(f, 0, record) == 1;
        std::fclose(f);
    }
    if (!read) InitObserverRecord(record, "Default Observer", 40, 0.0, 0.5);
}

int UseStoredObserver(ObserverRecord *record) {
    if (!record) return 0;
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    int stored = 0;
    if (f) {
        ObserverRecord found = *record;
        int16_t index = 0;
        // A name match with other values still names the stored observer:
        // its stored values are the ones shown.
        if (FindObserver(f, &found, &index) != 0 && ReadObserver(f, index, &found) == 1) {
            *record = found;
            stored = 1;
        } else if (count > 0 && ReadObserver(f, 0, &found) == 1) {
            *record = found;
            stored = 1;
        }
        std::fclose(f);
    }
    if (!stored) std::memset(record->name, 0, sizeof record->name);
    return stored;
}

char *DescribeObserver(const ObserverRecord *record, char *text, int size) {
    if (!text || size <= 0) return text;
    text[0] = '\0';
    if (!record) return text;
    double pupil = record->pupilDiameter;
    std::snprintf(text, (size_t)size, "%s observer, %.0lfmm pupils",
                  GetExperienceName(GetExperienceLevel(record->experience)), pupil);
    return text;
}
