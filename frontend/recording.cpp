// Writing recordings tick by tick, and reading them back through the script parser.
#include "frontend/recording.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "frontend/command_line.h"
#include "script/script_line.h"

namespace plonta {

namespace {
// The longest run one "tick K" line holds, as the parser reads it.
constexpr std::int64_t maxRunTicks = std::numeric_limits<std::int32_t>::max();
} // namespace

void Recorder::start(std::unique_ptr<RecordingSink> sink, std::string_view program,
                     std::uint32_t seed) {
    sink_ = std::move(sink);
    size_ = 0;
    runTicks_ = 0;
    std::string header = "# recorded by " + versionText(program);
    header += "seed " + std::to_string(seed) + "\n";
    // From offset 0: whatever the file held before goes only now that there is play to keep.
    write(0, header);
}

void Recorder::seed(std::uint32_t seed) {
    writeLine("seed " + std::to_string(seed));
}

void Recorder::ticks(std::uint32_t count) {
    std::int64_t left = count;
    while (left > 0 && sink_) {
        if (runTicks_ == 0) runStart_ = size_;
        const std::int64_t added = std::min(left, maxRunTicks - runTicks_);
        const std::string previous =
            runTicks_ == 0 ? "" : "tick " + std::to_string(runTicks_) + "\n";
        runTicks_ += added;
        left -= added;
        write(runStart_, "tick " + std::to_string(runTicks_) + "\n", previous);
        // A full line stays as it is; further ticks start the next one.
        if (runTicks_ == maxRunTicks) runTicks_ = 0;
    }
}

void Recorder::command(Command command) {
    writeLine(commandWord(command));
}

void Recorder::copy(std::span<const RecordedStep> steps) {
    holdWrites();
    for (const RecordedStep& step : steps) {
        switch (step.kind) {
        case RecordedStep::Kind::Seed: seed(step.value); break;
        case RecordedStep::Kind::Ticks: ticks(step.value); break;
        case RecordedStep::Kind::Play: command(step.command); break;
        }
    }
    releaseWrites();
}

void Recorder::stop() {
    sink_.reset();
}

void Recorder::holdWrites() {
    // A tick run stays inside what is held.
    runTicks_ = 0;
    holding_ = true;
    heldFrom_ = size_;
    held_.clear();
}

void Recorder::releaseWrites() {
    holding_ = false;
    if (!held_.empty()) write(heldFrom_, held_);
    held_.clear();
}

std::string Recorder::takeFailure() {
    return std::exchange(failure_, std::string());
}

void Recorder::writeLine(std::string_view line) {
    runTicks_ = 0;
    std::string text(line);
    text += '\n';
    write(size_, text);
}

void Recorder::write(std::uint64_t offset, std::string_view text, std::string_view previous) {
    if (!sink_) return;
    if (holding_) {
        held_.resize(static_cast<std::size_t>(offset - heldFrom_));
        held_ += text;
        size_ = offset + text.size();
        return;
    }
    std::string error;
    if (!sink_->replaceFrom(offset, text, error)) {
        failure_ = error.empty() ? "cannot write" : error;
        // The file ends at offset now; a run of ticks it held is worth keeping. No space for
        // even that cuts it back to offset again.
        std::string ignored;
        if (!previous.empty()) sink_->replaceFrom(offset, previous, ignored);
        sink_.reset();
        return;
    }
    size_ = offset + text.size();
}

bool readRecording(std::string_view text, Recording& recording, std::string& error) {
    recording = Recording{};
    ScriptLine line;
    std::size_t lineNumber = 0;
    ScriptLines lines(text);
    std::string_view lineText;
    while (lines.next(lineText)) {
        ++lineNumber;
        if (!parseRecordingLine(lineText, line, error)) {
            // A write that failed mid-line, in a program that could not cut it back: what
            // came before is a whole game still.
            if (!lines.lastLineEnded()) {
                recording.cutShortLine = lineNumber;
                error.clear();
                return true;
            }
            error = "line " + std::to_string(lineNumber) + ": " + error;
            return false;
        }
        switch (line.kind) {
        case ScriptLine::Kind::Seed:
            recording.steps.push_back({RecordedStep::Kind::Seed, Command::Action, line.seed});
            break;
        case ScriptLine::Kind::Tick:
            if (line.ticks > 0)
                recording.steps.push_back({RecordedStep::Kind::Ticks, Command::Action,
                                           static_cast<std::uint32_t>(line.ticks)});
            break;
        case ScriptLine::Kind::Play:
            recording.steps.push_back({RecordedStep::Kind::Play, line.command, 0});
            break;
        default: break;
        }
    }
    return true;
}

} // namespace plonta
