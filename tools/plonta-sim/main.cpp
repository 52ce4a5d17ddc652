// plonta-sim: runs a command script against the real rules, headless.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>

#include "tools/plonta-sim/sim_runner.h"

namespace {

constexpr char usage[] =
    "usage: plonta-sim [SCRIPT]\n"
    "Runs SCRIPT, or standard input when none is given: a plonta-sim script or a recording of\n"
    "plonta or plonta.exe. A script is at most 16 MiB.\n"
    "  --help      show this and exit\n"
    "  --version   show the version and exit\n";

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (argc == 2 && (first == "--help" || first == "-h")) {
        std::cout << usage;
        return 0;
    }
    if (argc == 2 && first == "--version") {
        std::cout << "plonta-sim " PLONTA_VERSION "\n";
        return 0;
    }
    // A script whose name starts so is given as ./--name.
    if (argc > 2 || first.starts_with("--")) {
        std::cerr << usage;
        return 2;
    }
    plonta::SimRunner runner;
    if (argc == 2) {
        // A directory opens as a stream on some systems and then reads as empty: refuse it.
        std::error_code ec;
        if (std::filesystem::is_directory(argv[1], ec)) {
            std::cerr << "plonta-sim: cannot read '" << argv[1] << "': it is a directory\n";
            return 2;
        }
        std::ifstream file(argv[1], std::ios::binary);
        if (!file) {
            std::cerr << "plonta-sim: cannot read '" << argv[1] << "': " << std::strerror(errno)
                      << '\n';
            return 2;
        }
        return runner.runScript(file, std::cout, std::cerr);
    }
    return runner.runScript(std::cin, std::cout, std::cerr);
}
