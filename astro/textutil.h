// Text routines shared by the whole suite: trimming, squeezing, bounded copies,
// case-blind comparisons, fixed-width fields and file-name encoding of names.
#pragma once

// Removes trailing blanks, carriage returns and line feeds in place; returns the
// index of the last character kept, -1 when nothing is left.
int TrimTrailingBlanks(char *text);
// Removes leading blanks in place.
void TrimLeadingBlanks(char *text);
