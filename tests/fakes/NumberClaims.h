#pragma once
// Number claims for tests: named objects of one simulated machine, shared by
// every copy in every desktop session on it, and each copy's claims on them,
// released when the copy lets them go or ends. Names resolve as the platform
// resolves them: "Global\" in the machine's namespace, "Local\" in the
// claiming copy's session.
#include <set>
#include <string>
#include <string_view>

#include "link/NumberClaims.h"

namespace cuewire::testing {

class ClaimTable {
  public:
    // The object a name stands for, seen from a session.
    static std::u16string Resolve(std::u16string_view name, int session) {
        constexpr std::u16string_view kGlobal = u"Global\\";
        constexpr std::u16string_view kLocal = u"Local\\";
        if (name.substr(0, kGlobal.size()) == kGlobal) {
            return std::u16string(name.substr(kGlobal.size()));
        }
        std::u16string object = u"Sessions\\";
        object += static_cast<char16_t>(u'0' + session);
        object += u'\\';
        object += name.substr(name.substr(0, kLocal.size()) == kLocal ? kLocal.size() : 0);
        return object;
    }

    // Another program creates the object that stands for `number` and keeps it.
    void HoldElsewhere(int32_t number) { m_held.insert(Resolve(NumberClaimName(number), 0)); }
    bool IsHeld(int32_t number) const {
        return m_held.count(Resolve(NumberClaimName(number), 0)) != 0;
    }

  private:
    friend class TableClaims;
    std::set<std::u16string> m_held;
};

class TableClaims final : public INumberClaims {
  public:
    TableClaims(ClaimTable& table, int session) : m_table(table), m_session(session) {}
    ~TableClaims() override { ReleaseAll(); }
    TableClaims(const TableClaims&) = delete;
    TableClaims& operator=(const TableClaims&) = delete;

    bool Claim(int32_t number) override {
        ++attempts;
        const std::u16string object = ClaimTable::Resolve(NumberClaimName(number), m_session);
        if (!m_table.m_held.insert(object).second) {
            return false;
        }
        m_mine.insert(object);
        return true;
    }
    void ReleaseAll() override {
        for (const std::u16string& object : m_mine) {
            m_table.m_held.erase(object);
        }
        m_mine.clear();
    }

    int attempts = 0;

  private:
    ClaimTable& m_table;
    int m_session;
    std::set<std::u16string> m_mine;
};

}  // namespace cuewire::testing
