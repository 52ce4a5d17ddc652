// GDI takes the frame's calls as they are: the bytes are already Windows-1252.
#include "draw/gdi/gdi_canvas.h"

namespace plonta {

HGDIOBJ GdiCanvas::object(DrawingHandle handle) const {
    if (handle == 0 || handle > objects_.size()) return nullptr;
    return objects_[handle - 1];
}

DrawingHandle GdiCanvas::remember(HGDIOBJ made) {
    // A failed creation still gets a handle, as the frame stores what it is given; selecting
    // it then does nothing.
    objects_.push_back(made);
    return static_cast<DrawingHandle>(objects_.size());
}

DrawingHandle GdiCanvas::createPen(std::int32_t width, Colour colour) {
    return remember(CreatePen(PS_SOLID, width, colour));
}

DrawingHandle GdiCanvas::createSolidBrush(Colour colour) {
    return remember(CreateSolidBrush(colour));
}

DrawingHandle GdiCanvas::createFont(const FontRequest& r) {
    return remember(CreateFontA(r.height, r.width, r.escapement, r.orientation, r.weight, r.italic,
                                r.underline, r.strikeOut, r.charSet, r.outPrecision,
                                r.clipPrecision, r.quality, r.pitchAndFamily, r.faceName));
}

void GdiCanvas::selectObject(DrawingHandle handle) {
    HGDIOBJ chosen = object(handle);
    if (chosen != nullptr) SelectObject(dc_, chosen);
}

void GdiCanvas::moveTo(std::int32_t x, std::int32_t y) {
    MoveToEx(dc_, x, y, nullptr);
}

void GdiCanvas::lineTo(std::int32_t x, std::int32_t y) {
    LineTo(dc_, x, y);
}

void GdiCanvas::rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
    Rectangle(dc_, left, top, right, bottom);
}

void GdiCanvas::roundRect(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom, std::int32_t ellipseWidth,
                          std::int32_t ellipseHeight) {
    RoundRect(dc_, left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void GdiCanvas::setBkMode(BackgroundMode mode) {
    SetBkMode(dc_, static_cast<int>(mode));
}

void GdiCanvas::setTextColor(Colour colour) {
    SetTextColor(dc_, colour);
}

void GdiCanvas::setTextAlign(std::uint32_t align) {
    SetTextAlign(dc_, align);
}

void GdiCanvas::textOut(std::int32_t x, std::int32_t y, const char* text, std::int32_t length) {
    // GDI gets the length up to the text's zero byte, however long the caller says it is.
    const int counted = lstrlenA(text);
    TextOutA(dc_, x, y, text, counted < length ? counted : length);
}

} // namespace plonta
