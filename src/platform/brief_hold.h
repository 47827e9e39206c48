// Another program may hold a file for a moment right after it was written (a virus scanner, an indexer
// reading the older copy): putting a file in place is tried again while it is held, with short waits,
// for up to two seconds before the failure counts.
#pragma once

#include <cstdint>
#include <functional>

namespace tesoro {

class HoldClock {
public:
    virtual ~HoldClock() = default;
    virtual std::uint64_t NowMs() = 0;
    virtual void Wait(unsigned ms) = 0;
};

constexpr unsigned kHoldRetryMs = 2000;
constexpr unsigned kHoldWaitMs = 50;

// Runs `attempt` until it returns false (done, or failed for another reason than a hold), or two seconds
// have passed since the first try. `attempt` returns true when the file was held.
void RetryWhileHeld(const std::function<bool()>& attempt, HoldClock& clock);

}  // namespace tesoro
