// Running a whole script in a test: its exit status and what it printed.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>

#include "script/script_runner.h"

namespace plonta::test {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Through a fresh runner of the given kind (the script language's own, or the driver's with
// frames).
template <typename Runner = ScriptRunner> Outcome runScript(const std::string& script) {
    Runner runner;
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = runner.runScript(in, out, err);
    return {status, out.str(), err.str()};
}

inline int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace plonta::test
