// Path and file rules of the per-object stores (see storepaths.h).
#include "userdata/storepaths.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/fileutil.h"
#include "core/safefile.h"

namespace {

std::string Comparable(const std::string &path) {
    std::error_code error;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), error);
    std::string s = error ? path : p.lexically_normal().generic_string();
    for (char &c : s) {
        if (c == '\\') c = '/';
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool Within(const std::string &inner, const std::string &outer) {
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           inner[outer.size()] == '/';
}

}  // namespace

bool IsStoreFileNamed(const std::string &name, const char *suffix) {
    std::string s = suffix ? suffix : "";
    if (name.size() < s.size()) return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - s.size() + i])) !=
            std::tolower(static_cast<unsigned char>(s[i])))
            return false;
    return true;
}

bool PathsOverlap(const std::string &a, const std::string &b) {
    std::string x = Comparable(a), y = Comparable(b);
    return x == y || Within(x, y) || Within(y, x);
}

uint64_t FileTimeTicks(const FileTimeValue &t) {
    return (static_cast<uint64_t>(t.high) << 32) | t.low;
}

std::string FileNameOfPath(const std::string &path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LowerCased(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool SameFileBytes(const std::string &a, const std::string &b) {
    std::string x, y;
    return ReadWholeFile(a.c_str(), &x) && ReadWholeFile(b.c_str(), &y) && x == y;
}
