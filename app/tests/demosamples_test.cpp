// The demo installation's importer settings and sample logs, as the demo
// generator writes them, read back through the program's own format-file
// reader: two stored formats equal to the presets (the tagged one with its
// observer tag), the settings pointing at the delimited sample with its
// format selected, and the two samples scanned for unmatched designations.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/formatfile.h"
#include "core/userfolder.h"
#include "testutil/testutil.h"

#ifndef _WIN32
namespace {

TEST(DemoSamples, StoredFormatsAreThePresetsAndTheSettingsPointAtTheDelimitedLog) {
    std::string source = testutil::SourceDir();
    if (source.empty() || std::system("python3 -c 0 > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no source folder or Python";
    testutil::TempDir dir;
    std::string cmd = "mkdir -p " + dir.path() + "/user && python3 -c \"import sys; sys.path.insert(0, '" +
                      source + "/tools'); import make_demo; make_demo.step_sample_logs('" + dir.path() +
                      "', '')\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_TRUE(testutil::PathIsThere(dir.path() + "/logs/skymap-log.csv"));
    EXPECT_TRUE(testutil::PathIsThere(dir.path() + "/logs/deepsky-log.xml"));
    // The copy beside the samples is the user folder's file.
    bool ok = false;
    const std::string stored = testutil::ReadFileBytes(dir.path() + "/user/gleaner.cfg", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(stored.size(), 4u + 516u + 2u * 331515u);
    EXPECT_EQ(testutil::ReadFileBytes(dir.path() + "/logs/gleaner.cfg"), stored);

    std::string saved = GetUserDataFolder() ? GetUserDataFolder() : "";
    SetUserDataFolder((dir.path() + "/user").c_str());
    ASSERT_EQ(OpenFormatFile(), 1);
    std::string path = CurrentImportSettings().importPath;
    EXPECT_EQ(path.rfind("Z:\\", 0), 0u) << path;
    const std::string tail = "\\logs\\skymap-log.csv";
    ASSERT_GT(path.size(), tail.size());
    EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
    EXPECT_EQ(+CurrentImportSettings().selectedFormat, 0);

    // Format 0 equals the preset field for field (the fixed records are
    // left as the preset leaves them: zero in a fresh format).
    std::unique_ptr<ImportFormat> preset(new ImportFormat);
    std::memset(&CurrentImportFormat(), 0, sizeof(ImportFormat));
    LoadBuiltInCsvFormat();
    std::memcpy(preset.get(), &CurrentImportFormat(), sizeof(ImportFormat));
    ASSERT_EQ(ReadImportFormat(0), 1);
    EXPECT_EQ(std::memcmp(preset.get(), &CurrentImportFormat(), sizeof(ImportFormat)), 0);
    EXPECT_EQ(ValidateImportFormat(&CurrentImportFormat()), 1);

    // Format 1: the tagged preset with the observer read from "Observer".
    ASSERT_EQ(ReadImportFormat(1), 1);
    const ImportFormat &f = CurrentImportFormat();
    EXPECT_EQ(+f.kind, kFormatKindTagged);
    EXPECT_STREQ(f.name, "DeepSky");
    EXPECT_EQ(+f.dateLayout, 3);
    EXPECT_EQ(+f.siteFixed + f.observerFixed + f.instrumentFixed, 0);
    const struct {
        const char *field, *want;
    } tags[] = {{f.entryTag, "LOG"},
                {f.siteTag, "LocationObserved"},
                {f.observerTag, "Observer"},
                {f.instrumentTag, "EquipmentUsed"},
                {f.dateTag, "DateObserved"},
                {f.timeTag, "TimeObserved"},
                {f.targetTag, "ObjectId"},
                {f.conditionTags[0], "Transparency"},
                {f.conditionTags[1], "Seeing"},
                {f.descriptionTag, "ObservationText"},
                {f.extraTags[0], "OtherEquipment"},
                {f.extraTags[1], "ShortDescription"},
                {f.extraTags[2], "Rating"},
                {f.extraTags[3], ""},
                {f.extraTags[4], ""}};
    for (const auto &t : tags) EXPECT_STREQ(t.field, t.want);
    EXPECT_EQ(ValidateImportFormat(&CurrentImportFormat()), 1);
    SetUserDataFolder(saved.c_str());
}

}  // namespace
#endif
