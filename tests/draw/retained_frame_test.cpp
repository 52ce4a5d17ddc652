// Which parts of the image a retained frame changes, from its calls and the previous frame's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "draw/retained_frame.h"

namespace plonta {
namespace {

constexpr PixelRect image{0, 0, 100, 100};

struct Call {
    Op op;
    const char* text = "";
};

// A figure whose box is its corners; its brush tells it from others in the same place.
Call figure(PixelRect box, Colour brush = 1) {
    Call c;
    c.op.x0 = box.left;
    c.op.y0 = box.top;
    c.op.x1 = box.right;
    c.op.y1 = box.bottom;
    c.op.brush = brush;
    c.op.box = box;
    return c;
}

Call words(PixelRect box, const char* text) {
    Call c = figure(box);
    c.op.kind = Op::Kind::Text;
    c.op.length = std::strlen(text);
    c.text = text;
    return c;
}

std::vector<PixelRect> frame(RetainedFrame& frames, const std::vector<Call>& calls,
                             PixelRect bounds = image) {
    frames.begin();
    for (const Call& c : calls) frames.record(c.op, c.text);
    std::vector<PixelRect> changed = frames.end(bounds);
    const FrameRecord& kept = frames.frame();
    EXPECT_EQ(kept.ops.size(), calls.size());
    for (std::size_t i = 0; i < std::min(kept.ops.size(), calls.size()); ++i)
        EXPECT_EQ(kept.bytes(kept.ops[i]), calls[i].text);
    std::sort(changed.begin(), changed.end(), [](const PixelRect& a, const PixelRect& b) {
        return std::tie(a.left, a.top, a.right, a.bottom) <
               std::tie(b.left, b.top, b.right, b.bottom);
    });
    return changed;
}

struct DiffCase {
    const char* name;
    std::vector<Call> previous;
    std::vector<Call> current;
    std::vector<PixelRect> changed; // left to right, then top to bottom
};

class FrameDiff : public testing::TestWithParam<DiffCase> {};

TEST_P(FrameDiff, ChangesExactlyTheDisjointPartsNamed) {
    RetainedFrame frames;
    ASSERT_EQ(frame(frames, GetParam().previous), std::vector<PixelRect>{image});
    const std::vector<PixelRect> changed = frame(frames, GetParam().current);
    EXPECT_EQ(changed, GetParam().changed);
    for (std::size_t i = 0; i < changed.size(); ++i)
        for (std::size_t j = i + 1; j < changed.size(); ++j)
            EXPECT_FALSE(overlapsOrTouches(changed[i], changed[j])) << i << " and " << j;
}

const Call a = figure({10, 10, 20, 20});
const Call b = figure({50, 50, 60, 60}, 2);

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameDiff,
    testing::Values(
        DiffCase{"SameCalls", {a, b}, {a, b}, {}},
        DiffCase{"Moved", {a, b}, {a, figure({70, 50, 80, 60}, 2)}, {b.op.box, {70, 50, 80, 60}}},
        DiffCase{"Removed", {a, b}, {a}, {b.op.box}}, DiffCase{"Added", {a}, {a, b}, {b.op.box}},
        DiffCase{"TouchingPartsJoin", {a}, {figure({20, 10, 30, 25})}, {{10, 10, 30, 25}}},
        // The third part joins the second, and together they reach the first.
        DiffCase{"JoinedPartReachesOnePassedBefore",
                 {},
                 {figure({0, 20, 10, 30}), figure({20, 0, 30, 25}), figure({10, 0, 20, 10})},
                 {{0, 0, 30, 30}}},
        // Drawn in the other order, the overlap shows the other call.
        DiffCase{"OverlappingCallsSwapped",
                 {a, figure({15, 10, 25, 20}, 2)},
                 {figure({15, 10, 25, 20}, 2), a},
                 {a.op.box}},
        DiffCase{"OtherText",
                 {words({0, 0, 30, 15}, "12")},
                 {words({0, 0, 30, 15}, "13")},
                 {{0, 0, 30, 15}}},
        DiffCase{"ClippedToTheImage", {}, {figure({90, 95, 120, 120})}, {{90, 95, 100, 100}}}),
    [](const testing::TestParamInfo<DiffCase>& param) { return std::string(param.param.name); });

// A call differing in anything its pixels depend on is drawn again.
TEST(FrameDiff, EveryFieldOfACallCounts) {
    const std::vector<std::function<void(Call&)>> changes{
        [](Call& c) { c.op.kind = Op::Kind::Line; },
        [](Call& c) { c.op.mode = BackgroundMode::Opaque; },
        [](Call& c) { ++c.op.x0; },
        [](Call& c) { ++c.op.y0; },
        [](Call& c) { ++c.op.x1; },
        [](Call& c) { ++c.op.y1; },
        [](Call& c) { ++c.op.ellipseWidth; },
        [](Call& c) { ++c.op.ellipseHeight; },
        [](Call& c) { ++c.op.penWidth; },
        [](Call& c) { ++c.op.pen; },
        [](Call& c) { ++c.op.brush; },
        [](Call& c) { ++c.op.font; },
        [](Call& c) {
            c.text = "x";
            c.op.length = 1;
        }};
    for (std::size_t i = 0; i < changes.size(); ++i) {
        RetainedFrame frames;
        frame(frames, {a});
        Call changed = a;
        changes[i](changed);
        EXPECT_EQ(frame(frames, {changed}), std::vector<PixelRect>{a.op.box}) << "change " << i;
    }
}

// Without a frame known to be on the image, all of it is drawn.
TEST(FrameDiff, WholeImageFirstAfterForgetAndAfterNoImage) {
    RetainedFrame frames;
    EXPECT_EQ(frame(frames, {a}), std::vector<PixelRect>{image});
    EXPECT_TRUE(frame(frames, {a}).empty());
    frames.forget();
    EXPECT_EQ(frame(frames, {a}), std::vector<PixelRect>{image});
    EXPECT_TRUE(frame(frames, {a}, PixelRect{}).empty());
    EXPECT_EQ(frame(frames, {a}), std::vector<PixelRect>{image});
}

} // namespace
} // namespace plonta
