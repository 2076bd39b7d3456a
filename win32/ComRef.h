#pragma once
#include <unknwn.h>

#include <utility>

namespace cuewire {

// Owns one reference to a COM object and releases it. Movable, never copied,
// so no reference is added or released twice.
template <typename T>
class CComRef {
  public:
    CComRef() = default;
    ~CComRef() { Reset(); }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    CComRef(CComRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CComRef& operator=(CComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // For the out-parameter of a call that hands over a reference.
    T** Put() {
        Reset();
        return &m_p;
    }
    void Reset() {
        if (m_p) {
            std::exchange(m_p, nullptr)->Release();
        }
    }
    // Another interface of the same object, or empty when it has none.
    template <typename U>
    CComRef<U> As() const {
        CComRef<U> other;
        if (m_p) {
            m_p->QueryInterface(__uuidof(U), reinterpret_cast<void**>(other.Put()));
        }
        return other;
    }

  private:
    T* m_p = nullptr;
};

}  // namespace cuewire
