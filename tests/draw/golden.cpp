// Golden files: read, compare, regenerate, and keep the actual text of a failure.
#include "tests/draw/golden.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace plonta::test {

bool updateGoldens = false;

bool updatingGoldens() {
    const char* env = std::getenv("PLONTA_UPDATE_GOLDEN");
    return updateGoldens || (env != nullptr && *env != '\0' && std::string(env) != "0");
}

namespace {

bool writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

} // namespace

std::string compareWithGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path golden = std::filesystem::path(PLONTA_GOLDEN_DIR) / (name + ".log");
    if (updatingGoldens()) {
        return writeFile(golden, actual) ? "" : "cannot write " + golden.string();
    }
    std::ifstream in(golden, std::ios::binary);
    std::stringstream expected;
    expected << in.rdbuf();
    if (in && expected.str() == actual) return "";

    const std::filesystem::path written =
        std::filesystem::path(PLONTA_ACTUAL_DIR) / (name + ".log");
    writeFile(written, actual);
    std::istringstream want(expected.str());
    std::istringstream got(actual);
    std::string wantLine;
    std::string gotLine;
    int line = 0;
    while (true) {
        ++line;
        const bool moreWant = static_cast<bool>(std::getline(want, wantLine));
        const bool moreGot = static_cast<bool>(std::getline(got, gotLine));
        if (!moreWant && !moreGot) break;
        if (!moreWant) wantLine = "(end)";
        if (!moreGot) gotLine = "(end)";
        if (wantLine != gotLine) break;
    }
    return "frame log differs from " + golden.string() + " at line " + std::to_string(line) +
           ":\n  expected: " + wantLine + "\n  actual:   " + gotLine + "\nactual log written to " +
           written.string() + " (PLONTA_UPDATE_GOLDEN=1 regenerates the golden files)";
}

} // namespace plonta::test
