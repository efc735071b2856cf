#pragma once
#include <array>
#include <string_view>

namespace palomind {

// The paces the voice speaks at, in words per minute, as 設定 > 読上げ設定 >
// "読上げ速度" offers them. At the default a lap call of a number and a lap
// time lasts well under two seconds, so eight cars on 15-second laps are all
// called.
struct SpeechPace {
    std::string_view caption;
    int wordsPerMinute;
};
inline constexpr std::array<SpeechPace, 3> kSpeechPaces{{
    {"標準", 190},
    {"速い", 300},
    {"最速", 350},
}};
inline constexpr int kDefaultWordsPerMinute = kSpeechPaces[1].wordsPerMinute;
// The paces eSpeak NG can speak at ("--say --rate").
inline constexpr int kSlowestWordsPerMinute = 80;
inline constexpr int kFastestWordsPerMinute = 450;

}  // namespace palomind
