#include "app/seconds_input.h"

#include <gtest/gtest.h>

namespace palomind {
namespace {

using Kind = SecondsInput::Kind;

void ExpectValue(std::string_view text, std::int32_t expected) {
    const SecondsInput input = ParseSecondsInput(text);
    EXPECT_EQ(input.kind, Kind::Value) << text;
    EXPECT_EQ(input.value, expected) << text;
}

TEST(SecondsInputTest, ReadsWholeAndSignedNumbersWithSpacesAround) {
    ExpectValue("480", 480);
    ExpectValue("  300 ", 300);
    ExpectValue("-5", -5);
    ExpectValue("+7", 7);
    ExpectValue("0", 0);
    ExpectValue("-0", 0);
}

TEST(SecondsInputTest, RoundsFractionsToTheNearestSecondWithTiesToEven) {
    ExpectValue("12.5", 12);
    ExpectValue("13.5", 14);
    ExpectValue("-12.5", -12);
    ExpectValue("-13.5", -14);
    ExpectValue("12.49", 12);
    ExpectValue("12.51", 13);
    // Decided in decimal, not in binary floating point: just above one half
    // rounds up however far down the digits go.
    ExpectValue("12.5000000000000000001", 13);
    ExpectValue(".5", 0);
    ExpectValue("7.", 7);
}

TEST(SecondsInputTest, ReadsFullWidthDigitsAsAJapaneseInputMethodTypesThem) {
    ExpectValue("４８０", 480);
    ExpectValue("－５", -5);
    ExpectValue("１２．５", 12);
    ExpectValue("\u3000６０\u3000", 60);
}

TEST(SecondsInputTest, TextThatIsNotANumberIsNoValue) {
    for (const char* text :
         {"", "   ", "abc", "12abc", "1e3", "1,000", "--5", ".", "5 5", "0x10"}) {
        EXPECT_EQ(ParseSecondsInput(text).kind, Kind::NotNumber) << text;
    }
}

TEST(SecondsInputTest, NumbersBeyondTheRaceClockRangeAreTooLarge) {
    ExpectValue("1000000000", 1'000'000'000);
    ExpectValue("-1000000000", -1'000'000'000);
    ExpectValue("1000000000.5", 1'000'000'000);  // the tie goes to the even bound
    for (const char* text : {"1000000001", "-1000000001", "1000000000.6", "2147483648",
                             "99999999999999999999999999999"}) {
        EXPECT_EQ(ParseSecondsInput(text).kind, Kind::TooLarge) << text;
    }
}

}  // namespace
}  // namespace palomind

namespace palomind {
namespace {

TEST(HundredthsInputTest, KeepsTwoDecimalsRoundingTheThirdWithTiesToEven) {
    const struct {
        const char* text;
        std::int32_t hundredths;
    } cases[] = {
        {"0", 0},         {"2", 200},       {"2.5", 250},
        {"2.34", 234},    {"2.345", 234},   {"2.355", 236},
        {"2.3451", 235},  {"-1.005", -100}, {"６００．００", 60000},
        {" 47.4 ", 4740}, {".01", 1},       {"7.", 700},
    };
    for (const auto& c : cases) {
        const SecondsInput input = ParseHundredthsInput(c.text);
        EXPECT_EQ(input.kind, SecondsInput::Kind::Value) << c.text;
        EXPECT_EQ(input.value, c.hundredths) << c.text;
    }
}

TEST(HundredthsInputTest, RefusesWhatIsNoNumberAndWhatLeavesThirtyTwoBits) {
    for (const char* text : {"", "abc", "1.2.3", "1,5", "."})
        EXPECT_EQ(ParseHundredthsInput(text).kind, SecondsInput::Kind::NotNumber) << text;
    for (const char* text : {"20000000.01", "-20000001", "99999999999999999999"})
        EXPECT_EQ(ParseHundredthsInput(text).kind, SecondsInput::Kind::TooLarge) << text;
    EXPECT_EQ(ParseHundredthsInput("20000000").value, 2'000'000'000);
}

}  // namespace
}  // namespace palomind
