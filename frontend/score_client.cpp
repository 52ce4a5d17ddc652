// The score server's address, names, the request's path and the answer's few fields.
#include "frontend/score_client.h"

#include <charconv>
#include <cstddef>

namespace plonta {

namespace {

constexpr std::size_t maxNameCharacters = 24;

std::string_view trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

// The code points of UTF-8 text, each at its first byte; false for bytes that are no UTF-8.
template <typename Each> bool eachCodePoint(std::string_view text, Each each) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80       ? 1
                                   : lead >> 5 == 6  ? 2
                                   : lead >> 4 == 14 ? 3
                                   : lead >> 3 == 30 ? 4
                                                     : 0;
        if (length == 0 || i + length > text.size()) return false;
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next >> 6 != 2) return false;
            point = point << 6 | (next & 0x3F);
        }
        // Overlong forms and surrogates are no characters.
        constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < least[length] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000))
            return false;
        each(point, i, length);
        i += length;
    }
    return true;
}

bool printable(char32_t point) {
    return point >= 0x20 && point != 0x7F && !(point >= 0x80 && point < 0xA0);
}

// Where the value of "key" starts in a JSON object's text, after the colon and spaces.
std::size_t valueOf(std::string_view json, std::string_view key) {
    const std::string quoted = "\"" + std::string(key) + "\"";
    std::size_t at = json.find(quoted);
    if (at == std::string_view::npos) return at;
    at += quoted.size();
    while (at < json.size() && (json[at] == ' ' || json[at] == ':' || json[at] == '\n')) ++at;
    return at;
}

// A JSON string's text from its opening quote; escapes of the ASCII range kept as what they
// stand for, others as '?'.
std::optional<std::string> jsonString(std::string_view json, std::size_t at) {
    if (at >= json.size() || json[at] != '"') return std::nullopt;
    std::string text;
    for (++at; at < json.size() && json[at] != '"'; ++at) {
        if (json[at] != '\\') {
            text += json[at];
            continue;
        }
        if (++at >= json.size()) return std::nullopt;
        const char escaped = json[at];
        if (escaped == 'u') {
            unsigned code = 0;
            const auto [end, ec] = std::from_chars(
                json.data() + at + 1, json.data() + std::min(at + 5, json.size()), code, 16);
            if (ec != std::errc{} || end != json.data() + at + 5) return std::nullopt;
            text += code >= 0x20 && code < 0x7F ? static_cast<char>(code) : '?';
            at += 4;
        } else {
            text += escaped == 'n' || escaped == 't' || escaped == 'r' ? ' ' : escaped;
        }
    }
    if (at >= json.size()) return std::nullopt;
    return text;
}

} // namespace

bool parseServerUrl(std::string_view url, ServerAddress& server, std::string& error) {
    error = "--server takes an address such as http://127.0.0.1:8090, not '" +
            std::string(url.substr(0, 60)) + "'";
    constexpr std::string_view scheme = "http://";
    if (url.substr(0, scheme.size()) != scheme) {
        if (url.substr(0, 8) == "https://") error = "--server takes plain http:// addresses only";
        return false;
    }
    std::string_view rest = url.substr(scheme.size());
    const std::size_t pathAt = std::min(rest.find('/'), rest.size());
    std::string_view hostPort = rest.substr(0, pathAt);
    std::string_view prefix = rest.substr(pathAt);
    if (prefix.find_first_of("?#") != std::string_view::npos) return false;
    while (!prefix.empty() && prefix.back() == '/') prefix.remove_suffix(1);
    ServerAddress parsed;
    if (const std::size_t colon = hostPort.rfind(':'); colon != std::string_view::npos) {
        const std::string_view port = hostPort.substr(colon + 1);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (ec != std::errc{} || end != port.data() + port.size() || value < 1 || value > 65535)
            return false;
        parsed.port = static_cast<std::uint16_t>(value);
        hostPort = hostPort.substr(0, colon);
    }
    if (hostPort.empty() || hostPort.find_first_of("@[] ") != std::string_view::npos) return false;
    parsed.host = hostPort;
    parsed.prefix = prefix;
    server = std::move(parsed);
    error.clear();
    return true;
}

std::optional<std::string> playerName(std::string_view text) {
    text = trimmed(text);
    std::size_t count = 0;
    bool allPrintable = true;
    const bool utf8 = eachCodePoint(text, [&](char32_t point, std::size_t, std::size_t) {
        ++count;
        allPrintable = allPrintable && printable(point);
    });
    if (!utf8 || !allPrintable || count < 1 || count > maxNameCharacters) return std::nullopt;
    return std::string(text);
}

std::string defaultPlayerName(std::string_view login) {
    std::string name;
    std::size_t count = 0;
    const bool utf8 =
        eachCodePoint(trimmed(login), [&](char32_t point, std::size_t at, std::size_t length) {
            if (count < maxNameCharacters && printable(point)) {
                name += trimmed(login).substr(at, length);
                ++count;
            }
        });
    const std::optional<std::string> made = utf8 ? playerName(name) : std::nullopt;
    return made.value_or("Plonta");
}

std::string gamesPath(const ServerAddress& server, std::string_view name) {
    std::string path = server.prefix + "/api/games?name=";
    constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            path += c;
        } else {
            path += '%';
            path += hex[byte >> 4];
            path += hex[byte & 15];
        }
    }
    return path;
}

SendOutcome readAnswer(const HttpAnswer& answer) {
    if (answer.status == 0) return {SendOutcome::Kind::NoAnswer, 0, answer.error};
    const std::string_view body = answer.body;
    if (answer.status == 200 || answer.status == 201) {
        const std::size_t at = valueOf(body, "rank");
        int rank = 0;
        if (at < body.size()) {
            const auto [end, ec] =
                std::from_chars(body.data() + at, body.data() + body.size(), rank);
            if (ec == std::errc{} && rank > 0) return {SendOutcome::Kind::Sent, rank, {}};
        }
        return {SendOutcome::Kind::Refused, 0, "no rank in the answer"};
    }
    std::optional<std::string> error = jsonString(body, valueOf(body, "error"));
    if (!error || error->empty()) error = "HTTP " + std::to_string(answer.status);
    return {SendOutcome::Kind::Refused, 0, *error};
}

std::string screenReason(std::string_view utf8) {
    std::string shown;
    std::size_t count = 0;
    const bool read = eachCodePoint(utf8, [&](char32_t point, std::size_t, std::size_t) {
        if (++count > BestGamesPage::maxReason) return;
        shown += point >= 0x20 && point < 0x7F    ? static_cast<char>(point)
                 : point >= 0xA0 && point < 0x100 ? static_cast<char>(point)
                                                  : '?';
    });
    if (!read) return "?";
    if (count > BestGamesPage::maxReason) shown.replace(shown.size() - 3, 3, "...");
    return shown;
}

} // namespace plonta
