// The sending thread: one per request, joined when its answer is taken.
#include "frontend/score_sender.h"

#include <chrono>
#include <utility>

namespace plonta {

ScoreSender::ScoreSender(ScoreClient& client, std::function<void()> wake)
    : client_(client), wake_(std::move(wake)) {}

ScoreSender::~ScoreSender() {
    if (worker_.joinable()) worker_.join();
}

void ScoreSender::send(const ServerAddress& server, std::string path, std::string body) {
    std::promise<HttpAnswer> promise;
    answer_ = promise.get_future();
    worker_ = std::thread([this, server, path = std::move(path), body = std::move(body),
                           promise = std::move(promise)]() mutable {
        // The answer is ready before the loop hears of it, so its look never comes too early.
        promise.set_value(client_.post(server, path, body));
        wake_();
    });
}

std::optional<HttpAnswer> ScoreSender::take() {
    if (!worker_.joinable() ||
        answer_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return std::nullopt;
    worker_.join();
    return answer_.get();
}

} // namespace plonta
