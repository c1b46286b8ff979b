// The preview file "gleaner.bin" in the user data folder.
#pragma once

// Deletes "gleaner.bin"; 1 when it is gone (or was never there).
int DeletePreviewFile();

#include <cstdio>

struct PreviewRecord;

// The preview file opened for reading ("rb"); none when it cannot be opened.
FILE *OpenPreviewFile();
// Reads record index of the preview file; 1 when 0 <= index < count and the
// whole record was read, else 0.
int ReadPreviewRecord(FILE *file, PreviewRecord *record, int index, int count);
