#pragma once
// Link buses for tests: one that records what a copy posts, and one desktop
// shared by several simulated copies, which delivers every post to every copy
// (the poster included) when pumped, like a broadcast through window queues,
// in one session of a machine whose named objects hold the copies' number
// claims (the desktop's own machine unless it is given one to share).
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "link/LinkBus.h"
#include "tests/fakes/NumberClaims.h"

namespace cuewire::testing {

struct LinkMessage {
    uint64_t code;
    int64_t value;
    bool operator==(const LinkMessage&) const = default;
};

class RecordingBus final : public ILinkBus {
  public:
    void Post(uint64_t code, int64_t value) override { messages.push_back({code, value}); }
    std::vector<LinkMessage> messages;
};

class SharedDesktop {
  public:
    using Receiver = std::function<void(uint64_t, int64_t)>;

    // One copy's bus on this desktop.
    class Bus final : public ILinkBus {
      public:
        explicit Bus(SharedDesktop& desktop) : m_desktop(desktop) {}
        void Post(uint64_t code, int64_t value) override {
            m_desktop.m_queue.push_back({code, value});
            m_desktop.log.push_back({code, value});
        }

      private:
        SharedDesktop& m_desktop;
    };

    SharedDesktop() : claims(m_ownMachine) {}
    // A desktop in session `session` of `machine`, beside other desktops there.
    SharedDesktop(ClaimTable& machine, int session) : claims(machine), session(session) {}
    SharedDesktop(const SharedDesktop&) = delete;
    SharedDesktop& operator=(const SharedDesktop&) = delete;

    int Join(Receiver receiver) {
        m_receivers.push_back(std::move(receiver));
        return static_cast<int>(m_receivers.size()) - 1;
    }
    void Leave(int id) { m_receivers[static_cast<size_t>(id)] = nullptr; }

    // Delivers queued messages, and those their handling posts, to every copy.
    void Pump() {
        while (!m_queue.empty()) {
            const LinkMessage message = m_queue.front();
            m_queue.pop_front();
            for (size_t i = 0; i < m_receivers.size(); ++i) {
                if (m_receivers[i]) {
                    m_receivers[i](message.code, message.value);
                }
            }
        }
    }

  private:
    ClaimTable m_ownMachine;

  public:
    std::vector<LinkMessage> log;
    ClaimTable& claims;
    int session = 1;

  private:
    std::deque<LinkMessage> m_queue;
    std::vector<Receiver> m_receivers;
};

}  // namespace cuewire::testing
