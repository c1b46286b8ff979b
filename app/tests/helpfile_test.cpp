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

TEST(HelpFile, EveryTopicHasAPage) {
    std::string src = testutil::SourceDir();
    ASSERT_FALSE(src.empty()) << "GLEANER_SOURCE_DIR is not set";
    bool ok = false;
    Project p = ReadProject(testutil::ReadFileBytes(src + "/resources/help/gleaner.hhp", &ok));
    ASSERT_TRUE(ok);
    // The help project maps each topic under the name the program uses for it.
#define TOPIC(name) std::make_pair(name, #name)
    for (const auto &topic : {TOPIC(IDH_READ_FIRST), TOPIC(IDH_STEP1), TOPIC(IDH_STEP2), TOPIC(IDH_STEP3),
                              TOPIC(IDH_STEP4), TOPIC(IDH_FORMATS), TOPIC(IDH_PLACES),
                              TOPIC(IDH_SITE_COORDINATES), TOPIC(IDH_HORIZON),
                              TOPIC(IDH_HORIZON_INSTRUCTIONS)}) {
#undef TOPIC
        const int id = topic.first;
        ASSERT_TRUE(p.ids.count(id)) << "topic " << id << " is not mapped";
        EXPECT_EQ(p.ids[id], topic.second) << "topic " << id;
        const std::string &page = p.alias[p.ids[id]];
        EXPECT_FALSE(page.empty()) << "topic " << id << " has no page";
        EXPECT_TRUE(p.files.count(page)) << page << " is not compiled into the help file";
        EXPECT_TRUE(testutil::PathIsThere(src + "/resources/help/" + page)) << page;
    }
}

TEST(HelpFile, BuiltFileHoldsThePagesAndTheMap) {
    std::string chm = testutil::BuildDir() + "/Gleaner.chm";
    if (!testutil::PathIsThere(chm)) GTEST_SKIP() << "no help compiler on this machine";
    std::string bytes = testutil::ReadFileBytes(chm);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), "ITSF");
    for (const char *name : {"/readfirst.html", "/step1.html", "/step2.html", "/step3.html",
                             "/step4.html", "/formats.html", "/places.html", "/coordinates.html", "/horizon.html",
                             "/horizonscope.html", "#IVB",
                             "#STRINGS"})
        EXPECT_NE(bytes.find(name), std::string::npos) << name;
}

}  // namespace
