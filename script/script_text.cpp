// Cutting script text into lines.
#include "script/script_text.h"

namespace plonta {

ScriptLines::ScriptLines(std::string_view text) : text_(text) {
    if (text_.starts_with(byteOrderMark)) next_ = byteOrderMark.size();
}

bool ScriptLines::next(std::string_view& line) {
    if (next_ >= text_.size()) return false;
    // A loop, not find_first_of, which looks each byte up in its set with a call of its own.
    std::size_t end = next_;
    while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
    ended_ = end < text_.size();
    line = text_.substr(next_, end - next_);
    next_ = end + 1;
    if (ended_ && text_[end] == '\r' && next_ < text_.size() && text_[next_] == '\n') ++next_;
    return true;
}

} // namespace plonta
