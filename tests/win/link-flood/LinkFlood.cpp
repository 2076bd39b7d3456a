// A hostile neighbour on the link: posts COUNT messages of Cuewire's registered
// message with seeded random codes and values, most straight to one copy's
// window and P percent to every top-level window, while it checks that the
// copy keeps answering.
//
//   link-flood --window HWND [--count N] [--seed S] [--broadcast-percent P]
//              [--ping-every K] [--drain-seconds D] [--drain-control ID]
//
// Defaults: N 100000, S 1, P 5, K 2000, D 120, ID 1040. A broadcast costs Wine a post to
// every top-level window of the session, about ten times a direct post; P keeps
// a flood of 100000 within a couple of minutes there.
//
// Half the codes are drawn from 0 to 15, so that the protocol's own codes come
// up often (a discovery request, 2, makes the copy broadcast a number reply,
// 3); the other half from the whole 64-bit range. Values likewise: half from a
// small range around the copy numbers, half from the whole range.
//
// The copy answers a discovery request with one reply, but each requester (the
// request's value, a process id) at most once in a few seconds, and answers
// nothing else; this program answers nothing at all, so the flood cannot feed
// itself. It listens with a hidden top-level window only to count the copy's
// replies, against the requests and the distinct requesters that could have
// been answered, and says which number the copy answered with. Its own
// broadcasts reach that window too; they are known and taken off the tally.
//
// Replies no longer say when the copy has worked through the flood, so after
// it this program posts one character to the copy's control ID (an edit; the
// last slot's by default): messages posted to one thread are handled in
// order, so once the character shows, every message of the flood has been.
//
// A post that fails because a queue is full is retried after yielding, for up
// to 30 s; a queue full for longer ends the flood as failed. Every K posts,
// and after the flood, the copy is asked for WM_NULL with SendMessageTimeout
// (5 s limit); the time of each answer is kept.
//
// Lines (times in milliseconds):
//   target pid=<p> title=<title>
//   progress <i> ms=<t> ping=<answer time or "unanswered">   every K posts
//   posted <n> direct=<d> broadcast=<b> requests=<r> ms=<t> rate=<per second>
//   queue-full <q>
//   ping during count=<c> unanswered=<u> median=<m> max=<x>
//   drained ms=<t>                      the character posted last has arrived
//   ping after ms=<t>                   or "ping after unanswered"
//   replies <n> requests=<r> requesters=<d> span-ms=<t> number <k>=<count> ...
//                      numbers 1-based; <t> from the flood's start to the drain
// Exit status: 0 when the flood ran to its end and the copy worked through it;
// 1 when the copy's window went away, a post failed for another reason than a
// full queue or a queue stayed full, or the copy did not drain; 64 on bad usage.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "win32/WideText.h"
#include "link/LinkCodes.h"
#include "tests/win/common/NumberOptions.h"

namespace cuewire {
namespace {

constexpr DWORD kPingTimeoutMs = 5000;
constexpr double kQueueFullLimitMs = 30000.0;
constexpr int kPumpEvery = 500;  // keeps this program's own queue short

struct Options {
    long window = 0;
    long count = 100000;
    long seed = 1;
    long broadcastPercent = 5;
    long pingEvery = 2000;
    long drainSeconds = 120;
    long drainControl = 1040;
};

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

std::string Format(double milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", milliseconds);
    return text;
}

// The number replies that reached the listening window, by value, less the
// flood's own broadcasts of code 3, which come back to it as well.
struct ReplyTally {
    UINT linkMessage = 0;
    std::map<int64_t, long> byValue;

    long Total() const {
        long total = 0;
        for (const auto& [value, count] : byValue) {
            total += count;
        }
        return total;
    }
};

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tally = reinterpret_cast<ReplyTally*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (tally && message == tally->linkMessage) {
        // Counted, never answered: an answer here could start a loop.
        if (static_cast<uint64_t>(wParam) == kLinkNumberReply) {
            ++tally->byValue[static_cast<int64_t>(lParam)];
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PumpOwnQueue() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

// Milliseconds until the copy answered WM_NULL; negative when it did not.
double Ping(HWND target) {
    const LARGE_INTEGER start = Now();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kPingTimeoutMs, &result)) {
        return -1.0;
    }
    return MillisecondsSince(start);
}

// The random traffic, reproducible from the seed.
class CFloodSource {
  public:
    explicit CFloodSource(uint64_t seed) : m_random(seed) {}

    uint64_t NextCode() { return Coin() ? m_random() % 16 : m_random(); }
    int64_t NextValue() {
        return Coin() ? static_cast<int64_t>(m_random() % 49) - 8
                      : static_cast<int64_t>(m_random());
    }
    bool NextIsBroadcast(long percent) { return static_cast<long>(m_random() % 100) < percent; }

