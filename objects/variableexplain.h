// Explanations of variability types from varexpl.bin (reference slot 1):
// 6-byte index entries (uint32 byte offset, int16 length) at k x 6, then the
// texts. Entries 0-4 head the classes 0-4; each type and many suffixes have
// their own entry.
#pragma once
#include <cstddef>

#include "objects/variabilitytypes.h"

// The class's head text and the type's body with its suffix explanations
// into head and body (each of `size` bytes, emptied first and kept
// terminated; a text that does not fit is cut). 1 when every text was read,
// 0 otherwise (the texts read so far are kept).
int ExplainVariabilityType(VariabilityType type, char *head, char *body, size_t size);
