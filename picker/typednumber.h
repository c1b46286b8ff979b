// Whether a value typed into a number or angle field is a number at all,
// before the sexagesimal reader gives it a value: that reader takes a
// trailing "a" or "p" as a 12-hour mark and passes over a stray letter, so
// "12a" reads as 0 and "x5" as 5. Dialogs that take coordinates, columns and
// measures refuse such text and name the field, instead of storing 0.
#pragma once
#include <string>

// 1 when the text holds at least one digit and nothing but digits, a sign, a
// decimal point and the separators of sexagesimal text: blanks, tabs,
// colons, h, d and m (either case), the degree sign (0xB0), apostrophes,
// double quotes and the broken bar (0xA6). "40 00 00", "+41 16 09",
// "104:30:00", "12h30m", "-2.5" are numbers; "", "abc", "12a", "x5", "N40"
// are not.
int TypedTextIsNumber(const char *text);

// 1 with the value (ParseSexagesimal, units as typed) when the text is a
// number by TypedTextIsNumber and the reader gives a value; else 0 and the
// value is left alone.
int ReadTypedNumber(const char *text, double *value);

// "The <field> field holds no number: "<text>"." for the refusal of a field
// whose text is not a number.
std::string NoNumberMessage(const char *field, const char *text);
