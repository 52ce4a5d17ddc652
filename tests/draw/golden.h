// Comparing a text with its stored golden copy; PLONTA_UPDATE_GOLDEN=1 or --update rewrites it.
#pragma once

#include <string>

namespace plonta::test {

// Set by --update on the test program's command line.
extern bool updateGoldens;
// The golden files are to be rewritten: --update, or PLONTA_UPDATE_GOLDEN set and not 0.
bool updatingGoldens();

// A failure message, or empty when the text matches golden/NAME.log. On a mismatch the
// actual text is written beside the test program, under actual/NAME.log.
std::string compareWithGolden(const std::string& name, const std::string& actual);

} // namespace plonta::test
