// plonta-sim as a program: files it cannot read, its arguments, standard input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/script/script_outcome.h"
#include "tools/plonta-sim/sim_runner.h"

namespace plonta::test {
namespace {

Outcome runScript(const std::string& script) {
    return test::runScript<SimRunner>(script);
}

// Runs the real program; its exit status, standard output and standard error.
Outcome runProgram(const std::string& arguments, const std::string& input = "") {
    // Named after the test: CTest runs the tests of this program side by side.
    const std::string base = ::testing::TempDir() + "plonta_sim_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string inFile = base + ".in";
    const std::string outFile = base + ".out";
    const std::string errFile = base + ".err";
    std::ofstream(inFile) << input;
    const std::string command = std::string("'") + PLONTA_SIM_PATH + "' " + arguments + " <'" +
                                inFile + "' >'" + outFile + "' 2>'" + errFile + "'";
    const int raw = std::system(command.c_str());
    auto slurp = [](const std::string& path) {
        std::ifstream file(path);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(outFile), slurp(errFile)};
}

TEST(Program, MissingFileIsAClearError) {
    const Outcome run = runProgram("/nonexistent/plonta.sim");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("cannot read '/nonexistent/plonta.sim'"), std::string::npos) << run.err;
}

TEST(Program, DirectoryIsRefused) {
    const Outcome run = runProgram("'" + ::testing::TempDir() + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("directory"), std::string::npos) << run.err;
}

TEST(Program, AnswersHelpAndVersionAndRefusesOtherOptions) {
    const Outcome help = runProgram("--help");
    EXPECT_TRUE(help.status == 0 && help.out.starts_with("usage: plonta-sim "));
    EXPECT_EQ(runProgram("--version").out, "plonta-sim " PLONTA_VERSION "\n");
    for (const char* refused : {"--fast", "a.sim b.sim", "--lang fr a.sim", "--marks --lang"}) {
        const Outcome run = runProgram(refused);
        EXPECT_TRUE(run.status == 2 && run.err.starts_with("usage: plonta-sim")) << run.err;
    }
}

TEST(Program, ReadsAFileWithoutTrailingNewline) {
    const std::string script = ::testing::TempDir() + "plonta_no_newline.sim";
    std::ofstream(script) << "seed 4\ndump";
    const Outcome run = runProgram("'" + script + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, runScript("seed 4\ndump\n").out);
}

TEST(Program, ReadsStandardInputAndKeepsEarlierOutput) {
    const Outcome run = runProgram("", "dump\ndump\nbogus 1\ndump\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(lineCount(run.out), 2);
    EXPECT_EQ(run.err, "plonta-sim: line 3: unknown command 'bogus'\n");
}

} // namespace
} // namespace plonta::test
