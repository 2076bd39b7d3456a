#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace cuewire {

// Which discovery requests a numbered copy answers. A real copy asks once in
// its life, so a requester heard again within a few seconds is a program
// repeating itself, and answering it every time would let one program make
// every copy broadcast to every window on the desktop as fast as it can post.
// The memory is a small fixed table of recent requesters.
class CReplyThrottle {
  public:
    // Twice the numbering delay: a copy's single request is long settled by
    // then, and it caps a repeating requester at one answer per five seconds.
    static constexpr uint64_t kQuietMilliseconds = 5000;
    // Far more than the eight copies and their neighbours that ever start
    // within a quiet period; a flood of invented requesters fills it instead,
    // and then waits for its oldest entry to fall quiet. No copy needs the
    // answer to keep off a held number, its claim does that.
    static constexpr size_t kRecentRequesters = 64;

    // True when `requester` is answered at `nowMilliseconds` (a monotonic
    // clock), which is then remembered; a requester not heard within the quiet
    // period is answered at once unless the table is full of recent ones.
    bool MayAnswer(uint32_t requester, uint64_t nowMilliseconds);

  private:
    struct Answered {
        uint32_t requester = 0;
        uint64_t at = 0;
        bool used = false;
    };
    bool Quiet(const Answered& entry, uint64_t now) const {
        return now - entry.at >= kQuietMilliseconds;
    }

    std::array<Answered, kRecentRequesters> m_answered{};
};

}  // namespace cuewire
