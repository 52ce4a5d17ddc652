// What a tick or a command did, as data: the rules append, the caller reads and clears.
#pragma once

#include <array>
#include <cstdint>

namespace plonta {

enum class EventKind : std::uint8_t {
    TileCaught,     // lane: where the paddle caught it
    TileLost,       // loss: why
    TileDropped,    // lane: the bin column it went down
    LineRemoved,    // line, length, depth
    LifeLost,       // lives: what is left
    LevelCompleted, // level: the one just completed
    GameOver,
    Paused,
    Resumed,
};

enum class TileLoss : std::uint8_t {
    Missed,     // reached the paddle end away from the paddle
    PaddleFull, // caught with three already carried
    ColumnFull, // dropped into a full column
};

enum class LineKind : std::uint8_t { Vertical, Horizontal, Diagonal };

struct Event {
    EventKind kind = EventKind::TileCaught;
    TileLoss loss = TileLoss::Missed;
    LineKind line = LineKind::Vertical;
    std::uint8_t length = 0;
    std::uint8_t depth = 0;
    std::uint8_t lane = 0;
    std::uint8_t lives = 0;
    std::uint8_t level = 0;
};

// A fixed list, so a step allocates nothing. One tick or command makes a handful of events at
// most (a drop into a full bin removes at most eight lines); more are counted, not kept.
class EventLog {
  public:
    static constexpr std::size_t capacity = 32;

    void add(const Event& event) {
        if (count_ < capacity)
            items_[count_++] = event;
        else
            ++overflowed_;
    }
    void clear() {
        count_ = 0;
        overflowed_ = 0;
    }
    const Event* begin() const { return items_.data(); }
    const Event* end() const { return items_.data() + count_; }
    std::size_t size() const { return count_; }
    std::uint32_t overflowed() const { return overflowed_; }

  private:
    std::array<Event, capacity> items_{};
    std::size_t count_ = 0;
    std::uint32_t overflowed_ = 0;
};

} // namespace plonta
