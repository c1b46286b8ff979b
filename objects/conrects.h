// The cache of constellation boundary rectangles, loaded on first use by the
// constellation lookups and freed at program exit.
#pragma once

void FreeConstellationRects();
