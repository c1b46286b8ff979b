// The help file: every topic id the program opens is mapped to a page that
// the project holds, and the built "Gleaner.chm" carries those pages and its
// context map.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "resources/helptopics.h"
#include "testutil/testutil.h"

namespace {

struct Project {
    std::map<std::string, std::string> alias;  // symbol -> page
    std::map<int, std::string> ids;            // id -> symbol
    std::set<std::string> files;
};

Project ReadProject(const std::string &text) {
    Project p;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '[') {
            section = line;
            continue;
        }
        if (section == "[FILES]") p.files.insert(line);
        if (section == "[ALIAS]") {
            size_t eq = line.find('=');
            if (eq != std::string::npos) p.alias[line.substr(0, eq)] = line.substr(eq + 1);
        }
        if (section == "[MAP]") {
            std::istringstream w(line);
            std::string define, symbol;
            int id = 0;
            if (w >> define >> symbol >> id && define == "#define") p.ids[id] = symbol;
        }
    }
    return p;
}

// Every topic id the program names (the header shared by the dialogs and the
// resource scripts) from the header's own text, so that a topic added there
// without a page fails here.
std::map<std::string, int> TopicsOfTheHeader(const std::string &text) {
    std::map<std::string, int> topics;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream w(line);
        std::string define, symbol;
        int id = 0;
        if (w >> define >> symbol >> id && define == "#define" && symbol.rfind("IDH_", 0) == 0) topics[symbol] = id;
    }
    return topics;
}

TEST(HelpFile, EveryTopicHasAPage) {
    std::string src = testutil::SourceDir();
    ASSERT_FALSE(src.empty()) << "GLEANER_SOURCE_DIR is not set";
    bool ok = false;
    Project p = ReadProject(testutil::ReadFileBytes(src + "/resources/help/gleaner.hhp", &ok));
    ASSERT_TRUE(ok);
    std::string contents = testutil::ReadFileBytes(src + "/resources/help/gleaner.hhc", &ok);
    ASSERT_TRUE(ok);
    std::map<std::string, int> topics = TopicsOfTheHeader(testutil::ReadFileBytes(src + "/resources/helptopics.h", &ok));
    ASSERT_TRUE(ok);
    // The header's numbers are the ones the code compiles with.
    EXPECT_EQ(topics["IDH_READ_FIRST"], IDH_READ_FIRST);
    EXPECT_EQ(topics["IDH_TELESCOPE_REPORT"], IDH_TELESCOPE_REPORT);
    EXPECT_EQ(topics["IDH_REQUESTOR"], IDH_REQUESTOR);
    EXPECT_GE(topics.size(), 41u);
    for (const auto &topic : topics) {
        const int id = topic.second;
        ASSERT_TRUE(p.ids.count(id)) << topic.first << " (" << id << ") is not mapped";
        EXPECT_EQ(p.ids[id], topic.first) << "topic " << id;
        const std::string &page = p.alias[p.ids[id]];
        ASSERT_FALSE(page.empty()) << topic.first << " has no page";
        EXPECT_TRUE(p.files.count(page)) << page << " is not compiled into the help file";
        EXPECT_NE(contents.find("\"" + page + "\""), std::string::npos) << page << " is not in the contents";
        std::string html = testutil::ReadFileBytes(src + "/resources/help/" + page, &ok);
        EXPECT_TRUE(ok) << page;
        // A page says something: a title and a paragraph at least.
        EXPECT_NE(html.find("<title>"), std::string::npos) << page;
        EXPECT_GT(html.size(), 200u) << page;
    }
}

TEST(HelpFile, BuiltFileHoldsThePagesAndTheMap) {
    std::string chm = testutil::BuildDir() + "/Gleaner.chm";
    if (!testutil::PathIsThere(chm)) GTEST_SKIP() << "no help compiler on this machine";
    std::string bytes = testutil::ReadFileBytes(chm);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), "ITSF");
    bool ok = false;
    Project p = ReadProject(testutil::ReadFileBytes(testutil::SourceDir() + "/resources/help/gleaner.hhp", &ok));
    ASSERT_TRUE(ok);
    EXPECT_GE(p.files.size(), 41u);
    for (const std::string &page : p.files) EXPECT_NE(bytes.find("/" + page), std::string::npos) << page;
    for (const char *name : {"#IVB", "#STRINGS"}) EXPECT_NE(bytes.find(name), std::string::npos) << name;
}

}  // namespace
