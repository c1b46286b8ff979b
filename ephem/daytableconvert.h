// The converters that built the day tables Phoebe.bin and Himalia.bin from
// the text tables of the satellites' offsets: one line a record, the date in
// columns 1-17, X (arcseconds, east) in 22-31, Y (north) in 32-40 and a third
// value in 41-48. The program itself never runs them; the tests do.
#pragma once

// Converts the text table at textPath into a day table at binPath: one
// little-endian float32 X and Y per line that holds a date and the three
// values, in line order. A line that does not hold them (a heading, a blank
// line) is printed and skipped: written as a record it would move every later
// day one place. A date before the tables' first date prints a warning. Prints
// the count of records and the last day offset. 1 done; 0 when a file cannot
// be opened, a line cannot be read or a record cannot be written.
int ConvertDayTextTable(const char *textPath, const char *binPath);

// "../Nightjar Data/Phoebe.dat" into "ss/Phoebe.bin", and the same for
// Himalia, from the current folder. 1 done, 0 on failure.
int ConvertPhoebeTextTable();
int ConvertHimaliaTextTable();
