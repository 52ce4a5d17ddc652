// libFuzzer target: any bytes as a script, line by line through the script runner as plonta-sim
// reads them, with every frame drawn between the lines, and as a recorded game as the programs
// read one to replay it. The script runner writes no files (it refuses "shot"), so nothing the
// fuzzer makes up can reach the disk.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "draw/frame.h"
#include "frontend/recording.h"
#include "script/fields.h"
#include "script/script_runner.h"

namespace {

// Hands out handles and reads every byte of every text, so that ASan sees a text that runs
// past its buffer.
class ReadingCanvas final : public plonta::Canvas {
  public:
    plonta::DrawingHandle createPen(std::int32_t, plonta::Colour) override { return ++made_; }
    plonta::DrawingHandle createSolidBrush(plonta::Colour) override { return ++made_; }
    plonta::DrawingHandle createFont(const plonta::FontRequest&) override { return ++made_; }
    void selectObject(plonta::DrawingHandle) override {}
    void moveTo(std::int32_t, std::int32_t) override {}
    void lineTo(std::int32_t, std::int32_t) override {}
    void rectangle(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void roundRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                   std::int32_t) override {}
    void setBkMode(plonta::BackgroundMode) override {}
    void setTextColor(plonta::Colour) override {}
    void setTextAlign(std::uint32_t) override {}
    void textOut(std::int32_t, std::int32_t, const char* text, std::int32_t length) override {
        for (std::int32_t i = 0; i < length; ++i) read_ += static_cast<unsigned char>(text[i]);
    }

  private:
    plonta::DrawingHandle made_ = 0;
    unsigned read_ = 0;
};

// The dumps go nowhere.
class NullBuffer final : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    NullBuffer nowhere;
    std::ostream out(&nowhere);
    plonta::ScriptRunner runner;
    ReadingCanvas canvas;
    plonta::FrameDrawer drawer;
    drawer.createDrawingObjects(canvas);
    std::string error;
    std::size_t start = 0;
    while (start <= script.size()) {
        std::size_t end = script.find('\n', start);
        if (end == std::string_view::npos) end = script.size();
        const plonta::Game before = runner.game();
        if (!runner.runLine(script.substr(start, end - start), out, error)) {
            // A refused line says why in a few words and leaves the game as it was.
            if (error.empty() || error.size() > 200) __builtin_trap();
            if (plonta::dumpGame(runner.game()) != plonta::dumpGame(before)) __builtin_trap();
        }
        drawer.drawFrame(canvas, runner.game());
        start = end + 1;
    }
    // The whole input as one line: the reader must take any length and any byte.
    plonta::ScriptLine line;
    plonta::parseScriptLine(script, line, error);
    // A recording holds seeds, runs of ticks and the four commands, nothing else.
    plonta::Recording recording;
    if (plonta::readRecording(script, recording, error)) {
        for (const plonta::RecordedStep& step : recording.steps)
            if (step.kind == plonta::RecordedStep::Kind::Ticks && step.value == 0) __builtin_trap();
    } else if (error.empty() || error.size() > 200) {
        __builtin_trap();
    }
    return 0;
}
