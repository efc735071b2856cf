// The race time and start-wait menus, and what the race phase refuses.
#include <gtest/gtest.h>

#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

class RaceParametersTest : public StartedShellTest {
  protected:
    // Enters `text` into the race time box (nullopt: cancels it).
    void EnterRaceTime(std::optional<std::string> text) {
        h.dialogs.inputAnswers.push_back(std::move(text));
        h.Choose("mnuRaceTime");
    }
    void EnterStartWait(std::optional<std::string> text) {
        h.dialogs.inputAnswers.push_back(std::move(text));
        h.Choose("mnuStartWait");
    }
    void EnterMinLap(std::optional<std::string> text) {
        h.dialogs.inputAnswers.push_back(std::move(text));
        h.Choose("mnuMinLap");
    }
};

TEST_F(RaceParametersTest, InputBoxesShowTheirPromptTitleAndTheCurrentValue) {
    EnterRaceTime(std::nullopt);
    EnterStartWait(std::nullopt);
    ASSERT_EQ(h.dialogs.inputs.size(), 2u);
    EXPECT_EQ(h.dialogs.inputs[0].prompt, "レース時間を秒単位で\r\n入力してください。");
    EXPECT_EQ(h.dialogs.inputs[0].title, "RaceTime設定");
    EXPECT_EQ(h.dialogs.inputs[0].defaultText, "480");
    EXPECT_EQ(h.dialogs.inputs[1].prompt,
              "レース開始までの待ち時間を\r\n秒単位で入力してください。");
    EXPECT_EQ(h.dialogs.inputs[1].title, "WaitTime設定");
    EXPECT_EQ(h.dialogs.inputs[1].defaultText, "10");
}

TEST_F(RaceParametersTest, EnteredNumbersAreStoredRoundedToEvenAndNegativesKept) {
    EnterRaceTime("12.5");
    EXPECT_EQ(h.State().RaceTime, 12);
    EnterRaceTime("13.5");
    EXPECT_EQ(h.State().RaceTime, 14);
    EnterStartWait("-5");
    EXPECT_EQ(h.State().StartWait, -5);
    EnterRaceTime("0");
    EXPECT_EQ(h.State().RaceTime, 0);
    EXPECT_EQ(h.dialogs.inputs.back().defaultText, "14");
    EXPECT_TRUE(h.dialogs.messages.empty());
    h.Close();
    EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(1, 0, -5, 0));
}

TEST_F(RaceParametersTest, CancelEmptyOrNonNumberLeavesTheValueWithoutAMessage) {
    for (const std::optional<std::string>& answer :
         std::vector<std::optional<std::string>>{std::nullopt, "", "abc", "12abc"}) {
        EnterRaceTime(answer);
        EnterStartWait(answer);
    }
    EXPECT_EQ(h.State().RaceTime, 480);
    EXPECT_EQ(h.State().StartWait, 10);
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(RaceParametersTest, TimesTheRaceClockCannotCountAreRefusedWithAMessage) {
    EnterRaceTime("2000000000");
    EnterStartWait("-1000000001");
    EXPECT_EQ(h.State().RaceTime, 480);
    EXPECT_EQ(h.State().StartWait, 10);
    const std::string refusal =
        "入力された値が大きすぎます。\r\n-1000000000 から 1000000000 "
        "までの秒数を入力してください。";
    EXPECT_EQ(h.dialogs.messages, (std::vector<std::string>{refusal, refusal}));

    // The largest accepted times run a race without trouble.
    EnterRaceTime("1000000000");
    EnterStartWait("1000000000");
    h.Press("レース開始");
    h.RunClockUntil(h.Now() + 2'000);
    EXPECT_EQ(h.Model().RemainingCaption, "555555h33m18s");
}

TEST_F(RaceParametersTest, TimeAndRosterMenusAreRefusedFromTheStartUntilEveryoneHasFinished) {
    EnterRaceTime("20");
    EnterStartWait("5");
    h.dialogs.inputs.clear();
    h.Press("レース開始");
    const auto expectRefused = [&](const char* phase) {
        SCOPED_TRACE(phase);
        h.dialogs.messages.clear();
        h.Choose("mnuRaceTime");
        h.Choose("mnuStartWait");
        h.Choose("mnuEditName");
        h.Choose("mnuMinLap");
        EXPECT_EQ(h.dialogs.messages, std::vector<std::string>(4, "レース中は変更できません。"));
        EXPECT_TRUE(h.dialogs.inputs.empty());
    };
    expectRefused("countdown");
    h.Press("ＩＤ１");  // enters ID 1 during the countdown
    h.RunClockUntil(h.Now() + 6'000);
    ASSERT_EQ(h.Model().StatusCaption, "計測中");
    expectRefused("timing");
    h.RunClockUntil(h.Now() + 20'000);
    ASSERT_EQ(h.Model().StatusCaption, "終了中");
    expectRefused("finishing");

    h.serial.Receive(Frame(1));  // ID 1 finishes: everybody has
    ASSERT_EQ(h.Model().StatusCaption, "全終了");
    h.dialogs.messages.clear();
    EnterRaceTime("30");
    EXPECT_EQ(h.State().RaceTime, 30);
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(RaceParametersTest, MinimumLapIsSecondsWithTwoDecimalsUpToTenMinutesKeptPerUser) {
    EnterMinLap("2.345");
    ASSERT_EQ(h.dialogs.inputs.size(), 1u);
    EXPECT_EQ(h.dialogs.inputs[0].prompt, "最短ラップ(秒) 0で無効");
    EXPECT_EQ(h.dialogs.inputs[0].title, "最短ラップ設定");
    EXPECT_EQ(h.dialogs.inputs[0].defaultText, "0.00");  // off by default
    EXPECT_EQ(h.State().MinLapMs, 2'340);
    EXPECT_EQ((h.settings.values[{"Race", "MinLapMs"}]), "2340");

    for (const char* refused : {"600.01", "-1"}) EnterMinLap(refused);
    EXPECT_EQ(h.dialogs.messages.size(), 2u);
    EXPECT_EQ(h.State().MinLapMs, 2'340);
    EnterMinLap("abc");  // not a number: the value stays, silently
    EXPECT_EQ(h.dialogs.messages.size(), 2u);
    EnterMinLap("600");
    EXPECT_EQ(h.State().MinLapMs, 600'000);
    EXPECT_EQ(h.dialogs.inputs.back().defaultText, "2.34");
    EnterMinLap("0");
    EXPECT_EQ(h.State().MinLapMs, 0);
    EXPECT_EQ((h.settings.values[{"Race", "MinLapMs"}]), "0");
}

TEST_F(RaceParametersTest, StopCommandMakesTheTimeMenusAvailableAgain) {
    h.Press("レース開始");
    h.Press("ストップ");
    EnterStartWait("8");
    EXPECT_EQ(h.State().StartWait, 8);
    EXPECT_TRUE(h.dialogs.messages.empty());
}

}  // namespace
}  // namespace palomind::testing
