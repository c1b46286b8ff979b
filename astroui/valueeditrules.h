// The rules of the in-place value editor that need no window: which texts a
// value edit accepts, how the value is stored into the caller's variable by
// kind and how it is shown again. The editor itself is valueedit_win.h.
#pragma once
#include <cstddef>

// Kinds of edited value and of the caller's variable.
constexpr int kValueKindInteger = 0;       // int32_t, shown with the caller's format
constexpr int kValueKindDouble = 1;        // double, shown with the caller's format
constexpr int kValueKindClockTime = 2;     // double hours, shown as a clock time
constexpr int kValueKindAngle = 3;         // double degrees, shown as an angle
constexpr int kValueKindFloatClockTime = 4;  // float hours, shown as a clock time

constexpr int kValueEditFormatSize = 32;   // the copy of the caller's format
constexpr int kValueEditTextSize = 64;     // texts read from the edit: 63 characters

// 1 when format is a printf format of exactly one conversion that suits the
// kind: kind 0 "d" or "i", kind 1 "f", "F", "e", "E", "g" or "G" (with "l"
// allowed), flags, width and precision given as digits, "%%" anywhere. Kinds
// 2 to 4 do not use the format (1). Any other conversion ("%s", "%n", "%f"
// for an integer) would read the wrong argument.
int ValueEditFormatFitsKind(const char *format, int kind);
// The format kept for an edit: a copy of the caller's (at most 31
// characters) when it fits the kind, else "%d" for kind 0 and "%g" for kind 1.
void KeepValueEditFormat(const char *format, int kind, char *out /* kValueEditFormatSize */);
// The accepted range of a kind: kind 0 cut to what an int32_t holds.
void ValueEditRangeForKind(int kind, double *minimum, double *maximum);

// 1 when the text reads (ParseSexagesimal: a number, hours:minutes or
// degrees:minutes) and minimum <= value <= maximum; the value is written then.
// Line ends and tabs around the text are ignored.
int ReadValueEditText(const char *text, double minimum, double maximum, double *value);
// Stores the value into the caller's variable by kind: kind 0 truncated
// towards zero (and held to the int32_t range), kind 4 as a float, the others
// as a double. Returns 0 for no target or an unknown kind.
int StoreEditedValue(int kind, void *target, double value);
// The text an item shows for a value: kind 0 the format with the value
// truncated towards zero, kind 1 the format with the value, kinds 2 and 4 the
// clock-time text, kind 3 the angle text.
void FormatEditedValue(int kind, const char *format, double value, char *out, size_t size);
