// Which parts of an image a retained frame changes, from its calls and the previous frame's.
#include "draw/retained_frame.h"

#include <algorithm>
#include <utility>

namespace plonta {

namespace {

// Two calls that put the same pixels in the same places.
bool sameOp(const Op& a, const FrameRecord& aFrame, const Op& b, const FrameRecord& bFrame) {
    return a.kind == b.kind && a.mode == b.mode && a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 &&
           a.y1 == b.y1 && a.ellipseWidth == b.ellipseWidth && a.ellipseHeight == b.ellipseHeight &&
           a.penWidth == b.penWidth && a.pen == b.pen && a.brush == b.brush && a.font == b.font &&
           a.textAlign == b.textAlign && aFrame.bytes(a) == bFrame.bytes(b);
}

} // namespace

void RetainedFrame::begin() {
    current_.clear();
    recording_ = true;
}

void RetainedFrame::record(Op op, const char* text) {
    op.text = current_.texts.size();
    current_.texts.append(text, op.length);
    current_.ops.push_back(op);
}

const std::vector<PixelRect>& RetainedFrame::end(const PixelRect& image) {
    recording_ = false;
    changed_.clear();
    if (image.empty()) {
        previousShown_ = false;
    } else {
        if (previousShown_)
            findChanges(image);
        else
            changed_.push_back(image);
        previousShown_ = true;
    }
    std::swap(current_, previous_);
    current_.clear();
    return changed_;
}

// Adds a changed part, joined with every one it overlaps or touches.
void RetainedFrame::addChanged(PixelRect part, const PixelRect& image) {
    part = intersection(part, image);
    if (part.empty()) return;
    for (std::size_t i = 0; i < changed_.size();) {
        if (!overlapsOrTouches(changed_[i], part)) {
            ++i;
            continue;
        }
        part = {std::min(part.left, changed_[i].left), std::min(part.top, changed_[i].top),
                std::max(part.right, changed_[i].right), std::max(part.bottom, changed_[i].bottom)};
        changed_[i] = changed_.back();
        changed_.pop_back();
        // The joined part may now reach one passed over before.
        i = 0;
    }
    changed_.push_back(part);
}

// Every call of the new frame is paired with an equal one of the previous frame, in the same
// order; what stays unpaired on either side changed. Where no unpaired call reaches, the same
// calls draw in the same order, so the pixels are the same.
void RetainedFrame::findChanges(const PixelRect& image) {
    matched_.assign(previous_.ops.size(), false);
    std::size_t next = 0;
    for (const Op& op : current_.ops) {
        std::size_t k = next;
        while (k < previous_.ops.size() && !sameOp(op, current_, previous_.ops[k], previous_)) ++k;
        if (k < previous_.ops.size()) {
            matched_[k] = true;
            next = k + 1;
        } else {
            addChanged(op.box, image);
        }
    }
    for (std::size_t k = 0; k < previous_.ops.size(); ++k)
        if (!matched_[k]) addChanged(previous_.ops[k].box, image);
}

} // namespace plonta