  private:
    bool Coin() { return (m_random() & 1) != 0; }

    std::mt19937_64 m_random;
};

class CFlood {
  public:
    CFlood(const Options& options, UINT linkMessage, HWND target, DWORD targetProcessId)
        : m_options(options),
          m_nLinkMessage(linkMessage),
          m_hTarget(target),
          m_dwTargetProcessId(targetProcessId),
          m_source(static_cast<uint64_t>(options.seed)) {
        m_tally.linkMessage = linkMessage;
    }

    bool CreateListener(HINSTANCE instance);
    int Run();

  private:
    // False when the message could not be posted for another reason than a full queue.
    bool PostOne(uint64_t code, int64_t value, bool broadcast);
    void Flood();
    bool WaitUntilDrained();
    void PrintReplies();

    const Options& m_options;
    UINT m_nLinkMessage;
    HWND m_hTarget;
    DWORD m_dwTargetProcessId;
    CFloodSource m_source;
    ReplyTally m_tally;
    HWND m_hListener = nullptr;
    long m_nDirect = 0;
    long m_nBroadcast = 0;
    long m_nRequests = 0;  // discovery requests a copy may answer
    long m_nQueueFull = 0;
    std::set<int64_t> m_requesters;  // distinct values of those requests
    LARGE_INTEGER m_floodStart{};
    double m_spanMs = 0.0;
    bool m_bFailed = false;
    std::vector<double> m_pingTimes;
    long m_nUnanswered = 0;
};

bool CFlood::CreateListener(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ListenerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"CuewireLinkFlood";
    if (!RegisterClassW(&windowClass)) {
        return false;
    }
    // Top-level and never shown: broadcasts do not reach message-only windows.
    m_hListener = CreateWindowExW(0, windowClass.lpszClassName, L"Cuewire link flood",
                                  WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, &m_tally);
    return m_hListener != nullptr;
}

bool CFlood::PostOne(uint64_t code, int64_t value, bool broadcast) {
    const HWND to = broadcast ? HWND_BROADCAST : m_hTarget;
    const LARGE_INTEGER start = Now();
    while (
        !PostMessageW(to, m_nLinkMessage, static_cast<WPARAM>(code), static_cast<LPARAM>(value))) {
        // A queue that stays full is a copy that stopped reading it.
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA || !IsWindow(m_hTarget) ||
            MillisecondsSince(start) > kQueueFullLimitMs) {
            return false;
        }
        ++m_nQueueFull;
        PumpOwnQueue();
        Sleep(1);
    }
    if (broadcast) {
        ++m_nBroadcast;
        // It comes back to the listener: take it off the tally in advance.
        if (code == kLinkNumberReply) {
            --m_tally.byValue[value];
        }
    } else {
        ++m_nDirect;
    }
    // Only a value that can be a process id is a request a copy answers.
    if (code == kLinkDiscoveryRequest && value >= 0 && value <= int64_t{UINT32_MAX} &&
        value != static_cast<int64_t>(m_dwTargetProcessId)) {
        ++m_nRequests;
        m_requesters.insert(value);
    }
    return true;
}

void CFlood::Flood() {
    m_floodStart = Now();
    const LARGE_INTEGER start = m_floodStart;
    for (long i = 0; i < m_options.count; ++i) {
        const uint64_t code = m_source.NextCode();
        const int64_t value = m_source.NextValue();
        const bool broadcast = m_source.NextIsBroadcast(m_options.broadcastPercent);
        if (!PostOne(code, value, broadcast)) {
            std::fprintf(stderr, "link-flood: post %ld failed (error %lu)\n", i, GetLastError());
            m_bFailed = true;
            break;
        }
        if (i % kPumpEvery == 0) {
            PumpOwnQueue();
        }
        if (m_options.pingEvery > 0 && (i + 1) % m_options.pingEvery == 0) {
            const double took = Ping(m_hTarget);
            if (took < 0) {
                ++m_nUnanswered;
            } else {
                m_pingTimes.push_back(took);
            }
            PrintLine("progress " + std::to_string(i + 1) +
                      " ms=" + Format(MillisecondsSince(start)) +
                      " ping=" + (took < 0 ? std::string("unanswered") : Format(took)));
        }
    }
    const double took = MillisecondsSince(start);
    const long posted = m_nDirect + m_nBroadcast;
    PrintLine("posted " + std::to_string(posted) + " direct=" + std::to_string(m_nDirect) +
              " broadcast=" + std::to_string(m_nBroadcast) +
              " requests=" + std::to_string(m_nRequests) + " ms=" + Format(took) +
              " rate=" + std::to_string(took > 0 ? static_cast<long>(posted * 1000.0 / took) : 0));
    PrintLine("queue-full " + std::to_string(m_nQueueFull));

    std::vector<double> sorted = m_pingTimes;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted.empty() ? 0.0 : sorted[sorted.size() / 2];
    const double maximum = sorted.empty() ? 0.0 : sorted.back();
    PrintLine("ping during count=" + std::to_string(sorted.size() + m_nUnanswered) +
              " unanswered=" + std::to_string(m_nUnanswered) + " median=" + Format(median) +
              " max=" + Format(maximum));
}

// The length of an edit's text in another process: GetWindowTextLength would
// read only the window's caption there; -1 when the copy does not answer.
long EditTextLength(HWND edit) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kPingTimeoutMs,
                             &length)) {
        return -1;
    }
    return static_cast<long>(length);
}

