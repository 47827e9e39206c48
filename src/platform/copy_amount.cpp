#include "platform/copy_amount.h"

#include <algorithm>

namespace tesoro {
namespace {

std::wstring WithThousands(std::uint64_t value) {
    std::wstring digits = std::to_wstring(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, 1, L'.');
    return digits;
}

}  // namespace

std::wstring CopiedAmountText(std::uint64_t done, std::uint64_t total) {
    constexpr std::uint64_t kKilo = 1024, kMega = 1024 * 1024;
    const std::uint64_t unit = total < kKilo ? 1 : total < kMega ? kKilo : kMega;
    const wchar_t* name = unit == 1 ? L" bytes" : unit == kKilo ? L" KB" : L" MB";
    done = std::min(done, total);
    const std::uint64_t shownTotal = (total + unit / 2) / unit;
    const std::uint64_t shownDone =
        done == total ? shownTotal : std::min(done / unit, shownTotal > 0 ? shownTotal - 1 : 0);
    return WithThousands(shownDone) + name + L" de " + WithThousands(shownTotal) + name;
}

}  // namespace tesoro
