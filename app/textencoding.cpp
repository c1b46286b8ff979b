// UTF-8 to Windows-1252 for import files.
#include "app/textencoding.h"

namespace {

// Windows-1252 bytes 0x80..0x9F and the Unicode characters they stand for
// (0 where the code page leaves the byte undefined).
const unsigned kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

char CodePointToCp1252(unsigned long cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

size_t DecodeUtf8Sequence(const char *text, size_t size, unsigned long *codePoint) {
    if (size == 0) return 0;
    unsigned char lead = static_cast<unsigned char>(text[0]);
    size_t length;
    unsigned long cp;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (length > size) return 0;
    for (size_t i = 1; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    if (codePoint) *codePoint = cp;
    return length;
}

int IsUtf8File(FILE *file) {
    if (!file) return 0;
    long start = std::ftell(file);
    if (start < 0) return 0;
    bool wide = false, valid = true;
    // A sequence may straddle two reads: the unfinished tail is carried over.
    char buffer[4096 + 4];
    size_t carried = 0;
    for (;;) {
        size_t n = std::fread(buffer + carried, 1, 4096, file);
        size_t size = carried + n;
        size_t i = 0;
        while (i < size) {
            unsigned char c = static_cast<unsigned char>(buffer[i]);
            if (c < 0x80) {
                ++i;
                continue;
            }
            size_t length = DecodeUtf8Sequence(buffer + i, size - i, nullptr);
            if (length == 0) {
                // Possibly a sequence cut by the end of this read.
                if (n > 0 && size - i < 4) break;
                valid = false;
                break;
            }
            wide = true;
            i += length;
        }
        if (!valid) break;
        carried = size - i;
        for (size_t k = 0; k < carried; ++k) buffer[k] = buffer[i + k];
        if (n == 0) {
            if (carried > 0) valid = false;  // the file ends inside a sequence
            break;
        }
    }
    std::clearerr(file);
    std::fseek(file, start, SEEK_SET);
    return valid && wide ? 1 : 0;
}

void ConvertUtf8ToCp1252(std::string *text) {
    std::string out;
    out.reserve(text->size());
    for (size_t i = 0; i < text->size();) {
        unsigned long cp = 0;
        size_t length = DecodeUtf8Sequence(text->data() + i, text->size() - i, &cp);
        if (length == 0) {
            out.push_back((*text)[i++]);
            continue;
        }
        out.push_back(CodePointToCp1252(cp));
        i += length;
    }
    text->swap(out);
}
