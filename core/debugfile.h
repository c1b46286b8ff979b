// The diagnostic file "debug.txt" in the current folder: trace lines that any
// part of the suite may append while a problem is being followed.
#pragma once

// Appends the text and a line break to "debug.txt" (opened and closed at once);
// nothing happens when the file cannot be opened.
void AppendDebugLine(const char *text);
// Empties "debug.txt" (creating it).
void ClearDebugFile();
