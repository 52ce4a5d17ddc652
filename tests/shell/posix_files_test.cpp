// The Linux program's file calls for recordings.
#include "frontend/system_files.h"
#include "tests/frontend/launch_files_cases.h"

namespace plonta::test {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(Posix, LaunchFilesTest, SystemFiles);

TEST(PosixFiles, AFullDiskFailsTheWriteWithTheSystemsReason) {
    SystemFiles files;
    std::string error;
    auto sink = files.openForRecording("/dev/full", error);
    ASSERT_NE(sink, nullptr) << error;
    EXPECT_FALSE(sink->replaceFrom(0, "seed 1\n", error));
    EXPECT_EQ(error, "No space left on device");
}

} // namespace
} // namespace plonta::test
