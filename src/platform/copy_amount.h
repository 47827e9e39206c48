// How the progress window tells how much of a copy is done.
#pragma once

#include <cstdint>
#include <string>

namespace tesoro {

// "384 MB de 1.024 MB": both amounts in the unit that suits the total (bytes, KB or MB), whole numbers
// with Spanish thousands separators. The amount done is rounded down, so it reaches the total only at
// the very end.
std::wstring CopiedAmountText(std::uint64_t done, std::uint64_t total);

}  // namespace tesoro
