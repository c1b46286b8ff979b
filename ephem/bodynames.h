// Names of the solar-system body types of BodyRecord.
#pragma once

// "Sun", "Mercury", ..., "Pluto", "Moon", "Earth Shadow" for types 0..11;
// nullptr (no text) for any other type.
const char *GetBodyName(int type);
