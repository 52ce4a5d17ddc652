// Writing a "set" into the game, and the "dump" line.
#include "script/fields.h"

namespace plonta {

namespace {

template <typename Array> void appendArray(std::string& json, const Array& values) {
    json += '[';
    bool first = true;
    for (const auto value : values) {
        if (!first) json += ',';
        first = false;
        json += std::to_string(static_cast<std::int64_t>(value));
    }
    json += ']';
}

} // namespace

void applySet(Game& game, const ScriptLine& line) {
    Player& p = game.player;
    const auto& v = line.values;
    const auto byte = [](std::int64_t x) { return static_cast<std::uint8_t>(x); };
    const auto int32 = [](std::int64_t x) { return static_cast<std::int32_t>(x); };
    switch (line.field) {
    case SetField::State: game.state = static_cast<GameState>(v[0]); break;
    case SetField::Lives: p.lives = byte(v[0]); break;
    case SetField::Level: p.level = byte(v[0]); break;
    case SetField::DropsLeft: p.dropsLeft = byte(v[0]); break;
    case SetField::Score: p.score = int32(v[0]); break;
    case SetField::PaddleLane: p.paddleLane = byte(v[0]); break;
    case SetField::Goal: p.goals[static_cast<std::size_t>(v[0])] = int32(v[1]); break;
    case SetField::Bin: game.bin.at(int32(v[0]), int32(v[1])) = byte(v[2]); break;
    case SetField::Conveyor: game.conveyor.at(int32(v[0]), int32(v[1])) = byte(v[2]); break;
    case SetField::Carried:
        p.carriedCount = static_cast<std::uint8_t>((v[0] != 0) + (v[1] != 0) + (v[2] != 0));
        p.carried = {byte(v[0]), byte(v[1]), byte(v[2])};
        break;
    case SetField::SpawnCounter: game.spawnCounter = int32(v[0]); break;
    case SetField::PointsBaseline: game.pointsBaseline = int32(v[0]); break;
    case SetField::Random: game.random.state = static_cast<std::uint32_t>(v[0]); break;
    }
}

std::string dumpGame(const Game& game) {
    const Player& p = game.player;
    std::string json;
    json.reserve(700);
    auto field = [&json](const char* key, std::int64_t value) {
        json += '"';
        json += key;
        json += "\":";
        json += std::to_string(value);
        json += ',';
    };
    json += '{';
    field("state", static_cast<int>(game.state));
    field("lives", p.lives);
    field("level", p.level);
    field("dropsLeft", p.dropsLeft);
    json += "\"goals\":";
    appendArray(json, p.goals);
    json += ',';
    field("score", p.score);
    field("paddleLane", p.paddleLane);
    field("carriedCount", p.carriedCount);
    json += "\"carried\":";
    appendArray(json, p.carried);
    json += ",\"conveyor\":[";
    for (int lane = 0; lane < laneCount; ++lane) {
        if (lane > 0) json += ',';
        for (int cell = 0; cell < laneCells; ++cell) {
            json += cell == 0 ? '[' : ',';
            json += std::to_string(game.conveyor.at(lane, cell));
        }
        json += ']';
    }
    json += "],\"bin\":[";
    for (int column = 0; column < binColumns; ++column) {
        if (column > 0) json += ',';
        for (int row = 0; row < binRows; ++row) {
            json += row == 0 ? '[' : ',';
            json += std::to_string(game.bin.at(column, row));
        }
        json += ']';
    }
    json += "],";
    field("spawnCounter", game.spawnCounter);
    field("pointsBaseline", game.pointsBaseline);
    json += "\"random\":";
    json += std::to_string(game.random.state);
    json += '}';
    return json;
}

} // namespace plonta
