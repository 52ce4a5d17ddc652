// Words to and from the user of a program that has no console of its own: its command line,
// the text asked for, and what went wrong.
#pragma once

#include <string>
#include <vector>

namespace plonta {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> commandLineArguments();

// Text the user asked for (usage, version): to standard output when it leads somewhere, else
// to the console the program was started from, else in a message box.
void showOutput(const std::string& text);
// Something went wrong: a message box, and standard error too when it leads somewhere.
void tellUser(const std::string& text);

} // namespace plonta
