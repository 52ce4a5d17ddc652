// Frames for the driver's shot command.
#include "tools/plonta-sim/sim_runner.h"

namespace plonta {

SimRunner::SimRunner(bool marks, Language language) : canvas_(frameWidth, frameHeight) {
    drawer_.showMarks(marks, nullptr);
    drawer_.useLanguage(language);
    // Once per run, right after the set-up, as the real program does.
    drawer_.createDrawingObjects(canvas_);
    // The base class set the first game up before this runner could follow it.
    shown_ = game();
}

void SimRunner::gameStarted() {
    drawer_.restartBlink();
    shown_ = game();
    track_ = SoundTrack{};
    commandEvents_.clear();
}

void SimRunner::stepped(std::int32_t ticks) {
    if (ticks == 0) {
        for (const Event& event : game().events) commandEvents_.add(event);
        return;
    }
    track_.ticked(1);
    playEvents(commandEvents_, sounds_, track_);
    commandEvents_.clear();
    track_.ticked(ticks - 1);
    playEvents(game().events, sounds_, track_);
}

bool SimRunner::sound(const std::string& path, std::string& error) {
    // An hour of sound is some 150 MB; a long wait in a script would ask for far more.
    constexpr std::uint64_t longest = std::uint64_t{SoundBank::sampleRate} * 3600;
    if (track_.frames() > longest) {
        error = "sound: the game is longer than an hour";
        return false;
    }
    // Commands after the last tick sound with the next one.
    SoundTrack track = track_;
    track.ticked(1);
    playEvents(commandEvents_, sounds_, track);
    if (!writeWav(path, track.render(), SoundBank::sampleRate)) {
        error = "sound: cannot write '" + path.substr(0, 40) + (path.size() > 40 ? "...'" : "'");
        return false;
    }
    return true;
}

void SimRunner::framesShown(std::int32_t frames) {
    shown_ = game();
    // A run of ticks is Paused throughout or not at all: ticks neither enter nor leave it.
    drawer_.nextFrame(shown_, static_cast<std::uint32_t>(frames));
}

bool SimRunner::shot(const std::string& path, std::int32_t scaleThousandths, std::string& error) {
    const FrameScale scale = FrameScale::ofThousandths(scaleThousandths);
    if (scale != canvas_.scale() && !canvas_.setImage(scale)) {
        error = "shot: no image at scale " + scale.text();
        return false;
    }
    canvas_.clear();
    drawer_.drawFrame(canvas_, shown_);
    if (!canvas_.writePng(path.c_str())) {
        error = "shot: cannot write '" + path.substr(0, 40) + (path.size() > 40 ? "...'" : "'");
        return false;
    }
    return true;
}

} // namespace plonta
