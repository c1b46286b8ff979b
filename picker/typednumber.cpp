// Typed numbers: the character check that comes before the sexagesimal
// reader, and the refusal message that names the field.
#include "picker/typednumber.h"

#include <cmath>

#include "astro/angleparse.h"
#include "core/textutil.h"

int TypedTextIsNumber(const char *text) {
    if (!text) return 0;
    bool digit = false;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
        const unsigned char c = *p;
        if (c >= '0' && c <= '9') {
            digit = true;
            continue;
        }
        switch (c) {
        case '+': case '-': case '.': case ' ': case '\t': case '\r': case '\n': case ':':
        case 'h': case 'H': case 'd': case 'D': case 'm': case 'M':
        case 0xB0: case '\'': case '"': case 0xA6:
            continue;
        default:
            return 0;
        }
    }
    return digit ? 1 : 0;
}

int ReadTypedNumber(const char *text, double *value) {
    if (!TypedTextIsNumber(text)) return 0;
    const double v = ParseSexagesimal(text);
    if (v == kNoRealValue || !std::isfinite(v)) return 0;
    if (value) *value = v;
    return 1;
}

std::string NoNumberMessage(const char *field, const char *text) {
    return std::string("The ") + (field ? field : "") + " field holds no number: \"" + (text ? text : "") + "\".";
}
