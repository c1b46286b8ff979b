// Locating the suite's data at start-up: the registry values, the settings
// file "nightjar.ini" in the data folder with its directory lines ("$" for the
// data folder, a leading "#" for the data disc's drive letter), the
// reference- and map-catalogue directory slots, and catalogue file paths.
#pragma once
#include <cstdio>

const int kSuiteGeneration = 3;
const int kPathLineSize = 512;           // line buffers: at most 511 characters
const int kCatalogueFilePathSize = 1160; // slot (1023) + name (127) + ".bin" + NUL

// Steps of the start-up that find the suite's folders: the data folder from
// the registry, the settings file's reference-catalogue, map-catalogue and
// solar-system lines resolved ("$" the data folder, "#" the first drive with
// the data disc's marker) and each tested, the catalogue slots set, and the
// user folder set. The two solar-system folders are copied out (512-byte
// buffers, either may be null). 1 when every folder exists; 0 otherwise.
// The program's start-up (app/startup.h) goes on from here.
int ResolveDataDirectories(char *solarSystem0, char *solarSystem1);

// Registry values under HKEY_CURRENT_USER "SOFTWARE\Tarnwick\Nightjar\<generation>"
// into 512-byte buffers; 1 when read. (Builds without a registry read the
// environment variables NIGHTJAR<generation>_DATAPATH, _USERPATH, _INSTALLPATH.)
int ReadDataPath(int generation, char *buffer);
int ReadUserPath(int generation, char *buffer);
int ReadInstallPath(int generation, char *buffer);

// A stream on "nightjar.ini"; the file is created with its nine default lines
// only when it does not exist. None when DataPath cannot be read or the file
// cannot be opened.
FILE *OpenSettingsFile(const char *mode);
FILE *OpenSettingsTempFile(const char *mode);
// Replaces "nightjar.ini" by "nightjarT.ini" in one step; on failure both files
// stay as they were and the result is 0.
int CommitSettingsTempFile();
int BackupSettingsFile();   // "nightjar.ini" -> "nightjarini.bak"; CopyPlainFile's result
int RestoreSettingsFile();  // the other way

// Key lines (line 9 and later) are "<key> <integer>". 2147483647 when absent.
int ReadSettingsInt(const char *key);
// Replaces the key's line, or appends one; every other line stays as it was.
int WriteSettingsInt(const char *key, int value);

int ReadRefDirLines(char *a, char *b, char *c);          // lines 1-3, 512-byte buffers
int ReadMapDirLines(char *a, char *b, char *c);          // lines 4-6
int ReadSolarSystemDirLines(char *a, char *b);           // lines 7-8
int WriteRefDirLines(const char *a, const char *b, const char *c);
int WriteMapDirLines(const char *a, const char *b, const char *c);
int WriteSolarSystemDirLines(const char *a, const char *b);

// Ends the text at its first line break (a CR before it goes too).
void CutAtNewline(char *text);
// First drive from D to Z whose root holds "nightjar3.id"; 0 when none.
char FindDataDiscDrive();
// "#..." -> drive letter; the state (0 at first) keeps the letter so that one
// search serves all lines. 0 when no data disc is found.
int ResolveDriveMarker(char *driveState, char *line);
// "$..." -> data folder + rest, in a 512-byte line buffer; 0 when the result
// would not fit (the line is left unchanged).
int ResolveDataPathMarker(const char *dataFolder, char *line);
int PathExists(const char *path);
void NormalizePathSlashes(char *path);

int SetRefDirectories(const char *a, const char *b, const char *c);
// Counts the calls of SetRefDirectories: what was read from the folders
// before the last one may be stale.
unsigned RefDirectoriesGeneration();
int SetMapDirectories(const char *a, const char *b, const char *c);
// The slot text (ending in "/"), or none while the group is not set or the
// slot number (low 24 bits) is not 0, 1 or 2.
const char *GetRefDirectory(int slot);
const char *GetMapDirectory(int slot);
// "<slot><catalogue name k>.bin" into a buffer of kCatalogueFilePathSize
// bytes; "" while the reference slots are not set. Returns the buffer.
char *MakeCatalogueFilePath(char *buffer, int k, int slot);
FILE *OpenRefDirectoryFile(const char *name, int slot, const char *mode);
FILE *OpenMapDirectoryFile(const char *name, int slot, const char *mode);
void PrintCatalogueNames();
// 1 when "./bin" is reachable from the current folder, after making the
// installation folder current when it is not.
int EnsureBinFolder();
