// Refreshing the stored copies of an edited user-defined object.
#include "logstore/userobjectcopies.h"

#include "logstore/logrewrite.h"
#include "objects/categories.h"
#include "userdata/notestore.h"

int RefreshUserObjectCopies(int objectClass, uint32_t category, int32_t id) {
    if (!IsUserObjectClass(objectClass)) return 0;
    int notes = RewriteUserObjectNotes(objectClass, category, id);
    int log = 0;
    if (category != kCopiesSkyMarkCategory && category != kCopiesReferencePointCategory)
        log = RewriteUserObjectLogEntries(objectClass, static_cast<int32_t>(category), id);
    return notes == 1 || log == 1 ? 1 : 0;
}
