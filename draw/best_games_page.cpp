// The best games in the game's frame: a row each, the chosen one in white, the rest in the
// status texts' red.
#include <cstdio>
#include <cstring>

#include "draw/frame.h"
#include "draw/frame_texts.h"

namespace plonta {

namespace {

constexpr std::int32_t firstRowY = 90;
constexpr std::int32_t rowStep = 20;

void drawText(Canvas& canvas, std::int32_t x, std::int32_t y, const char* text) {
    canvas.textOut(x, y, text, static_cast<std::int32_t>(std::strlen(text)));
}

} // namespace

void FrameDrawer::drawBestGames(Canvas& canvas) const {
    canvas.setBkMode(BackgroundMode::Transparent);
    canvas.selectObject(drawingObjects[0]);
    canvas.setTextColor(brushColours[1]);
    canvas.setTextAlign(alignCenter | alignTop);
    const FrameTexts& texts = textsFor(language_);
    drawText(canvas, 200, 60, texts.bestTitle);
    if (bestGames_->rows.empty()) drawText(canvas, 200, firstRowY, texts.bestEmpty);
    std::int32_t y = firstRowY;
    for (std::size_t i = 0; i < bestGames_->rows.size(); ++i, y += rowStep) {
        const BestGamesPage::Row& row = bestGames_->rows[i];
        canvas.setTextColor(i == bestGames_->chosen ? brushColours[0] : brushColours[1]);
        // Columns by their own alignment: the font's digits need not all be as wide.
        char text[24];
        canvas.setTextAlign(alignRight | alignTop);
        std::snprintf(text, sizeof text, "%d.", static_cast<int>(i + 1));
        drawText(canvas, 40, y, text);
        std::snprintf(text, sizeof text, "%08d", static_cast<int>(row.score));
        drawText(canvas, 130, y, text);
        canvas.setTextAlign(alignLeft | alignTop);
        std::snprintf(text, sizeof text, texts.bestLevel, static_cast<int>(row.level));
        drawText(canvas, 150, y, text);
        drawText(canvas, 230, y, row.date.c_str());
    }
    canvas.setTextColor(brushColours[1]);
    canvas.setTextAlign(alignCenter | alignTop);
    const std::int32_t hintY = firstRowY + 10 * rowStep + 20;
    drawText(canvas, 200, hintY, bestGames_->sendable ? texts.bestHintSend : texts.bestHint);
    const BestGamesPage::Sent& sent = bestGames_->sent;
    char line[96] = "";
    switch (sent.kind) {
    case BestGamesPage::Sent::Kind::None: break;
    case BestGamesPage::Sent::Kind::Sending:
        std::snprintf(line, sizeof line, "%s", texts.sending);
        break;
    case BestGamesPage::Sent::Kind::Sent:
        std::snprintf(line, sizeof line, texts.sent, sent.rank);
        break;
    case BestGamesPage::Sent::Kind::Refused:
        std::snprintf(line, sizeof line, "%s", texts.refused);
        break;
    case BestGamesPage::Sent::Kind::NoAnswer:
        std::snprintf(line, sizeof line, "%s", texts.noAnswer);
        break;
    }
    // The answer in white: it is news. Nothing at all without one, so the page is as it was.
    if (line[0] == '\0') return;
    canvas.setTextColor(brushColours[0]);
    drawText(canvas, 200, hintY + 2 * rowStep, line);
    if (sent.kind == BestGamesPage::Sent::Kind::Refused)
        drawText(canvas, 200, hintY + 3 * rowStep, sent.reason.c_str());
}

} // namespace plonta
