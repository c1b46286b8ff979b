// Texts of angles, right ascensions and clock times in the process-wide text
// styles, the "J" position designation, the longitude display option and the
// compact angle texts. Values are decimal degrees (declinations, longitudes)
// or hours (right ascensions, clock times) unless a function says radians.
//
// Every formatter writes a NUL-terminated text of at most 15 characters, so a
// buffer of kAngleTextSize bytes always suffices. Normal values give at most
// 14 characters; a value that is not finite, or whose text would be longer
// (the "cannot compute" value -99999999, the no-value 2147483647), gives "--".
#pragma once

const int kAngleTextSize = 16;
// FormatJDesignation writes 16 characters.
const int kJDesignationSize = 17;

// Process-wide text styles, 0 at start.
// AngleTextStyle: 0 symbols (degree sign 0xB0, ' and ", or h m s), 1 colons,
// 2 blanks, 3 decimal; any other value acts as 0.
extern int AngleTextStyle;
// 1: with style 3, right ascensions are written and read as degrees (hours x 15).
extern int RaInDegreesFlag;
// 0: 24-hour clock; 1: 12-hour clock with a trailing a or p. Any other value is
// shown as the 24-hour clock.
extern int ClockTextStyle;

// Sets the angle style; the degrees flag is set (and 3 returned) only for
// style 3 with raInDegrees 1, otherwise the flag is cleared and 0 returned.
int SetAngleTextStyle(int style, int raInDegrees);
void SetClockTextStyle(int style);
int GetClockTextStyle();

// ---- declinations and longitudes (degrees) ----------------------------------
char *FormatDeclinationMinutes(char *buffer, double degrees);     // +12°35'
char *FormatLongitudeMinutes(char *buffer, double degrees);       // +123°35'
char *FormatLongitude(char *buffer, double degrees);              // +123°34'56"
char *FormatDeclination(char *buffer, double degrees);            // +12°34'56"
char *FormatDeclinationColons(char *buffer, double degrees);      // +12:34:56 in styles 0-2
char *FormatDeclinationTenths(char *buffer, double degrees);      // +12°34'56.7"
char *FormatDeclinationHundredths(char *buffer, double degrees);  // +12°34'56.78"
char *FormatDeclinationBlanks(char *buffer, double degrees);      // +12 34 56, any style
char *FormatDeclinationHundredthsBlanks(char *buffer, double degrees);  // +12 34 56.78

// ---- right ascensions (hours) -------------------------------------------------
char *FormatRightAscensionMinutes(char *buffer, double hours);       //  12h35m
char *FormatRightAscension(char *buffer, double hours);              //  12h34m56s
char *FormatRightAscensionTenthMinutes(char *buffer, double hours);  //  12h34.9m
char *FormatRightAscensionTenths(char *buffer, double hours);        //  12h34m56.7s
char *FormatRightAscensionHundredths(char *buffer, double hours);    //  12h34m56.78s
char *FormatRightAscensionThousandths(char *buffer, double hours);   //  12h34m56.789s
char *FormatRightAscensionTenthsBlanks(char *buffer, double hours);  //  12 34 56.7, any style

// ---- clock times (hours) ------------------------------------------------------
// The hours are first brought into [0, 24), so -1.5 h (22:30 the evening
// before) shows as 22:30.
char *FormatClockTime(char *buffer, double hours);          // 21:30 or 09:30p
char *FormatClockTimeSeconds(char *buffer, double hours);   // 21:30:05 or 09:30:05p
char *FormatClockTime24(char *buffer, double hours);        // always 24-hour
char *FormatClockTime24Seconds(char *buffer, double hours); // always 24-hour

// "J" designation of a place (radians): J, hours, minutes and seconds cut to
// tenths, then the signed degrees, minutes and whole seconds, e.g.
// "J123456.7+123456". The fields are truncated as catalogue names are, never
// carried. Needs kJDesignationSize bytes.
char *FormatJDesignation(char *buffer, double rightAscension, double declination);

// ---- longitude display option ---------------------------------------------------
// When the flag is not 0, longitudes are shown counted from the opposite
// meridian: (longitude + 180) reduced into [0, 360].
void SetLongitudeDisplayFlag(int value);
int GetLongitudeDisplayFlag();
char *FormatDisplayLongitudeMinutes(char *buffer, double degrees);
char *FormatDisplayLongitude(char *buffer, double degrees);
// "%03d°" of the displayed longitude rounded to a whole degree.
char *FormatDisplayLongitudeDegrees(char *buffer, double degrees);

// ---- compact angle texts (radians) -----------------------------------------------
// Below 1': whole arcseconds ("12\""); below 1°: minutes and seconds only
// ("30'00\"" in the symbol style); below 10°: degrees and minutes; else whole
// degrees. Returns the start of the text, which lies inside the buffer.
char *FormatAngleCompact(char *buffer, double angle);
// Below 1": FormatDeclinationTenths, else FormatDeclination, of the degrees.
char *FormatAngleFine(char *buffer, double angle);
