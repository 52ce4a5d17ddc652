// plonta-sim: runs a command script against the real rules, headless.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tools/plonta-sim/sim_runner.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc > 2) {
        std::cerr << "usage: plonta-sim [SCRIPT]\n"
                     "Runs SCRIPT, or standard input when none is given.\n";
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
