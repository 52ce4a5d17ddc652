// The Linux program's file calls: recordings, and the data folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "frontend/system_files.h"
#include "shell/posix/posix_data_folder.h"
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

namespace plonta::test {
namespace {

// An unset, empty or relative XDG_DATA_HOME gives way to HOME's; without either, no folder.
TEST(PosixDataFolder, FollowsTheXdgRules) {
    const struct {
        const char* dataHome;
        const char* home;
        const char* folder;
    } cases[] = {{"/data", "/home/a", "/data/plonta"},
                 {nullptr, "/home/a", "/home/a/.local/share/plonta"},
                 {"", "/home/a", "/home/a/.local/share/plonta"},
                 {"relative", "/home/a", "/home/a/.local/share/plonta"},
                 {nullptr, nullptr, ""}};
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/";
    for (const auto& each : cases) {
        for (const auto& [name, value] :
             {std::pair{"XDG_DATA_HOME", each.dataHome}, std::pair{"HOME", each.home}})
            value != nullptr ? setenv(name, value, 1) : unsetenv(name);
        EXPECT_EQ(xdgDataFolder(), each.folder) << (each.dataHome ? each.dataHome : "unset");
    }
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", home.c_str(), 1);
}

TEST(PosixDataFolder, WritesWholeFilesAndRefusesAFileInTheFoldersPlace) {
    const std::filesystem::path root =
        std::filesystem::path(testing::TempDir()) / "plonta-data-folder";
    std::filesystem::remove_all(root);
    PosixDataFolder folder(root.string());
    std::string text;
    std::string error;
    std::vector<KeptFile> files;
    // Nothing is made before something is kept.
    EXPECT_TRUE(folder.readSettings(text, error) && folder.listGames(files, error));
    EXPECT_FALSE(std::filesystem::exists(root));
    ASSERT_TRUE(folder.writeGame("a.sim", "seed 1\n", error)) << error;
    ASSERT_TRUE(folder.writeSettings("mute=1\n", error) && folder.writeSettings("mute=0\n", error));
    EXPECT_TRUE(folder.readSettings(text, error));
    EXPECT_EQ(text, "mute=0\n");
    ASSERT_TRUE(folder.listGames(files, error));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].size, 7u);
    // Only the documented files: no temporary one is left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root), {}), 2);
    std::filesystem::remove_all(root);
    std::ofstream(root) << "a file where the folder goes";
    EXPECT_FALSE(folder.writeGame("b.sim", "seed 1\n", error));
    EXPECT_FALSE(folder.writeSettings("mute=1\n", error));
    EXPECT_FALSE(error.empty());
    std::filesystem::remove(root);
}

} // namespace
} // namespace plonta::test
