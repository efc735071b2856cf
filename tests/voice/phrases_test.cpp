#include "voice/phrases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "voice/spoken_numbers.h"

namespace palomind {
namespace {

constexpr auto kJa = ReadOutLanguage::Japanese;
constexpr auto kEn = ReadOutLanguage::English;

// The characters the Japanese voice reads: kana, ASCII digits, spaces, 、。.
bool JapaneseVoiceReads(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((text[i] >= '0' && text[i] <= '9') || text[i] == ' ' || text[i] == '.') continue;
        const std::size_t start = i;
        while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
        const std::string_view character = text.substr(start, i - start + 1);
        if (character != "、" && character != "。" && !IsKanaOnly(character)) return false;
    }
    return true;
}

bool IsPrintableAscii(std::string_view text) {
    for (const char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

// Every row, filled in with an ID, a name of each kind, laps under and over a
// minute and a place.
TEST(PhraseTableTest, EveryPhraseKeepsToTheCharactersItsVoiceReads) {
    ASSERT_FALSE(PhraseTable().empty());
    for (const PhraseRow& row : PhraseTable()) {
        for (const char* name : {"R05", "たろう", "Taro", ""}) {
            for (const double lapTime : {9.05, 83.45}) {
                PhraseFields fields{.lap = 12, .lapTime = lapTime, .seconds = 10, .place = 3};
                fields.who = SpokenEntrant(kJa, 5, name);
                const std::string japanese = Phrase(row.id, kJa, fields);
                fields.who = SpokenEntrant(kEn, 5, name);
                const std::string english = Phrase(row.id, kEn, fields);
                EXPECT_TRUE(JapaneseVoiceReads(japanese) && !japanese.empty()) << japanese;
                EXPECT_TRUE(IsPrintableAscii(english) && !english.empty()) << english;
            }
        }
    }
}

TEST(PhraseTableTest, LapCallsSayTheChosenPartsInTheirOrder) {
    struct Case {
        int parts;
        const char* japanese;
        const char* english;
    };
    const PhraseFields fields{.who = "R05", .lap = 3, .lapTime = 12.345, .place = 2};
    for (const Case& c : {
             Case{kDefaultCallParts, "ごばん、12てん34", "Number 5, 12.34"},
             Case{kAllCallParts, "ごばん、3しゅう、12てん34、2い",
                  "Number 5, lap 3, 12.34, 2nd place"},
             Case{kCallWho | kCallLaps | kCallLapTime, "ごばん、3しゅう、12てん34",
                  "Number 5, lap 3, 12.34"},
             Case{kCallLapTime, "12てん34", "12.34"},
             Case{kCallWho | kCallPlace, "ごばん、2い", "Number 5, 2nd place"},
             Case{0, "", ""},
         }) {
        PhraseFields ja = fields;
        ja.who = SpokenEntrant(kJa, 5, fields.who);
        PhraseFields en = fields;
        en.who = SpokenEntrant(kEn, 5, fields.who);
        EXPECT_EQ(LapCall(kJa, c.parts, ja), c.japanese) << c.parts;
        EXPECT_EQ(LapCall(kEn, c.parts, en), c.english) << c.parts;
    }
}

TEST(PhraseTableTest, ALapCallLeavesOutAPlaceTheEntrantDoesNotHave) {
    EXPECT_EQ(LapCall(kJa, kAllCallParts, {.who = "ろくじゅうよんばん", .lap = 1, .lapTime = 9.05}),
              "ろくじゅうよんばん、1しゅう、9てん05");
}

TEST(PhraseTableTest, LapTimesAreToHundredthsWithMinutesAsTheWindowShowsThem) {
    // Hundredths keep their leading zero; a lap of a minute or more says its
    // minutes, and shows them as the race window does (hours dropped).
    EXPECT_EQ(LapCall(kJa, kDefaultCallParts, {.who = "たろう", .lapTime = 9.05}),
              "たろう、9てん05");
    EXPECT_EQ(LapCall(kJa, kDefaultCallParts, {.who = "たろう", .lapTime = 65.25}),
              "たろう、1ふん 5てん25");
    EXPECT_EQ(LapCall(kEn, kDefaultCallParts, {.who = "Taro", .lapTime = 3665.25}),
              "Taro, 1 05.25");
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
    EXPECT_EQ(SpokenEntrant(kJa, 7, "たろう"), "たろう");
    EXPECT_EQ(SpokenEntrant(kJa, 7, "タロー"), "タロー");
    EXPECT_EQ(SpokenEntrant(kJa, 7, "ﾀﾛｳ"), "ﾀﾛｳ");
    EXPECT_EQ(SpokenEntrant(kJa, 7, "山田"), "ななばん");
    EXPECT_EQ(SpokenEntrant(kJa, 7, "たろう 2"), "ななばん");
    EXPECT_EQ(SpokenEntrant(kJa, 64, "Taro"), "ろくじゅうよんばん");
    EXPECT_EQ(SpokenEntrant(kJa, 10, ""), "じゅうばん");
    EXPECT_EQ(SpokenEntrant(kEn, 7, "Taro Yamada"), "Taro Yamada");
    EXPECT_EQ(SpokenEntrant(kEn, 7, "R07"), "Number 7");
    EXPECT_EQ(SpokenEntrant(kEn, 7, "たろう"), "Number 7");
    EXPECT_EQ(SpokenEntrant(kEn, 7, "   "), "Number 7");
    // Text that is not UTF-8 is no name.
    EXPECT_EQ(SpokenEntrant(kJa, 7, "\xE3\x81"), "ななばん");
}

TEST(SpokenNumbersTest, OrdinalsTakeTheirSuffixFromTheLastTwoDigits) {
    std::vector<std::string> ordinals;
    for (int n : {1, 2, 3, 4, 11, 12, 13, 21, 22, 63, 111}) ordinals.push_back(EnglishOrdinal(n));
    EXPECT_EQ(ordinals, (std::vector<std::string>{"1st", "2nd", "3rd", "4th", "11th", "12th",
                                                  "13th", "21st", "22nd", "63rd", "111th"}));
    EXPECT_EQ(KanaNumber(40), "よんじゅう");
    EXPECT_EQ(KanaNumber(100), "100");
}

}  // namespace
}  // namespace palomind
