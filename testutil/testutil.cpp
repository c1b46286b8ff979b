// Scratch folders and whole-file helpers for the unit tests.
#include "testutil/testutil.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace testutil {

namespace {
std::string Slashes(std::string s) {
    for (char &c : s)
        if (c == '\\') c = '/';
    return s;
}
}  // namespace

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) base = fs::current_path();
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        fs::path p = base / ("gleaner-test-" + std::to_string(stamp % 100000000) + "-" +
                             std::to_string(counter++));
        if (fs::create_directory(p, ec)) {
            path_ = Slashes(p.string());
            return;
        }
    }
    std::fprintf(stderr, "TempDir: cannot make a scratch folder under %s\n",
                 base.string().c_str());
    std::abort();
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only files left by a test would stop the removal on Windows.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string &name) const { return path_ + "/" + name; }

bool WriteFileBytes(const std::string &path, const std::string &bytes) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

std::string ReadFileBytes(const std::string &path, bool *ok) {
    std::string out;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (ok) *ok = false;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    if (ok) *ok = true;
    return out;
}

bool PathIsThere(const std::string &path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

std::vector<std::string> TemporariesBeside(const std::string &path) {
    std::vector<std::string> found;
    fs::path p(path);
    const std::string stem = p.filename().string() + ".";
    std::error_code ec;
    fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() > stem.size() + 4 && name.compare(0, stem.size(), stem) == 0 &&
            name.compare(name.size() - 4, 4, ".tmp") == 0)
            found.push_back(name);
    }
    return found;
}

namespace {
// CTest hands Unix paths to programs that Wine runs; there the root of the
// Unix file system is drive Z:.
std::string FromEnvironment(const char *name) {
    const char *s = std::getenv(name);
    if (!s) return std::string();
    std::string p = Slashes(s);
#ifdef _WIN32
    if (!p.empty() && p[0] == '/') p = "Z:" + p;
#endif
    return p;
}
}  // namespace

std::string SourceDir() { return FromEnvironment("GLEANER_SOURCE_DIR"); }
std::string BuildDir() { return FromEnvironment("GLEANER_BUILD_DIR"); }

}  // namespace testutil
