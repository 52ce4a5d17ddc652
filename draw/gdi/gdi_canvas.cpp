// GDI takes the frame's calls as they are; the texts' Windows-1252 bytes become UTF-16.
#include "draw/gdi/gdi_canvas.h"

#include "draw/windows1252.h"

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
    const int drawn = counted < length ? counted : length;
    // TextOutA would read the bytes in the system's code page (a Russian Windows shows the bar's
    // 0xD8 as a Cyrillic letter): give GDI the characters the game means instead.
    wide_.resize(static_cast<std::size_t>(drawn > 0 ? drawn : 0));
    for (std::size_t i = 0; i < wide_.size(); ++i)
        wide_[i] = static_cast<wchar_t>(windows1252CodePoint(static_cast<std::uint8_t>(text[i])));
    TextOutW(dc_, x, y, wide_.data(), static_cast<int>(wide_.size()));
}

} // namespace plonta
