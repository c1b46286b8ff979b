// Constellation boundary rectangle cache. The lookups that fill it come with
// the constellation readers; freeing an empty cache is a no-op.
#include "objects/conrects.h"

void FreeConstellationRects() {}
