// Cutting a stream into script lines, apart from the text's reading: a program that reads its
// scripts whole links no streams.
#include "script/script_text.h"

namespace plonta {

bool StreamLines::next(std::string& line) {
    line.clear();
    // The buffer throws where a read fails; the stream's own reads would turn that into bad().
    try {
        return take(line);
    } catch (const std::ios_base::failure&) {
        in_.setstate(std::ios_base::badbit);
        return false;
    }
}

bool StreamLines::take(std::string& line) {
    std::streambuf& in = *in_.rdbuf();
    const bool first = read_ == 0;
    bool any = false;
    for (int c = in.sbumpc(); c != std::char_traits<char>::eof(); c = in.sbumpc()) {
        any = true;
        if (++read_ > maxScriptBytes) return false;
        if (c == '\n') break;
        if (c == '\r') {
            if (in.sgetc() == '\n') {
                in.sbumpc();
                ++read_;
            }
            break;
        }
        line.push_back(static_cast<char>(c));
    }
    if (first && line.starts_with(byteOrderMark)) line.erase(0, byteOrderMark.size());
    return any;
}

} // namespace plonta
