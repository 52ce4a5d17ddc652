// The bin: dropping a tile, the line scan with its chains, and settling.
#include "game/game.h"
#include "game/wrapping.h"

namespace plonta {

namespace {

bool inside(int column, int row) {
    return column >= 0 && column < binColumns && row >= 0 && row < binRows;
}

// Events by line length 3, 4, 5 for each pass; a vertical line never has five.
constexpr GoalEvent diagonalEvent[] = {GoalEvent::DiagonalThree, GoalEvent::DiagonalFour,
                                       GoalEvent::DiagonalFive};
constexpr GoalEvent horizontalEvent[] = {GoalEvent::HorizontalThree, GoalEvent::HorizontalFour,
                                         GoalEvent::HorizontalFive};
constexpr GoalEvent verticalEvent[] = {GoalEvent::VerticalThree, GoalEvent::VerticalFour};

} // namespace

void Game::dropIntoBin(std::uint8_t column, Tile tile) {
    // A column is full by its top cell alone, even with a gap under a hanging tile.
    if (bin.at(column, 0) != 0) {
        events.add({.kind = EventKind::TileLost, .loss = TileLoss::ColumnFull});
        loseTile();
        return;
    }
    for (int row = binRows - 1; row >= 0; --row) {
        if (bin.at(column, row) == 0) {
            bin.at(column, row) = tile;
            break;
        }
    }
    scanBin(1);
}

// Length of the line of equal tiles from (column, row) along the step, counting the fourth
// and fifth cells only beyond a complete three; 0 when there is no three.
static int lineLength(const Bin& bin, int column, int row, int columnStep, int rowStep,
                      int maxLength) {
    const Tile tile = bin.at(column, row);
    int length = 0;
    while (length < maxLength) {
        const int c = column + length * columnStep;
        const int r = row + length * rowStep;
        if (!inside(c, r) || bin.at(c, r) != tile) break;
        ++length;
    }
    return length >= 3 ? length : 0;
}

void Game::removeLine(int column, int row, int columnStep, int rowStep, int length, GoalEvent event,
                      std::uint8_t depth, bool chains) {
    player.addPoints(wrappingMul(pointsFor(event), depth));
    const LineKind kind = columnStep == 0 ? LineKind::Vertical
                          : rowStep == 0  ? LineKind::Horizontal
                                          : LineKind::Diagonal;
    events.add({.kind = EventKind::LineRemoved,
                .line = kind,
                .length = static_cast<std::uint8_t>(length),
                .depth = depth});
    for (int i = 0; i < length; ++i) bin.at(column + i * columnStep, row + i * rowStep) = 0;
    if (chains) {
        settleBin();
        scanBin(static_cast<std::uint8_t>(depth + 1));
    }
    // Reported after the nested scan, so a chain's events arrive deepest first.
    player.countGoalEvent(event, pointsBaseline);
}

void Game::scanBin(std::uint8_t depth) {
    // Diagonals: after a line the rest of the column is skipped.
    for (int column = 0; column < binColumns; ++column) {
        for (int row = 0; row <= 2; ++row) {
            if (bin.at(column, row) == 0) continue;
            int step = 0;
            int length = 0;
            if (column <= 2) {
                length = lineLength(bin, column, row, 1, 1, 5);
                if (length != 0) step = 1;
            }
            if (step == 0 && column >= 2) {
                length = lineLength(bin, column, row, -1, 1, 5);
                if (length != 0) step = -1;
            }
            if (step == 0) continue;
            removeLine(column, row, step, 1, length, diagonalEvent[length - 3], depth, true);
            break;
        }
    }
    // Horizontals: after a three the next start column of the row, after more the next row.
    for (int row = 0; row < binRows; ++row) {
        for (int column = 0; column <= 2; ++column) {
            if (bin.at(column, row) == 0) continue;
            const int length = lineLength(bin, column, row, 1, 0, 5);
            if (length == 0) continue;
            removeLine(column, row, 1, 0, length, horizontalEvent[length - 3], depth, true);
            if (length > 3) break;
        }
    }
    // Verticals: no fifth cell, no settling and no nested scan; tiles above stay hanging.
    for (int column = 0; column < binColumns; ++column) {
        for (int row = 0; row <= 2; ++row) {
            if (bin.at(column, row) == 0) continue;
            const int length = lineLength(bin, column, row, 0, 1, 4);
            if (length == 0) continue;
            removeLine(column, row, 0, 1, length, verticalEvent[length - 3], depth, false);
            if (length > 3) break;
        }
    }
}

void Game::settleBin() {
    // One pass: each tile falls at most one cell.
    for (int column = 0; column < binColumns; ++column) {
        for (int row = binRows - 1; row >= 1; --row) {
            if (bin.at(column, row) == 0) {
                bin.at(column, row) = bin.at(column, row - 1);
                bin.at(column, row - 1) = 0;
            }
        }
    }
}

} // namespace plonta
