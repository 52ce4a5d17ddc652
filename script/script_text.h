// A script's text cut into lines the way editors write them: LF, CRLF or a lone CR (old Mac
// files) ends a line, and a UTF-8 byte-order mark in front (Notepad's "UTF-8 with BOM") is no
// part of the first line. One reading for plonta-sim's scripts and the programs' recordings.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace plonta {

// More is refused: hours of play take a few hundred kilobytes.
inline constexpr std::size_t maxScriptBytes = std::size_t{16} << 20;
// UTF-8's byte-order mark, which some editors put in front of a file.
inline constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

class ScriptLines {
  public:
    explicit ScriptLines(std::string_view text);
    // The next line without its end; false after the last.
    bool next(std::string_view& line);
    // Whether the line next() gave last had a line end after it: a last line without one may
    // have been cut short.
    bool lastLineEnded() const { return ended_; }

  private:
    std::string_view text_;
    std::size_t next_ = 0;
    bool ended_ = true;
};

// The same from a stream, a line at a time, so output can follow each line as it comes.
class StreamLines {
  public:
    explicit StreamLines(std::istream& in) : in_(in) {}
    // The next line without its end; false after the last, or once the input went past
    // maxScriptBytes (then tooLarge()).
    bool next(std::string& line);
    bool tooLarge() const { return read_ > maxScriptBytes; }

  private:
    bool take(std::string& line);

    std::istream& in_;
    std::size_t read_ = 0;
};

} // namespace plonta
