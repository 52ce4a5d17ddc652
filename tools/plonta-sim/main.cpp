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
    "usage: plonta-sim [--marks] [--lang de|en] [SCRIPT]\n"
    "Runs SCRIPT, or standard input when none is given: a plonta-sim script or a recording of\n"
    "plonta or plonta.exe. A script is at most 16 MiB.\n"
    "  --marks        shots show the shape in every tile that tells its colour\n"
    "  --lang de|en   shots show the texts in German (the default) or English\n"
    "  --help         show this and exit\n"
    "  --version      show the version and exit\n";

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
    bool marks = false;
    plonta::Language language = plonta::Language::German;
    int next = 1;
    for (; next < argc; ++next) {
        const std::string_view option = argv[next];
        if (option == "--marks") {
            marks = true;
        } else if (option == "--lang" && next + 1 < argc &&
                   plonta::languageOfCode(argv[next + 1])) {
            language = *plonta::languageOfCode(argv[++next]);
        } else {
            break;
        }
    }
    // A script whose name starts so is given as ./--name.
    if (argc - next > 1 || (next < argc && std::string_view(argv[next]).starts_with("--"))) {
        std::cerr << usage;
        return 2;
    }
    plonta::SimRunner runner(marks, language);
    if (next < argc) {
        // A directory opens as a stream on some systems and then reads as empty: refuse it.
        std::error_code ec;
        const char* path = argv[next];
        if (std::filesystem::is_directory(path, ec)) {
            std::cerr << "plonta-sim: cannot read '" << path << "': it is a directory\n";
            return 2;
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::cerr << "plonta-sim: cannot read '" << path << "': " << std::strerror(errno)
                      << '\n';
            return 2;
        }
        return runner.runScript(file, std::cout, std::cerr);
    }
    return runner.runScript(std::cin, std::cout, std::cerr);
}
