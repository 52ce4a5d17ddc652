// One reference to a COM interface, given back when the pointer goes or is reset.
#pragma once

#include <utility>

namespace plonta {

template <typename Interface> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    bool operator==(std::nullptr_t) const { return object_ == nullptr; }

    // Releases the reference held, if any; safe to call again.
    void reset() {
        if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
    }
    // For a creating call's out parameter: the old reference goes first.
    Interface** put() {
        reset();
        return &object_;
    }

  private:
    Interface* object_ = nullptr;
};

} // namespace plonta
