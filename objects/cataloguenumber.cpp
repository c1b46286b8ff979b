// Catalogue number and suffix letter of a typed designation.
#include "objects/cataloguenumber.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

int ParseCatalogueNumber(const char *text, int *number, int *suffix) {
    if (!text || !text[0] || text[0] == '*' || !number || !suffix) return 0;
    std::string t(text);
    *suffix = 0;
    unsigned char last = static_cast<unsigned char>(t.back());
    if (std::isalpha(last)) {
        *suffix = std::toupper(last) - 'A' + 1;
        t.pop_back();
    }
    size_t at = 0;
    if (!std::isdigit(static_cast<unsigned char>(t[0]))) {
        size_t blank = t.find(' ');
        at = blank == std::string::npos ? 0 : blank + 1;
    }
    std::string rest = t.substr(at);
    if (rest.find("den Bergh-Hagen") != std::string::npos) rest = rest.size() > 16 ? rest.substr(16) : "";
    if (rest.find("den Bergh") != std::string::npos) rest = rest.size() > 10 ? rest.substr(10) : "";
    long value = 0;
    if (std::sscanf(rest.c_str(), "%ld", &value) != 1) return 0;
    *number = static_cast<int>(value);
    return 1;
}
