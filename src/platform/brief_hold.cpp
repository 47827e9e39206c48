#include "platform/brief_hold.h"

namespace tesoro {

void RetryWhileHeld(const std::function<bool()>& attempt, HoldClock& clock) {
    const std::uint64_t start = clock.NowMs();
    while (attempt() && clock.NowMs() - start < kHoldRetryMs) clock.Wait(kHoldWaitMs);
}

}  // namespace tesoro
