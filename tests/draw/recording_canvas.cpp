// Call logging for the recording canvas.
#include "tests/draw/recording_canvas.h"

#include <algorithm>
#include <cstdio>

namespace plonta::test {

std::string colourText(Colour colour) {
    return "rgb(" + std::to_string(redOf(colour)) + "," + std::to_string(greenOf(colour)) + "," +
           std::to_string(blueOf(colour)) + ")";
}

std::string quotedBytes(const char* text, std::size_t length) {
    std::string out = "\"";
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte >= 0x7F || byte == '"' || byte == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out + "\"";
}

std::string RecordingCanvas::log() const {
    std::string text;
    for (const std::string& call : calls) text += call + "\n";
    return text;
}

bool RecordingCanvas::contains(const std::string& call) const {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

DrawingHandle RecordingCanvas::remember(std::string description) {
    objects_.push_back(std::move(description));
    const auto handle = static_cast<DrawingHandle>(objects_.size());
    calls.back() += " -> " + std::to_string(handle);
    return handle;
}

DrawingHandle RecordingCanvas::createPen(std::int32_t width, Colour colour) {
    const std::string pen = "pen " + std::to_string(width) + " " + colourText(colour);
    calls.push_back("createPen " + std::to_string(width) + " " + colourText(colour));
    return remember(pen);
}

DrawingHandle RecordingCanvas::createSolidBrush(Colour colour) {
    calls.push_back("createSolidBrush " + colourText(colour));
    return remember("brush " + colourText(colour));
}

DrawingHandle RecordingCanvas::createFont(const FontRequest& r) {
    fontRequests.push_back(r);
    std::string call = "createFont";
    for (const std::int32_t value :
         {r.height, r.width, r.escapement, r.orientation, r.weight, std::int32_t{r.italic},
          std::int32_t{r.underline}, std::int32_t{r.strikeOut}, std::int32_t{r.charSet},
          std::int32_t{r.outPrecision}, std::int32_t{r.clipPrecision}, std::int32_t{r.quality},
          std::int32_t{r.pitchAndFamily}})
        call += " " + std::to_string(value);
    const std::string face = r.faceName != nullptr ? r.faceName : "";
    call += " " + quotedBytes(face.data(), face.size());
    calls.push_back(call);
    return remember("font " + quotedBytes(face.data(), face.size()));
}

void RecordingCanvas::selectObject(DrawingHandle object) {
    const std::string what =
        object >= 1 && object <= objects_.size() ? objects_[object - 1] : std::string("unknown");
    calls.push_back("selectObject " + std::to_string(object) + " (" + what + ")");
}

void RecordingCanvas::moveTo(std::int32_t x, std::int32_t y) {
    calls.push_back("moveTo " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingCanvas::lineTo(std::int32_t x, std::int32_t y) {
    calls.push_back("lineTo " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingCanvas::rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom) {
    calls.push_back("rectangle " + std::to_string(left) + " " + std::to_string(top) + " " +
                    std::to_string(right) + " " + std::to_string(bottom));
}

void RecordingCanvas::roundRect(std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom, std::int32_t ellipseWidth,
                                std::int32_t ellipseHeight) {
    calls.push_back("roundRect " + std::to_string(left) + " " + std::to_string(top) + " " +
                    std::to_string(right) + " " + std::to_string(bottom) + " " +
                    std::to_string(ellipseWidth) + " " + std::to_string(ellipseHeight));
}

void RecordingCanvas::setBkMode(BackgroundMode mode) {
    calls.push_back(std::string("setBkMode ") +
                    (mode == BackgroundMode::Transparent ? "transparent" : "opaque"));
}

void RecordingCanvas::setTextColor(Colour colour) {
    calls.push_back("setTextColor " + colourText(colour));
}

void RecordingCanvas::setTextAlign(std::uint32_t align) {
    calls.push_back("setTextAlign " + std::to_string(align));
}

void RecordingCanvas::textOut(std::int32_t x, std::int32_t y, const char* text,
                              std::int32_t length) {
    texts.emplace_back(text, static_cast<std::size_t>(std::max(length, 0)));
    calls.push_back("textOut " + std::to_string(x) + " " + std::to_string(y) + " " +
                    std::to_string(length) + " " +
                    quotedBytes(text, static_cast<std::size_t>(std::max(length, 0))));
}

} // namespace plonta::test
