// One small parser for both programs' options.
#include "frontend/command_line.h"

#include <charconv>

#include "frontend/score_client.h"
#include "script/script_line.h"

namespace plonta {

namespace {

bool parseCount(std::string_view option, std::string_view text, std::uint32_t max,
                std::uint32_t& value, std::string& error) {
    std::uint32_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (ec != std::errc{} || ptr != end || text.empty() || parsed < 1 || parsed > max) {
        error = std::string(option) + " takes a whole number from 1 to " + std::to_string(max) +
                ", not '" + std::string(text.substr(0, 40)) + "'";
        return false;
    }
    value = parsed;
    return true;
}

} // namespace

bool parseCommandLine(const std::vector<std::string_view>& arguments, const OptionSet& offered,
                      CommandLine& parsed, std::string& error) {
    parsed = CommandLine{};
    bool speedGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view option = arguments[i];
        if (option == "--help" || option == "-h") {
            parsed.help = true;
            continue;
        }
        if (option == "--version") {
            parsed.version = true;
            continue;
        }
        if (option == "--mute") {
            parsed.mute = true;
            continue;
        }
        if (option == "--marks") {
            parsed.marks = true;
            continue;
        }
        if (option == "--scores") {
            parsed.scores = true;
            continue;
        }
        const bool takesValue = option == "--record" || option == "--replay" ||
                                option == "--speed" || option == "--lang" || option == "--server" ||
                                option == "--name" || (offered.scale && option == "--scale");
        if (!takesValue) {
            error = "unknown option '" + std::string(option.substr(0, 40)) + "'";
            return false;
        }
        // "--record --replay x" is a forgotten file name, not a file called "--replay"; a file
        // whose name starts so can still be given as ./--name.
        if (i + 1 >= arguments.size() || arguments[i + 1].empty() ||
            arguments[i + 1].substr(0, 2) == "--") {
            error = std::string(option) + " needs a value";
            return false;
        }
        const std::string_view value = arguments[++i];
        if (option == "--record") {
            parsed.record = value;
        } else if (option == "--replay") {
            parsed.replay = value;
        } else if (option == "--speed") {
            if (!parseCount(option, value, maxReplaySpeed, parsed.speed, error)) return false;
            speedGiven = true;
        } else if (option == "--server") {
            ServerAddress server;
            if (!parseServerUrl(value, server, error)) return false;
            parsed.server = value;
        } else if (option == "--name") {
            const std::optional<std::string> name = playerName(value);
            if (!name) {
                error = "--name takes 1 to 24 printable characters, not '" +
                        std::string(value.substr(0, 40)) + "'";
                return false;
            }
            parsed.name = *name;
        } else if (option == "--lang") {
            parsed.language = languageOfCode(value);
            if (!parsed.language) {
                error = "--lang takes de or en, not '" + std::string(value.substr(0, 40)) + "'";
                return false;
            }
        } else {
            const std::optional<std::int64_t> scale = parseThousandths(value);
            if (scale && *scale >= FrameScale::unit && *scale <= maxScale * FrameScale::unit)
                parsed.scale = FrameScale::ofThousandths(*scale);
            if (!parsed.scale) {
                error = std::string(option) + " takes a number from 1 to " +
                        std::to_string(maxScale) + " (such as 2 or 1.5), not '" +
                        std::string(value.substr(0, 40)) + "'";
                return false;
            }
        }
    }
    if (!parsed.name.empty() && parsed.server.empty() && !parsed.help && !parsed.version) {
        error = "--name goes with --server";
        return false;
    }
    if (speedGiven && parsed.replay.empty() && !parsed.help && !parsed.version) {
        error = "--speed goes with --replay";
        return false;
    }
    return true;
}

std::string usageText(std::string_view program, const OptionSet& offered) {
    std::string text = "usage: " + std::string(program) +
                       " [--record FILE] [--replay FILE [--speed N]]" +
                       (offered.scale ? " [--scale N]" : "") +
                       " [--mute] [--marks] [--lang de|en] [--server URL [--name NAME]]\n";
    text += "  --record FILE   write the game as it is played to FILE, a plonta-sim script\n";
    text += "  --replay FILE   play the recording in FILE, then go on playing from its end\n";
    text += "  --speed N       replay N times as fast (1 to 16)\n";
    if (offered.scale)
        text += "  --scale N       draw everything N times as large (1 to 4, such as 2 or 1.5; "
                "default: to suit the screen)\n";
    text += "  --mute          start with the sound off (M turns it on and off)\n";
    text += "  --marks         start with a shape in every tile for its colour (C turns them on "
            "and off)\n";
    text += "  --lang de|en    the texts in German or English for this run (L switches them)\n";
    text += "  --server URL    on the best games (H), S sends the chosen game to this score "
            "server (http://HOST:PORT)\n";
    text += "  --name NAME     the name to send it under (default: the login name)\n";
    text += "  --scores        show the best games, a row a line with its recording, and exit\n";
    text += "  --help          show this and exit\n";
    text += "  --version       show the version and exit\n";
    return text;
}

std::string versionText(std::string_view program) {
    return std::string(program) + " " PLONTA_VERSION "\n";
}

} // namespace plonta
