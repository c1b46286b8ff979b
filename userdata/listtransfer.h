// Observing-list transfer files (exchange packages of kind 1): one list with
// its objects and, by choice, each object's observing-log entries, note, web
// links and image links, for another user or computer.
//
// Layout: the 103-byte PackageHeader (counts: item keys, log entries, notes,
// links, image links) and the description with its NUL; the 52-byte
// ListTransferHead; then for each item of a class other than 0, in list
// order: the 5-byte ListItemKey, the user-object block of its class, and
// by the head's flags the log entries with their end marker (4), the note
// records with their end record (1), the link records with theirs (2) and
// the image link records with theirs (8).
//
// The key carries no satellite number: a planetary satellite (class 2 with
// a sub-index) arrives as its planet. The head's count equals the number of
// keys in files written here; a reader takes the header's count, which is
// the number of keys in every file.
//
// An import gathers the items in memory and changes the list only at its
// end, in one step that is undone when any part fails: a failed or
// abandoned import leaves an existing list as it was. Notes, links, image
// links, log entries and user objects that arrived before a failure stay
// merged, as the exchange packages of those stores do.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/package.h"
#include "objects/objectrecord.h"

#pragma pack(push, 1)
struct ListTransferHead {
    char name[48];   // the list slot's name
    int16_t items;   // item keys that follow
    int16_t flags;   // kListTransfer* bits
};
struct ListItemKey {
    uint8_t objectClass;
    int32_t index;  // the sender's id for the user-defined classes
};
#pragma pack(pop)
static_assert(sizeof(ListTransferHead) == 52, "ListTransferHead is 52 bytes");
static_assert(sizeof(ListItemKey) == 5, "ListItemKey is 5 bytes");

const int kListPackageKind = 1;
const int kListTransferNotes = 1;
const int kListTransferLinks = 2;
const int kListTransferLog = 4;
const int kListTransferImageLinks = 8;

typedef void (*ListProgressCallback)(int step);

// The log section comes from the log store, a floor above this one: the
// caller hands in these two (logstore/listlogsection.h fills them). Export
// writes an object's entries and the end marker and returns their number
// (-1 on failure); import reads one object's section and returns the
// entries taken (-1 on failure).
struct ListLogSection {
    int (*exportEntries)(FILE *file, const ObjectRecord *object);
    int (*importEntries)(FILE *file, int sourceVersion);
};

// "w+b" with the header (kind 1, the name, the current time) and the
// description, positioned after them; none on failure.
FILE *CreateListTransferFile(const char *path, const char *name, const char *description);
// Writes list slot's head and items. Groups are the 0-based positions of
// the notes, links and image-links groups whose records travel. 1 done
// (counts stored in the header), 0 for a list without items (nothing
// written), -1 on a failure (the caller removes the partial file).
int ExportList(FILE *file, int slot, int flags, int notesGroup, int linksGroup, int imageLinksGroup,
               ListProgressCallback progress, const ListLogSection *log);
// Create, export and close in one: a failure or an empty list leaves no
// file at path. Results as ExportList.
int ExportListToFile(const char *path, int slot, int flags, int notesGroup, int linksGroup,
                     int imageLinksGroup, ListProgressCallback progress, const ListLogSection *log);

struct ListImportState {
    FILE *transfer = nullptr;
    PackageHeader header{};
    ListTransferHead head{};
    std::string name;         // the list's name as slots keep it
    std::string description;
    int sourceVersion = 0;
    int listGroup = 0;        // list group of a new list
    int32_t itemsRead = 0;
    int32_t itemTotal = 0;    // item keys in the file
    int32_t progressStep = 1;
    int32_t progressCounter = 0;
    std::vector<ObjectRecord> items;
    const ListLogSection *log = nullptr;
    bool groupsReady = false;
    bool complete = false;
    // Per store (notes, links, image links, images): the group's id and
    // whether this import made it; -1 when the flags do not need it.
    int groupIds[4] = {-1, -1, -1, -1};
    bool groupMade[4] = {false, false, false, false};
    int32_t taken[4] = {0, 0, 0, 0};  // notes, links, image links, log entries
    std::string imagesFolder;
    ListImportState() = default;
    ListImportState(const ListImportState &) = delete;
    ListImportState &operator=(const ListImportState &) = delete;
    // An import abandoned without EndListImport closes its file here and
    // changes no list.
    ~ListImportState();
};

// Opens the file, checks the header (kind 1, magic 55555, major version
// above 1) and reads the head. 1 ready, 0 failure (nothing changed).
int BeginListImport(ListImportState *state, int group, const char *path, int percent,
                    PackageHeader *header, std::string *description, const ListLogSection *log);
// 1 after a portion (call again), 0 when all items are read, -1 on failure.
int ImportNextListItems(ListImportState *state, const char *imagesFolder);
// Closes the file. Without discard, after a complete import: the list of
// the name (made in the import's group when absent, else keeping its slot
// and group) gets the items, the package's time and the description, and
// is marked for refresh; the user-object name indexes are dropped so that
// they are rebuilt. The slot, or -1 when nothing was stored (a discarded or
// incomplete import, or a failure, which leaves the lists as they were).
int EndListImport(ListImportState *state, int discard);
