// The object picker "Object Requestor -- Find an Object in the Database": a
// modal frame with the requestor inside it, whose Search, Browse and Enter
// Coordinates pages find one sky object, a panel that shows its data, and
// the twelve objects chosen last.
#pragma once
#include <windows.h>

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

// Runs the picker modally. inOut gives the object to start with (catalogue
// index -1: none) and receives the chosen one. preset (at most 255
// characters, may be null) is put into the Search page and searched at once.
// 1 when the user chose an object with OK, 0 on Cancel or when the picker
// cannot be created. Only an object the user chose is returned: a row picked
// from a list (a search's first result counts, being selected for the user)
// or coordinates accepted; OK with nothing chosen says so and stays open.
int RequestObjectDialog(HWND owner, HINSTANCE instance, const LocationRecord *site,
                        const DateRecord *date, ObjectRecord *inOut, const char *preset);
