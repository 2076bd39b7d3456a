#pragma once
// Number claims for tests: one table per simulated desktop, shared by every
// copy on it, and each copy's claims on it, released when the copy ends.
#include <set>

#include "link/NumberClaims.h"

namespace cuewire::testing {

class ClaimTable {
  public:
    // A number held by something that is not a simulated copy, or whose claim
    // the desktop refuses for any other reason.
    void HoldElsewhere(int32_t number) { m_held.insert(number); }
    bool IsHeld(int32_t number) const { return m_held.count(number) != 0; }

  private:
    friend class TableClaims;
    std::set<int32_t> m_held;
};

class TableClaims final : public INumberClaims {
  public:
    explicit TableClaims(ClaimTable& table) : m_table(table) {}
    ~TableClaims() override {
        for (int32_t number : m_mine) {
            m_table.m_held.erase(number);
        }
    }
    TableClaims(const TableClaims&) = delete;
    TableClaims& operator=(const TableClaims&) = delete;

    bool Claim(int32_t number) override {
        ++attempts;
        if (!m_table.m_held.insert(number).second) {
            return false;
        }
        m_mine.insert(number);
        return true;
    }

    int attempts = 0;

  private:
    ClaimTable& m_table;
    std::set<int32_t> m_mine;
};

}  // namespace cuewire::testing
