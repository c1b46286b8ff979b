// Web links on their way between computers: the links register
// ("links/registry.bin"), which links travel, the link records of exchange
// files and the links package (kind 3).
//
// Link record: uint8 class, int32 index (LinkRecordHead), the user-object
// block, then per link int32 n (line length + 1, 1..1024) and the line
// "<url>#<description>\n" with its NUL, then int32 0. The records end with
// a head of class 0 and index -1 (index 0 in files below version 3000).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/fsys.h"
#include "core/package.h"
#include "userdata/groupstore.h"  // LinkRecordHead

struct ObjectRecord;


const int kLinksPackageKind = 3;
const int kExchangeLineMax = 1024;  // n, the line with its NUL

typedef void (*LinkProgressCallback)(int step);

std::string LinksRegistryPath();
int FindRegisteredLinksPackage(const char *name, FileTimeValue *created);
int RegisterLinksPackage(const char *name, const FileTimeValue *created);

// "http://" and "https://" pages without "cgi", ".pl", "=", "&" or "?";
// otherwise only addresses beginning with "ftp" (compared in lower case).
int IsExportableLink(const char *line);

// The number of link lines written; 0 when the object has no links; -1 on
// a missing file or record or any failure.
int WriteObjectLinksRecord(FILE *file, int group, const ObjectRecord *record);
int WriteLinkRecordsEnd(FILE *file);
// Links added, or -1 on a read error, a malformed record (a line length
// outside 1..1024 or past the file's end, a head of class 0 that is no end)
// or a failed addition. A user object carried in a record is found or
// added here, so its links attach to this computer's object.
int ReadLinkRecords(FILE *file, int group, int sourceVersion, int expectedCount,
                    LinkProgressCallback progress);

FILE *CreateLinksPackage(const char *path, const char *name, const char *description);
int CloseLinksPackage(FILE *file, int linkCount);
int ImportLinksPackage(const char *path, PackageHeader *header, std::string *description,
                       LinkProgressCallback progress);
