// The platforms' file calls for recordings, one set of cases for each: names in any script,
// the system's refusals, and a record file that keeps what it held until play starts.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "frontend/launch.h"

namespace plonta::test {

template <typename Files> class LaunchFilesTest : public testing::Test {
  protected:
    void SetUp() override {
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = std::filesystem::path(testing::TempDir()) / ("plonta-files-" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // A name with letters beyond ASCII and a space, as UTF-8, the programs' own encoding.
    std::filesystem::path path(const char8_t* name) const { return dir_ / name; }
    static std::string utf8(const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }
    static void put(const std::filesystem::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string contents(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    Files files;
    std::filesystem::path dir_;
};

TYPED_TEST_SUITE_P(LaunchFilesTest);

TYPED_TEST_P(LaunchFilesTest, ReadsAFileOfAnyNameUpToOneByteOverTheLimit) {
    const auto file = this->path(u8"Spiel \u00e4\u00f6\u00fc \u00df.sim");
    this->put(file, "seed 4\nspace\n");
    std::string text;
    std::string error;
    ASSERT_TRUE(this->files.read(this->utf8(file), 100, text, error)) << error;
    EXPECT_EQ(text, "seed 4\nspace\n");
    ASSERT_TRUE(this->files.read(this->utf8(file), 3, text, error)) << error;
    EXPECT_EQ(text, "seed");
}

TYPED_TEST_P(LaunchFilesTest, MissingFilesAndDirectoriesAreRefusedWithAReason) {
    std::string text;
    std::string error;
    EXPECT_FALSE(this->files.read(this->utf8(this->path(u8"none.sim")), 100, text, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(this->files.read(this->utf8(this->dir_), 100, text, error));
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
    error.clear();
    EXPECT_EQ(this->files.openForRecording(this->utf8(this->dir_), error), nullptr);
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
    error.clear();
    EXPECT_EQ(this->files.openForRecording(this->utf8(this->path(u8"no/such/dir.sim")), error),
              nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(this->path(u8"no")));
}

TYPED_TEST_P(LaunchFilesTest, ARecordFileKeepsItsGameUntilTheFirstWriteThenRewritesInPlace) {
    const auto file = this->path(u8"R\u00fcckblick.sim");
    this->put(file, "# an older game that is longer than the new one\nseed 1\n");
    std::string error;
    auto sink = this->files.openForRecording(this->utf8(file), error);
    ASSERT_NE(sink, nullptr) << error;
    EXPECT_EQ(this->contents(file), "# an older game that is longer than the new one\nseed 1\n");
    ASSERT_TRUE(sink->replaceFrom(0, "seed 2\n", error)) << error;
    EXPECT_EQ(this->contents(file), "seed 2\n");
    ASSERT_TRUE(sink->replaceFrom(7, "tick 9\n", error)) << error;
    ASSERT_TRUE(sink->replaceFrom(7, "tick 10\n", error)) << error;
    EXPECT_EQ(this->contents(file), "seed 2\ntick 10\n");
    sink.reset();
    auto fresh = this->files.openForRecording(this->utf8(this->path(u8"new.sim")), error);
    ASSERT_NE(fresh, nullptr) << error;
    EXPECT_TRUE(std::filesystem::exists(this->path(u8"new.sim")));
}

REGISTER_TYPED_TEST_SUITE_P(LaunchFilesTest, ReadsAFileOfAnyNameUpToOneByteOverTheLimit,
                            MissingFilesAndDirectoriesAreRefusedWithAReason,
                            ARecordFileKeepsItsGameUntilTheFirstWriteThenRewritesInPlace);

} // namespace plonta::test
