// The web links store: per link group, category and object a small text
// file of links (URL and description), with a sorted key index per group and
// category. Layout under the user data folder:
//   links/groups.bin                     the link group list (kind 1)
//   links/<group>/<category>/index.bin   stamp (5), int32 count (5), count
//                                        int32 keys ascending as signed (9)
//   links/<group>/<category>/<n>.dat     the links of catalogue index n
//   links/<group>/<category>/<n>s.dat    the links of user object n
// A link file holds the lines "55555", "VER 3.1f", "<index> <class>
// <category>" and one "<url>#<description>" line per link (a URL holds no
// "#"). Written as text: line ends may be LF or CR LF, readers take both.
//
// Every file is written whole through the crash-safe layer and put in place
// in one step (an index only made where none exists, a link file rewritten
// beside itself), so a failed step never loses the object's other links.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/fsys.h"
#include "objects/categories.h"

struct ObjectRecord;

const int kLinkIndexHeaderBytes = 9;
const int32_t kLinkKeyMarkBit = 0x10000000;
const int kLinkLineMax = 1023;

struct LinkIndexLists {
    std::vector<int32_t> rows[kCategoryFolderCount];
};

#pragma pack(push, 1)
struct LinkKeyEntry {
    uint32_t category;
    int32_t key;
};
#pragma pack(pop)
static_assert(sizeof(LinkKeyEntry) == 8, "LinkKeyEntry is 8 bytes");

struct WebLink {
    std::string url;
    std::string description;
};

// The contents of one link file.
struct LinkFile {
    int32_t index = 0;
    int objectClass = 0;
    uint32_t category = 0;
    std::vector<WebLink> links;
};

int LinkCategoryIndex(uint32_t category);
uint32_t LinkCategoryBits(int row);

// "<user folder>/links"; "" when the user folder is not set.
std::string LinksFolder();
std::string LinkIndexFilePath(const char *groupFolder, int row);
std::string LinkFilePathOf(const char *groupFolder, int row, int objectClass, int32_t index);
bool LinkGroupFolder(int group, std::string *folder);

int EnsureLinkIndexFiles(const char *groupFolder);
// As CreateNoteIndexFile: made only when missing, or emptied with reset 1.
int CreateLinkIndexFile(const char *groupFolder, int row, int reset = 0);
int LoadLinkIndexLists(int group, LinkIndexLists *lists);
void FreeLinkIndexLists(LinkIndexLists *lists);
int ObjectHasLinks(const LinkIndexLists *lists, const ObjectRecord *record);
// 1 when the object has links. A packaged comet or minor planet without
// links of its own is looked up as its user-file twin (minorbodytwin.h); when
// the twin has links, the twin's record replaces the caller's.
int FindLinksOfObject(const LinkIndexLists *lists, ObjectRecord *record);

// "<url>#<description>" split at the first "#"; trailing CR and LF dropped.
// 0 for a line without "#".
int SplitLinkLine(const std::string &line, std::string *url, std::string *description);
// Reads a link file whole: the three header lines must be 55555, a version
// of major 2 or more and (when expected is given) exactly the record's index,
// class and category; lines without "#" are passed over.
int ReadLinkFileAt(const std::string &path, const ObjectRecord *expected, LinkFile *out);
int WriteLinkFileAt(const std::string &path, const LinkFile &file);
// The object's links in the group; 0 when none or unreadable.
int ReadObjectLinks(int group, const ObjectRecord *record, LinkFile *out);

// 1 added; -1 for an empty URL, a URL holding "#" or one already present
// (compared without regard to case); 0 on failure. The link file is written
// before the key is indexed.
int AddObjectLink(int group, ObjectRecord *record, const char *url, const char *description);
int AppendLink(int group, ObjectRecord *record, const char *url, const char *description);
int AddLinkedObject(int group, ObjectRecord *record, const char *url, const char *description);
// 1 removed (or nothing matched); the last link removes the file and the
// key. 0 on failure, -1 when the group cannot be read.
int DeleteLink(int group, ObjectRecord *record, const char *url);
// 1 deleted; 0 no links, refused or a file error; -1 when the indexes or the
// group cannot be read. A link file already gone counts as deleted.
int DeleteObjectLinks(int group, ObjectRecord *record, int sameClass);
int MoveLinksToGroup(int sourceGroup, int targetGroup, ObjectRecord *record);
int GetLinkFileTime(int group, int objectClass, uint32_t category, int32_t index,
                    FileTimeValue *out);
int ReadGroupLinkKeys(int group, std::vector<LinkKeyEntry> *keys);
int MarkUserObjectsWithLinks(int objectClass, uint8_t *marks, int length);
