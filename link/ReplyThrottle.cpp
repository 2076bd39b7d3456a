#include "link/ReplyThrottle.h"

namespace cuewire {

bool CReplyThrottle::MayAnswer(uint32_t requester, uint64_t now) {
    Answered* oldest = nullptr;
    for (Answered& entry : m_answered) {
        if (entry.used && entry.requester == requester) {
            if (!Quiet(entry, now)) {
                return false;
            }
            entry.at = now;
            return true;
        }
        // Room for a new requester: a free entry, else the one answered longest ago.
        if (!entry.used) {
            if (!oldest || oldest->used) {
                oldest = &entry;
            }
        } else if (!oldest || (oldest->used && entry.at < oldest->at)) {
            oldest = &entry;
        }
    }
    // Never the room of one still within its quiet period: that would make
    // room for the next invented requester and bound nothing.
    if (oldest->used && !Quiet(*oldest, now)) {
        return false;
    }
    *oldest = {requester, now, true};
    return true;
}

}  // namespace cuewire
