// Shared helpers of the user-store tests: a scratch user data folder with the
// ephemeris tables loaded (element sets compute their coarse tracks and
// places), and element lines laid out field by field at their columns.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/userfolder.h"
#include "ephem/tests/ephemfixture.h"
#include "testutil/testutil.h"

namespace mbtest {

class UserStore : public ephemtest::GeneratedTables {
protected:
    void SetUp() override {
        ephemtest::GeneratedTables::SetUp();
        if (IsSkipped()) return;
        SetUserDataFolder(dir_.path().c_str());
    }
    void TearDown() override {
        SetUserDataFolder("");
        ephemtest::GeneratedTables::TearDown();
    }
    std::string file(const std::string &name) const { return dir_.path() + "/" + name; }
    std::string bytes(const std::string &name) const { return testutil::ReadFileBytes(file(name)); }
    testutil::TempDir dir_;
};

// A line of blanks with fields put at their columns (from 0).
class FixedLine {
public:
    explicit FixedLine(size_t width = 200) : text_(width, ' ') {}
    FixedLine &at(size_t column, const std::string &field) {
        if (text_.size() < column + field.size()) text_.resize(column + field.size(), ' ');
        text_.replace(column, field.size(), field);
        return *this;
    }
    std::string str() const {
        std::string t = text_;
        while (!t.empty() && t.back() == ' ') t.pop_back();
        return t;
    }

private:
    std::string text_;
};

inline int32_t I32At(const std::string &bytes, size_t offset) {
    int32_t v = 0;
    if (bytes.size() >= offset + 4) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

}  // namespace mbtest
