// Tests of the files held in memory: a file is read once and kept while
// unchanged, a file that is absent is remembered as absent, and a change, an
// appearance or a removal is seen within a second (at once with a new
// generation).
#include "core/fileimage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/fsys.h"
#include "testutil/testutil.h"

namespace {

// Moves a file's last-write time by some seconds, so that a change is seen
// whatever the file system's time resolution.
void Touch(const std::string &path, int seconds) {
    FileTimeValue t;
    ASSERT_TRUE(FsGetWriteTime(path, &t));
    uint64_t ticks = ((static_cast<uint64_t>(t.high) << 32) | t.low) + seconds * 10000000ULL;
    t.low = static_cast<uint32_t>(ticks);
    t.high = static_cast<uint32_t>(ticks >> 32);
    ASSERT_TRUE(FsSetWriteTime(path, t));
}

// Asks until ready(answer) holds or ten seconds passed (a change is seen
// within one); the last answer.
template <typename Ask, typename Ready>
auto AskUntil(Ask ask, Ready ready) -> decltype(ask()) {
    auto answer = ask();
    const auto start = std::chrono::steady_clock::now();
    while (!ready(answer) && std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        answer = ask();
    }
    return answer;
}

std::string Text(const std::shared_ptr<const FileImage> &image) {
    return image ? std::string(image->bytes.begin(), image->bytes.end()) : std::string("(none)");
}

TEST(FileImage, AbsentAppearsChangesAndGoes) {
    testutil::TempDir dir;
    const std::string path = dir.file("held.bin");
    EXPECT_EQ(HeldFileImage(path, 1), nullptr);
    EXPECT_EQ(HeldFileImage("", 1), nullptr);

    // A file that appears is read within a second.
    ASSERT_TRUE(testutil::WriteFileBytes(path, "first"));
    auto first = AskUntil([&] { return HeldFileImage(path, 1); }, [](const auto &i) { return i != nullptr; });
    EXPECT_EQ(Text(first), "first");
    EXPECT_EQ(HeldFileImage(path, 1), first);  // kept, not read again

    // A changed file: a new image within a second.
    ASSERT_TRUE(testutil::WriteFileBytes(path, "second"));
    Touch(path, 5);
    auto second = AskUntil([&] { return HeldFileImage(path, 1); }, [&](const auto &i) { return i != first; });
    EXPECT_EQ(Text(second), "second");

    // A removed file is forgotten at once with a new generation.
    ASSERT_TRUE(FsRemoveFile(path));
    EXPECT_EQ(HeldFileImage(path, 2), nullptr);
    EXPECT_EQ(HeldFileImage(path, 2), nullptr);
}

}  // namespace
