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
