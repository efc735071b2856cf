#pragma once

namespace palomind {

// Window layouts and the printed report are given in twips, 1/1440 inch.
inline constexpr int kTwipsPerInch = 1440;

}  // namespace palomind
