// Which component pair of a double star to show: the one an instrument of a
// given resolution limit can split, with the companion nearest the primary in
// brightness.
#pragma once

struct CcdmComponent;

// Rows are the component entries of the star's CCDM record; the reference
// magnitude is the record's magnitude, the limit in arcseconds. The row
// index to show; -1 for no rows.
int ChooseDoubleStarComponent(double referenceMagnitude, double resolutionLimit,
                              const CcdmComponent *rows, int count);

// Reads CCDM record `record` with all its components and chooses the pair
// as above from the record's magnitude: the chosen index with its 68-byte
// row copied to rowOut (may be null); -1 when the record has no components
// or the catalogue cannot be read.
int FindDoubleStarComponent(int record, double resolutionLimit, CcdmComponent *rowOut);
