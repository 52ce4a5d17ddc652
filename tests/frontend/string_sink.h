// A recording sink into a string, which can be told to fail.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "frontend/recording.h"

namespace plonta::test {

class StringSink final : public RecordingSink {
  public:
    // writes, when given, counts the writes made.
    explicit StringSink(std::string& text, int failAtWrite = 0, bool* closed = nullptr,
                        int* writes = nullptr)
        : text_(text), failAtWrite_(failAtWrite), closed_(closed), counted_(writes) {}
    ~StringSink() override {
        if (closed_ != nullptr) *closed_ = true;
    }
    StringSink(const StringSink&) = delete;
    StringSink& operator=(const StringSink&) = delete;

    bool replaceFrom(std::uint64_t offset, std::string_view text, std::string& error) override {
        if (counted_ != nullptr) ++*counted_;
        if (++made_ == failAtWrite_) {
            // As a full disk does: part of the text, then back to offset.
            text_.resize(static_cast<std::size_t>(offset));
            error = "No space left on device";
            return false;
        }
        // Rewrites stay inside the file: a gap would be bytes no one wrote.
        EXPECT_LE(offset, text_.size());
        text_.resize(static_cast<std::size_t>(offset));
        text_ += text;
        return true;
    }

  private:
    int made_ = 0;
    std::string& text_;
    int failAtWrite_;
    bool* closed_;
    int* counted_;
};

} // namespace plonta::test
