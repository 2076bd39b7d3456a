#pragma once
// The one owner of a COM interface pointer: releases it when it goes. Movable,
// never copied, so no reference is added or released twice.
#include <utility>

namespace cuewire {

template <typename Interface>
class ComOwner {
  public:
    ComOwner() = default;
    ~ComOwner() { Reset(); }
    ComOwner(const ComOwner&) = delete;
    ComOwner& operator=(const ComOwner&) = delete;
    ComOwner(ComOwner&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComOwner& operator=(ComOwner&& other) noexcept {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    Interface* Get() const { return m_p; }
    Interface* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // For the creating call's out parameter; releases what was held first.
    Interface** Put() {
        Reset();
        return &m_p;
    }

  private:
    void Reset() {
        if (m_p) {
            m_p->Release();
            m_p = nullptr;
        }
    }

    Interface* m_p = nullptr;
};

}  // namespace cuewire
