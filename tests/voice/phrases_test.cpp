#include "voice/phrases.h"

#include <gtest/gtest.h>

#include <string>

#include "voice/spoken_numbers.h"

namespace palomind {
namespace {

constexpr auto kJa = ReadOutLanguage::Japanese;
constexpr auto kEn = ReadOutLanguage::English;

// The characters the Japanese voice reads: kana, ASCII digits, spaces and
// 、。. (placeholders in braces are filled in before speaking).
bool JapaneseVoiceReads(std::string_view text, bool placeholders) {
    std::string rest;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= '0' && c <= '9') || c == ' ' || c == '.') continue;
        if (placeholders && c == '{') {
            i = text.find('}', i);
            continue;
        }
        const std::size_t start = i;
        while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
        const std::string_view character = text.substr(start, i - start + 1);
        if (character == "、" || character == "。") continue;
        if (!IsKanaOnly(character)) return false;
    }
    return true;
}

bool IsAsciiOnly(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) > 0x7E || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

TEST(PhraseTableTest, EveryRowKeepsToTheCharactersItsVoiceReads) {
    ASSERT_FALSE(PhraseTable().empty());
    for (const PhraseRow& row : PhraseTable()) {
        EXPECT_TRUE(JapaneseVoiceReads(row.japanese, true)) << row.japanese;
        EXPECT_TRUE(IsAsciiOnly(row.english)) << row.english;
        EXPECT_FALSE(row.japanese.empty());
        EXPECT_FALSE(row.english.empty());
    }
}

TEST(PhraseTableTest, PassesAreWhoLapAndLapTimeToHundredths) {
    const PhraseFields fields{.who = Entrant(kJa, 5, "R05"), .lap = 3, .lapTime = 12.345};
    EXPECT_EQ(Phrase(PhraseId::Pass, kJa, fields), "ごばん、3しゅう、12てん34");
    EXPECT_EQ(
        Phrase(PhraseId::Pass, kEn, {.who = Entrant(kEn, 5, "R05"), .lap = 3, .lapTime = 12.345}),
        "Number 5, lap 3, 12.34");
    // Hundredths keep their leading zero; a lap of a minute or more says its
    // minutes, and shows them as the race window does (hours dropped).
    EXPECT_EQ(Phrase(PhraseId::Pass, kJa, {.who = "たろう", .lap = 1, .lapTime = 9.05}),
              "たろう、1しゅう、9てん05");
    EXPECT_EQ(Phrase(PhraseId::Pass, kJa, {.who = "たろう", .lap = 12, .lapTime = 65.25}),
              "たろう、12しゅう、1ふん 5てん25");
    EXPECT_EQ(Phrase(PhraseId::Pass, kEn, {.who = "Taro", .lap = 12, .lapTime = 3665.25}),
              "Taro, lap 12, 1 05.25");
}

TEST(PhraseTableTest, CountdownsStartFinishesAndBestLaps) {
    EXPECT_EQ(Phrase(PhraseId::StartIn, kJa, {.seconds = 10}), "スタートまで 10びょう");
    EXPECT_EQ(Phrase(PhraseId::EndIn, kEn, {.seconds = 10}), "10 seconds to go");
    EXPECT_EQ(Phrase(PhraseId::LastSeconds, kJa, {.seconds = 3}), "3");
    EXPECT_EQ(Phrase(PhraseId::Start, kEn, {}), "Start");
    EXPECT_EQ(Phrase(PhraseId::Finished, kJa, {.who = "ごばん", .place = 2}),
              "ごばん、ゴール、2い");
    EXPECT_EQ(Phrase(PhraseId::Finished, kEn, {.who = "Number 12", .place = 12}),
              "Number 12 finished, 12th place");
    EXPECT_EQ(Phrase(PhraseId::BestLap, kEn, {.who = "Taro", .lapTime = 8.5}),
              "Best lap, Taro, 8.50");
}

TEST(PhraseTableTest, NamesAreSpokenOnlyWhereTheVoiceCanReadThem) {
    EXPECT_EQ(Entrant(kJa, 7, "たろう"), "たろう");
    EXPECT_EQ(Entrant(kJa, 7, "タロー"), "タロー");
    EXPECT_EQ(Entrant(kJa, 7, "ﾀﾛｳ"), "ﾀﾛｳ");
    EXPECT_EQ(Entrant(kJa, 7, "山田"), "ななばん");
    EXPECT_EQ(Entrant(kJa, 7, "たろう 2"), "ななばん");
    EXPECT_EQ(Entrant(kJa, 64, "Taro"), "ろくじゅうよんばん");
    EXPECT_EQ(Entrant(kJa, 10, ""), "じゅうばん");
    EXPECT_EQ(Entrant(kEn, 7, "Taro Yamada"), "Taro Yamada");
    EXPECT_EQ(Entrant(kEn, 7, "R07"), "Number 7");
    EXPECT_EQ(Entrant(kEn, 7, "たろう"), "Number 7");
    EXPECT_EQ(Entrant(kEn, 7, "   "), "Number 7");
    // Text that is not UTF-8 is no name.
    EXPECT_EQ(Entrant(kJa, 7, "\xE3\x81"), "ななばん");
}

TEST(PhraseTableTest, ModesOtherThanOneAndTwoReadNothingOut) {
    EXPECT_EQ(LanguageOfMode(1), kJa);
    EXPECT_EQ(LanguageOfMode(2), kEn);
    for (int mode : {0, 3, -1, 5}) EXPECT_FALSE(LanguageOfMode(mode)) << mode;
    EXPECT_EQ(VoiceOf(kJa), "ja");
    EXPECT_EQ(VoiceOf(kEn), "en");
}

TEST(SpokenNumbersTest, KanaNumbersAndOrdinals) {
    EXPECT_EQ(KanaNumber(0), "ぜろ");
    EXPECT_EQ(KanaNumber(5), "ご");
    EXPECT_EQ(KanaNumber(10), "じゅう");
    EXPECT_EQ(KanaNumber(14), "じゅうよん");
    EXPECT_EQ(KanaNumber(40), "よんじゅう");
    EXPECT_EQ(KanaNumber(99), "きゅうじゅうきゅう");
    EXPECT_EQ(KanaNumber(100), "100");
    EXPECT_EQ(EnglishOrdinal(1), "1st");
    EXPECT_EQ(EnglishOrdinal(2), "2nd");
    EXPECT_EQ(EnglishOrdinal(3), "3rd");
    EXPECT_EQ(EnglishOrdinal(11), "11th");
    EXPECT_EQ(EnglishOrdinal(13), "13th");
    EXPECT_EQ(EnglishOrdinal(22), "22nd");
    EXPECT_EQ(EnglishOrdinal(63), "63rd");
}

}  // namespace
}  // namespace palomind
