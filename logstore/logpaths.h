// The folder layout of the observing-log store under "<user data>/log": the 13
// class folders chosen by an object's category bits, their key lists
// (pid.bin), per-object summary files (.pix) and entry files (.bin), and the
// six index folders.
#pragma once
#include <cstdint>
#include <cstdio>

const int kLogClassFolderCount = 13;
const int kLogPathSize = 1024;        // every path buffer handed to the builders below
const int kLogFolderNameSize = 19;
const uint32_t kLogUserKeyBit = 0x40000000u;
extern const char *const kLogIndexFolders[6];  // class, night, loc, observer, instrument, cons

// Folder 0-12 of the category bits; -1 for bits with no folder (sky marks,
// Earth satellites, reference points, the user deep-sky union 0x33f00, 0).
int GetClassFolderIndex(int32_t categoryBits);
// The category bits of folder 0-12; 0 otherwise.
int32_t GetClassBitsOfFolder(int folder);
// Copies the folder's name (kLogFolderNameSize bytes); 1, or 0 outside 0-12.
int GetClassFolderName(int folder, char *name);
// Process-wide enumerator: 1 with the next of the 13 names; after the 13th, 0
// once and back to the first. Loops that may stop early should count 0-12
// with GetClassFolderName instead.
int GetNextClassFolderName(char *name);

// "<user data>/log" and "<user data>/log/<relative>"; 0 when it does not fit.
int MakeLogPath(char *path, const char *relative);
int HasPidFile(int folder);
// Makes the log folder, the six index folders and the class folder, then a
// pid.bin of two zero words (written beside and moved into place, so a failed
// write never leaves a short key list). 1, or 0 at the first failure.
int CreateLogFolders(int folder);
// CreateLogFolders for every folder whose pid.bin does not exist. A pid.bin
// that exists but cannot be read is left alone (rewriting it would reset its
// entry counter and reissue log numbers). Once all 13 were found for a user
// data folder, later calls for it look at nothing until ForgetLogFoldersMade.
// Answers 1.
int EnsureLogFolders();
void ForgetLogFoldersMade();
// Path builders; the path is empty for bits with no folder. Buffers hold
// kLogPathSize bytes.
void MakePidFilePath(int32_t categoryBits, char *path);
void MakeObjectFilePath(int32_t categoryBits, int32_t catalogueIndex, int userFlag, char *path);
void MakeEntryFilePath(int32_t categoryBits, int32_t logNumber, char *path);
// The summary file opened "r+b" and positioned after its count, created with a
// zero count only when it does not exist; null on failure (count untouched).
// The stream is unbuffered: a row is written with one call, straight from the
// caller's record.
FILE *OpenObjectFile(int32_t categoryBits, int32_t catalogueIndex, int userFlag, int32_t *count);
// A summary file at path opened in mode ("rb" to read, "r+b" to append),
// positioned after its count; null when it cannot be opened or read, or its
// count is negative or claims more rows than the file holds. With unbuffered
// set the stream has no buffer (each read and write is one call).
FILE *OpenSummaryFile(const char *path, const char *mode, int32_t *count, bool unbuffered = false);
