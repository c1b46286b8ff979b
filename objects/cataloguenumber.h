// Reading a catalogue number with an optional suffix letter from a typed
// designation ("NGC 5194A", "M 31", "Collinder 399", "2506").
#pragma once

// 1 when a number was read (number out, suffix out: 0 none, 1 "A" ... 26 "Z");
// 0 for no text or a text that begins with "*". The last character, when a
// letter, is the suffix. A text that does not begin with a digit is read from
// after its first blank; "den Bergh-Hagen" and "den Bergh" are skipped.
int ParseCatalogueNumber(const char *text, int *number, int *suffix);
