// Reading the right ascension, declination and equinox that the object
// picker's "Enter Coordinates" page holds, into a J2000 place: the equinox
// names J2000, B1950, B1875, B1900 and JHIPP, decimal years, right
// ascensions typed in hours or in degrees, and the error that comes first.
#pragma once

// Results of ReadEnteredCoordinateTexts, in the order the fields are checked.
enum EnteredCoordinatesResult {
    kCoordinatesRead = 0,
    kCoordinatesBadRa = 1,       // "Error reading RA"
    kCoordinatesBadDec = 2,      // "Error reading Declination"
    kCoordinatesBadEquinox = 3,  // "Error reading epoch"
};

// The message of a result other than kCoordinatesRead ("" for that one).
const char *EnteredCoordinatesMessage(int result);

// An equinox text: empty (or null) is J2000 (*emptyText set to 1 so the
// field can be filled with "J2000"); the names J2000, B1950, B1875, B1900 and
// JHIPP (J1991.25) begin the text, case-blind ("b1950.0" is B1950); any other
// text is a decimal year (numbers only, no letters: "J1991.25" is refused). 1 with T (Julian centuries
// from J2000) and *besselian 1 for the three Besselian equinoxes (places at
// them are in the FK4 system); 0 when the text cannot be read.
int ReadEquinoxText(const char *text, double *centuries, int *besselian, int *emptyText);

// The three field texts (right ascension in hours, or in degrees when
// raInDegrees is 1; declination in degrees; equinox as ReadEquinoxText) to a
// J2000 FK5 place in radians. A place at a Besselian equinox is taken as an
// FK4 place (the E-terms of aberration removed, the equinox correction
// applied); any other equinox is precessed in FK5. Without proper motion.
// A right ascension outside 0-24 hours (0-360 degrees) or a declination
// outside -90..+90 degrees is an error of that field.
// The outputs are written only on kCoordinatesRead; *emptyEquinox (may be
// null) is 1 when the equinox field was empty.
int ReadEnteredCoordinateTexts(const char *raText, const char *decText, const char *equinoxText,
                               int raInDegrees, double *rightAscension, double *declination,
                               int *emptyEquinox);