// Posted messages are handled in order: once the character posted after the
// flood has reached the copy's edit, it has handled the whole flood.
bool CFlood::WaitUntilDrained() {
    const LARGE_INTEGER start = Now();
    const HWND edit = GetDlgItem(m_hTarget, static_cast<int>(m_options.drainControl));
    if (!edit) {
        PrintLine("drained no, the copy has no control " + std::to_string(m_options.drainControl));
        return false;
    }
    const long before = EditTextLength(edit);
    if (!PostMessageW(edit, WM_CHAR, L'~', 1)) {
        return false;
    }
    const double limit = 1000.0 * static_cast<double>(m_options.drainSeconds);
    while (EditTextLength(edit) <= before) {
        if (MillisecondsSince(start) > limit || !IsWindow(m_hTarget)) {
            PrintLine("drained no, the character did not arrive within " + Format(limit) + " ms");
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpOwnQueue();
    }
    m_spanMs = MillisecondsSince(m_floodStart);
    PrintLine("drained ms=" + Format(MillisecondsSince(start)));
    return true;
}

void CFlood::PrintReplies() {
    // Late or duplicate replies would show here, after a short quiet spell.
    const LARGE_INTEGER start = Now();
    while (MillisecondsSince(start) < 1000.0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpOwnQueue();
    }
    std::string line = "replies " + std::to_string(m_tally.Total()) +
                       " requests=" + std::to_string(m_nRequests) +
                       " requesters=" + std::to_string(m_requesters.size()) +
                       " span-ms=" + std::to_string(static_cast<long long>(m_spanMs));
    for (const auto& [value, count] : m_tally.byValue) {
        if (count != 0) {
            line += " number " + std::to_string(value + 1) + "=" + std::to_string(count);
        }
    }
    PrintLine(line);
}

int CFlood::Run() {
    Flood();
    if (m_bFailed) {
        return 1;
    }
    const bool drained = WaitUntilDrained();
    const double after = Ping(m_hTarget);
    PrintLine(after < 0 ? "ping after unanswered" : "ping after ms=" + Format(after));
    PrintReplies();
    return drained && IsWindow(m_hTarget) ? 0 : 1;
}

}  // namespace
}  // namespace cuewire

int main(int argc, char** argv) {
    using namespace cuewire;
    Options options;
    if (!test_programs::ParseNumberOptions(argc, argv,
                                           {{"--window", &options.window},
                                            {"--count", &options.count},
                                            {"--seed", &options.seed},
                                            {"--broadcast-percent", &options.broadcastPercent},
                                            {"--ping-every", &options.pingEvery},
                                            {"--drain-seconds", &options.drainSeconds},
                                            {"--drain-control", &options.drainControl}}) ||
        options.window == 0 || options.broadcastPercent > 100) {
        std::fprintf(stderr,
                     "usage: link-flood --window HWND [--count N] [--seed S] "
                     "[--broadcast-percent P] [--ping-every K] [--drain-seconds D] "
                     "[--drain-control ID]\n");
        return 64;
    }
    const HWND target = reinterpret_cast<HWND>(static_cast<intptr_t>(options.window));
    DWORD targetProcessId = 0;
    if (!IsWindow(target) || !GetWindowThreadProcessId(target, &targetProcessId)) {
        std::fprintf(stderr, "link-flood: no window %ld\n", options.window);
        return 1;
    }
    wchar_t title[256] = {};
    InternalGetWindowText(target, title, 256);
    PrintLine("target pid=" + std::to_string(targetProcessId) + " title=" + ToUtf8(title));

    CFlood flood(options,
                 RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(kLinkMessageName)), target,
                 targetProcessId);
    if (!flood.CreateListener(GetModuleHandleW(nullptr))) {
        std::fprintf(stderr, "link-flood: cannot create its listening window\n");
        return 1;
    }
    return flood.Run();
}
