// Costs of recordings: one tick written to a real file and synced to its disk, as the Linux
// program does four times a second, and reading a long recording before a replay.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frontend/recording.h"
#include "frontend/system_files.h"

namespace {

// The file goes where TMPDIR says, so the disk measured can be chosen.
std::string scratchPath() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/plonta_recording_bench.sim";
}

void BM_RecordOneTick(benchmark::State& state) {
    const std::string path = scratchPath();
    plonta::SystemFiles files;
    std::string error;
    plonta::Recorder recorder;
    recorder.start(files.openForRecording(path, error), "plonta", 1);
    for (auto _ : state) recorder.ticks(1);
    if (!recorder.recording()) state.SkipWithError(recorder.takeFailure().c_str());
    recorder.stop();
    std::remove(path.c_str());
}
BENCHMARK(BM_RecordOneTick)->UseRealTime();

// A game of an hour with a key every half second: some 7200 commands and their tick runs.
std::string hourLongRecording() {
    std::string text = "# made up\nseed 5\nspace\n";
    const char* words[] = {"left", "right", "space", "left", "right", "down"};
    for (int i = 0; i < 7200; ++i) {
        text += "tick 2\n";
        text += words[i % 6];
        text += '\n';
    }
    return text;
}

void BM_ReadHourLongRecording(benchmark::State& state) {
    const std::string text = hourLongRecording();
    for (auto _ : state) {
        plonta::Recording recording;
        std::string error;
        benchmark::DoNotOptimize(plonta::readRecording(text, recording, error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadHourLongRecording);

} // namespace

BENCHMARK_MAIN();
