#pragma once
#include <cstdint>

namespace palomind {

// The largest number the meeting's JSON readers take, so that no sum of
// them overflows.
inline constexpr std::int64_t kLargestNumber = 1'000'000'000'000;  // ms: about 31 years

}  // namespace palomind
