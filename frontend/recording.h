// Recordings: the game written down as it is played, as plonta-sim script lines, and read back
// to play it again. One format for recordings, scenario tests and bug reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/command.h"
#include "script/script_text.h"

namespace plonta {

// One step of a recording.
struct RecordedStep {
    enum class Kind : std::uint8_t { Seed, Ticks, Play };
    Kind kind = Kind::Ticks;
    Command command = Command::Action;
    std::uint32_t value = 0; // the seed, or how many ticks

    bool operator==(const RecordedStep&) const = default;
};

// A recording read whole before play starts. Without a leading seed it starts as seed 1.
struct Recording {
    std::vector<RecordedStep> steps;
    // The number of a last line that was cut short (no line end, no command: a write that
    // failed mid-line) and was left out; 0 when there was none.
    std::size_t cutShortLine = 0;
};

// Where a recording goes: the platform's file. The last line is rewritten in place while a run
// of ticks grows, so writes name their offset.
class RecordingSink {
  public:
    virtual ~RecordingSink() = default;
    // The file from offset on becomes text, on the disk when this returns. False, with the
    // system's reason in error, when that failed; the file then ends at offset where it can,
    // so a failed write leaves no torn line.
    virtual bool replaceFrom(std::uint64_t offset, std::string_view text, std::string& error) = 0;
};

// A recording kept in a string that its owner can read at any time; writing it never fails.
class MemorySink final : public RecordingSink {
  public:
    explicit MemorySink(std::string& text) : text_(text) {}
    bool replaceFrom(std::uint64_t offset, std::string_view text, std::string&) override {
        text_.resize(static_cast<std::size_t>(offset));
        text_ += text;
        return true;
    }

  private:
    std::string& text_;
};

// Writes each thing as it happens, so the file is complete to within the tick being written
// whenever the program stops, however it stops. Consecutive ticks share one "tick K" line,
// rewritten as K grows: files stay short and a crash loses at most one tick.
class Recorder {
  public:
    // Starts the file afresh: a comment naming the program and its version, then the seed.
    void start(std::unique_ptr<RecordingSink> sink, std::string_view program, std::uint32_t seed);
    // A new game from here on.
    void seed(std::uint32_t seed);
    void ticks(std::uint32_t count);
    void command(Command command);
    // Steps of another recording, in one write with one sync rather than one per line: a
    // whole replayed game at start-up.
    void copy(std::span<const RecordedStep> steps);
    // Closes the file.
    void stop();

    bool recording() const { return sink_ != nullptr; }
    // Why writing failed, once; the recording stopped then. Empty otherwise.
    std::string takeFailure();

  private:
    void holdWrites();
    void releaseWrites();
    void writeLine(std::string_view line);
    // previous is what the file held from offset on, put back when the write fails.
    void write(std::uint64_t offset, std::string_view text, std::string_view previous = {});

    std::unique_ptr<RecordingSink> sink_;
    std::uint64_t size_ = 0;
    // The last line is "tick runTicks_" from runStart_ on; no run while runTicks_ is 0.
    std::uint64_t runStart_ = 0;
    std::int64_t runTicks_ = 0;
    // While held, the file from heldFrom_ on is held_.
    bool holding_ = false;
    std::uint64_t heldFrom_ = 0;
    std::string held_;
    std::string failure_;
};

// Larger files are refused unread.
inline constexpr std::size_t maxRecordingBytes = maxScriptBytes;

// Reads a recording; false, with "line N: reason" in error, at its first line a recording
// cannot hold. A last line cut short is left out instead (see Recording::cutShortLine).
bool readRecording(std::string_view text, Recording& recording, std::string& error);

} // namespace plonta
