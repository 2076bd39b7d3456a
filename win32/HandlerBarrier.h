#pragma once
// Portable: no platform header, so that its tests run natively.
#include <new>
#include <utility>

namespace cuewire {

// Where an exception from a message handler ends. A window procedure is called
// by the system, and an exception that unwinds through the system's frames ends
// the process: its sender, its number and its receivers left behind. Through
// the barrier the message counts as handled with a fallback result instead,
// and the program goes on with the state the handler left (the output keeps
// the last frame it sent). The first failure of the process asks for one
// report; later ones are only counted, because a failing allocation tends to
// fail again on every paint and tick, and a box for each would bury the
// desktop. UI thread only.
class CHandlerBarrier {
  public:
    enum class Failure { kNone, kOutOfMemory, kOther };

    // Runs `handler` and returns its result, or `whenFailed` if it throws.
    template <typename Handler, typename Result>
    Result Run(Handler&& handler, Result whenFailed) noexcept {
        try {
            return std::forward<Handler>(handler)();
        } catch (const std::bad_alloc&) {
            Note(Failure::kOutOfMemory);
        } catch (...) {
            Note(Failure::kOther);
        }
        return whenFailed;
    }

    // The first failure, once: kNone when there is none or it was taken already.
    Failure TakeReport() {
        const Failure report = m_bReported ? Failure::kNone : m_firstFailure;
        m_bReported = m_bReported || report != Failure::kNone;
        return report;
    }
    int Failures() const { return m_nFailures; }

  private:
    void Note(Failure failure) noexcept {
        if (m_firstFailure == Failure::kNone) {
            m_firstFailure = failure;
        }
        ++m_nFailures;
    }

    Failure m_firstFailure = Failure::kNone;
    bool m_bReported = false;
    int m_nFailures = 0;
};

}  // namespace cuewire
