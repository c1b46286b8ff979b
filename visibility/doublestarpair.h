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

// Orbit number of a star's component: the star's CCDM record is read from
// the star catalogue; letter ' ' counts as 'A', and 'A' as the star's own
// component letter when that is another letter; the orbit number of the
// first component row with that letter; 0 when the star has no CCDM record
// or no row matches.
int FindComponentOrbitNumber(int star, char letter);
// Star number of the first component of a star's CCDM record that has an
// orbit, with its letter in *letter; 0 and ' ' when none.
int FindFirstOrbitComponent(int star, char *letter);

struct DateRecord;
struct ObjectRecord;

// The component pair of an item's double-star record for an aperture (mm)
// at a date: components with an orbit take its position angle and
// separation for the date's decimal year; the pair an instrument of that
// Dawes limit splits is written to the item (its two letters, separation and
// the companion's magnitude, from the star catalogue when the component has
// none). Nothing for an item without a record, a record without components,
// or a chosen component without a measure (position angle 361, separation 0).
void SelectDoubleStarComponents(const DateRecord *date, double aperture, ObjectRecord *item);
