#include "journal/journal.h"

#include <gtest/gtest.h>

#include "journal/echoed_text.h"
#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

TEST(Journal, FormatsAndParsesEveryEventKind) {
    const std::string text =
        "palomind-journal 1\r\n"
        "# a comment\n"
        "\n"
        "-5 boot\n"
        "0 racetime 30\n"
        "0 startwait -3\n"
        "0 ttsmode 1\n"
        "0 callparts 15\n"
        "0 minlap 2500\n"
        "10 start\n"
        "20 id1\n"
        "20 id2\n"
        "20 id3\n"
        "30 rx fe FE 00 7f\n"
        "40 clock\n"
        "50 stop\n";
    const JournalParseResult parsed = ParseJournal(text);
    ASSERT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;
    ASSERT_EQ(parsed.events.size(), 13u);
    std::string rebuilt = "palomind-journal 1\n";
    for (const JournalEvent& e : parsed.events) rebuilt += FormatJournalLine(e) + "\n";
    EXPECT_EQ(rebuilt,
              "palomind-journal 1\n-5 boot\n0 racetime 30\n0 startwait -3\n0 ttsmode 1\n"
              "0 callparts 15\n0 minlap 2500\n10 start\n20 id1\n"
              "20 id2\n20 id3\n30 rx fe fe 00 7f\n40 clock\n50 stop\n");
}

TEST(Journal, TextsKeepEveryCharacterOnOneLine) {
    const std::string awkward = std::string(" rain\\wind\r\nline\ttab\x01\x1f end ") + "\x7f雨";
    const std::vector<JournalEvent> events = {
        {.tick = 1, .kind = JournalEventKind::Boot, .text = "3f0c-9a"},
        {.tick = 2, .kind = JournalEventKind::Comment, .text = awkward},
        {.tick = 3, .kind = JournalEventKind::Comment},
        {.tick = 4, .kind = JournalEventKind::Name, .value = 64, .text = awkward},
        {.tick = 5, .kind = JournalEventKind::Name, .value = 1},
        {.tick = 6, .kind = JournalEventKind::Open, .bytes = {0x22, 0x0d, 0x0a, 0xff}},
        {.tick = 7,
         .kind = JournalEventKind::Record,
         .bytes = {0x70, 0x0a},
         .text = "20261209-114551-1"},
    };
    std::string text = "palomind-journal 1\n";
    for (const JournalEvent& e : events) text += FormatJournalLine(e) + "\n";
    EXPECT_EQ(FormatJournalLine(events[1]),
              "2 comment  rain\\\\wind\\r\\nline\\ttab\\x01\\x1f end \x7f雨");
    EXPECT_EQ(FormatJournalLine(events[2]), "3 comment ");
    EXPECT_EQ(FormatJournalLine(events[4]), "5 name 1 ");
    EXPECT_EQ(FormatJournalLine(events[6]), "7 record 20261209-114551-1 70 0a");
    const JournalParseResult parsed = ParseJournal(text);
    ASSERT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;
    ASSERT_EQ(parsed.events.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(parsed.events[i].text, events[i].text) << i;
        EXPECT_EQ(parsed.events[i].value, events[i].value) << i;
        EXPECT_EQ(parsed.events[i].bytes, events[i].bytes) << i;
    }
    // An empty text may also come without its separating space.
    const JournalParseResult bare = ParseJournal("palomind-journal 1\n7 comment\n8 name 9\n");
    ASSERT_TRUE(bare.ok) << bare.error;
    EXPECT_EQ(bare.events[1].value, 9);
    EXPECT_EQ(bare.events[1].text, "");
}

TEST(Journal, RejectsMalformedLinesNamingTheLine) {
    const char* bad[] = {
        "100 boot two words",
        "100  boot",
        "100 boot ",
        "x boot",
        "100 rx",
        "100 rx f",
        "100 rx fg",
        "100 racetime",
        "100 jump",
        "2147483648 boot",
        "100 ttsmode 99999",
        // A lap call is made of four parts, one bit each.
        "100 callparts 16",
        "100 callparts -1",
        "100 callparts",
        "+100 boot",
        "100 racetime 1.5",
        "50 boot",
        "100 comment a\\q",
        "100 comment a\\x4",
        "100 comment a\tb",
        "100 commentx",
        "100 name 0 x",
        "100 name 05 x",
        "100 name 65 x",
        "100 name",
        "100 name +5 x",
        "100 open",
        "100 open 1",
        "100 open fe  fe",
        "100 record",
        "100 record 20261209-114551-1",
        "100 record 20261209-114551-1 ",
        "100 record ../x 70 0a",
        "100 record a 70  0a",
        "100 record a 7g",
        // Texts are UTF-8, whether raw or escaped.
        "100 comment a\xff",
        "100 comment \xed\xa0\x80",
        "100 name 5 \xc3(",
        "100 name 5 \\x80",
        // A minimum lap is 0 to 600000 ms, one plain number.
        "100 minlap",
        "100 minlap -1",
        "100 minlap 600001",
        "100 minlap 1.5",
        "100 minlap 5 5",
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        const JournalParseResult parsed =
            ParseJournal(std::string("palomind-journal 1\n100 boot\n") + line + "\n");
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.errorLine, 3);
        EXPECT_TRUE(parsed.events.empty());
    }
    EXPECT_EQ(ParseJournal("").errorLine, 1);
    EXPECT_EQ(ParseJournal("palomind-journal 2\n").errorLine, 1);
}

constexpr const char* kRaceLine = "100 race 20261209-114551-1 2026-12-09T11:45:51+09:00\n";

TEST(Journal, ARaceRecordsOwnLinesReadBackAsWritten) {
    const JournalEvent carry{.tick = 100,
                             .kind = JournalEventKind::Carry,
                             .carried = {.passId = 255,
                                         .clockSecond = -7,
                                         .lapRows = 1002,
                                         .lapTopRow = 988,
                                         .syncCount = 3,
                                         .frameLength = 2,
                                         .frameSum = 254,
                                         .frame = {5, 249, 0, 0}}};
    const JournalEvent noClockYet{
        .tick = 100, .kind = JournalEventKind::Carry, .carried = {.lapRows = 20, .lapTopRow = 2}};
    EXPECT_EQ(FormatJournalLine(carry), "100 carry 255 -7 1002 988 3 2 254 5 249 0 0");
    EXPECT_EQ(FormatJournalLine(noClockYet), "100 carry 0 - 20 2 0 0 0 0 0 0 0");
    const std::string text = std::string(kRaceRecordHeader) + "\n" + kRaceLine +
                             FormatJournalLine(carry) + "\n" + FormatJournalLine(noClockYet) +
                             "\n100 start\n";
    const JournalParseResult parsed = ParseJournal(text);
    ASSERT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;
    EXPECT_TRUE(parsed.raceRecord);
    ASSERT_EQ(parsed.events.size(), 4u);
    EXPECT_EQ(parsed.events[0].text, "20261209-114551-1");
    EXPECT_EQ(parsed.events[0].wallClock, "2026-12-09T11:45:51+09:00");
    EXPECT_EQ(parsed.events[1].carried, carry.carried);
    EXPECT_EQ(parsed.events[2].carried, noClockYet.carried);
    EXPECT_FALSE(ParseJournal("palomind-journal 1\n100 boot\n").raceRecord);
}

TEST(Journal, RefusesRaceLinesOutOfTheirPlace) {
    const std::string record = std::string(kRaceRecordHeader) + "\n";
    const struct {
        std::string text;
        int errorLine;
    } cases[] = {
        {"palomind-journal 1\n" + std::string(kRaceLine), 2},
        {"palomind-journal 1\n100 carry 0 - 20 2 0 0 0 0 0 0 0\n", 2},
        {record, 1},
        {record + "100 boot\n" + kRaceLine, 2},
        {record + kRaceLine + kRaceLine, 3},
        {record + "100 race ../x 2026-12-09T11:45:51+09:00\n", 2},
        {record + "100 race .hidden 2026-12-09T11:45:51+09:00\n", 2},
        {record + "100 race a 2026-12-09 11:45:51\n", 2},
        {record + "100 race a 2026-12-09T11:45:51Z\n", 2},
        {record + "100 race a\n", 2},
        {record + kRaceLine + "100 carry 0 - 20 2 0 0 0 0 0 0\n", 3},
        {record + kRaceLine + "100 carry 256 - 20 2 0 0 0 0 0 0 0\n", 3},
        {record + kRaceLine + "100 carry 0 x 20 2 0 0 0 0 0 0 0\n", 3},
        {record + kRaceLine + "100 carry 0 - 1003 2 0 0 0 0 0 0 0\n", 3},
        {record + kRaceLine + "100 carry 0 - 20 2 4 0 0 0 0 0 0\n", 3},
        {record + kRaceLine + "100 carry 0 - 20 2 0 0 0 0 0 0 256\n", 3},
        // Opening a record ends the race: no record holds one.
        {record + kRaceLine + "100 record a 70 0a\n", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const JournalParseResult parsed = ParseJournal(c.text);
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.errorLine, c.errorLine) << parsed.error;
    }
}

TEST(Journal, ALastLineWithoutItsLineEndIsLeftOutAndNamed) {
    const JournalParseResult torn = ParseJournal("palomind-journal 1\n1000 boot\n1100 racetime 30");
    ASSERT_TRUE(torn.ok) << torn.error;
    ASSERT_EQ(torn.events.size(), 1u);
    EXPECT_EQ(torn.events[0].kind, JournalEventKind::Boot);
    EXPECT_EQ(torn.tornLine, 3);
    EXPECT_EQ(torn.tornText, "1100 racetime 30");
    // Even a line that would be bad: it was never finished.
    EXPECT_TRUE(ParseJournal("palomind-journal 1\n1000 boot\n1100 rac").ok);
    for (const char* whole : {"palomind-journal 1\n1000 boot\n", "palomind-journal 1"}) {
        const JournalParseResult parsed = ParseJournal(whole);
        EXPECT_TRUE(parsed.ok) << whole;
        EXPECT_EQ(parsed.tornLine, 0) << whole;
    }
}

TEST(Journal, ErrorsQuoteTheLineEscapedAndCutShort) {
    const char raw[] = "palomind-journal 1\n100 \x1b]0;x\x07\0\n";
    const JournalParseResult escaped = ParseJournal(std::string(raw, sizeof raw - 1));
    ASSERT_FALSE(escaped.ok);
    EXPECT_EQ(escaped.error, "unknown event \"\\x1b]0;x\\x07\\x00\"");
    const JournalParseResult huge =
        ParseJournal("palomind-journal 1\n100 " + std::string(10'000'000, 'n') + "\n");
    ASSERT_FALSE(huge.ok);
    EXPECT_EQ(huge.error, "unknown event \"" + std::string(kEchoedCharacters, 'n') + "\"…");
}

TEST(Journal, EchoedTextEscapesWhatActsOnATerminal) {
    const struct {
        std::string raw, echoed;
    } cases[] = {
        {"plain 名前", "\"plain 名前\""},
        {"a\tb\r\n", "\"a\\tb\\r\\n\""},
        {"say \"hi\" \\", "\"say \\\"hi\\\" \\\\\""},
        {"\x1b[2J\x7f", "\"\\x1b[2J\\x7f\""},
        {"\xc2\x9b"
         "1m",
         "\"\\xc2\\x9b1m\""},                     // a C1 control
        {"\xff\xe6\x97", "\"\\xff\\xe6\\x97\""},  // not UTF-8
        {std::string(79, 'a') + "名前", "\"" + std::string(79, 'a') + "名\"…"},
    };
    for (const auto& c : cases) EXPECT_EQ(EchoedText(c.raw), c.echoed) << c.raw;
}

constexpr const char* kWallClock = "2026-12-09T12:01:02+09:00";

TEST(Journal, CorrectionLinesReadBackAsWritten) {
    const std::string lines[] = {
        "900 operator 山田\\tA",
        "900 operator ",
        "900 edit 1 2026-12-09T12:01:02+09:00 delete 5 3 二重検知",
        "900 edit 2 2026-12-09T12:01:02+09:00 restore 5 3",
        "900 edit 3 2026-12-09T12:01:02-05:30 add 63 -1500 見落とし\\n一周",
        "900 edit 4 2026-12-09T12:01:02+09:00 accept 5 +3 確認済み",
        "900 edit 5 2026-12-09T12:01:02+09:00 dq 64 危険走行",
        "900 edit 6 2026-12-09T12:01:02+09:00 reinstate 64",
        "900 edit 7 2026-12-09T12:01:02+09:00 revert 6 取り消し",
        "900 edit 8 2026-12-09T12:01:02+09:00 delete 0 1 ID 0",
        "900 edit 9 2026-12-09T12:01:02+09:00 assign 17 5 借りたトランスポンダ",
        "900 edit 10 2026-12-09T12:01:02+09:00 penalty 5 1 0 フライング",
        "900 edit 11 2026-12-09T12:01:02+09:00 penalty 5 0 5000 ショートカット",
        "900 edit 12 2026-12-09T12:01:02+09:00 penalty 5 -1 -5 checked later",
        "900 heat Q1-H2",
        "900 heat クラスA-予選1-2",
        "900 heat",
    };
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        const JournalParseResult parsed = ParseJournal("palomind-journal 1\n" + line + "\n");
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(FormatJournalLine(parsed.events[0]), line);
    }
}

TEST(Journal, ACorrectionLineCarriesEachOfItsFields) {
    const JournalParseResult parsed = ParseJournal(std::string("palomind-journal 1\n900 edit 12 ") +
                                                   kWallClock + " accept 7 +3 ok\\\\\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const JournalEvent& edit = parsed.events[0];
    EXPECT_EQ(edit.kind, JournalEventKind::Edit);
    EXPECT_EQ(edit.wallClock, kWallClock);
    EXPECT_EQ(edit.text, "ok\\");
    EXPECT_EQ(edit.correction, (Correction{.number = 12,
                                           .operation = CorrectionOperation::Accept,
                                           .id = 7,
                                           .pass = {.manual = 3}}));
}

TEST(Journal, RejectsMalformedCorrectionLines) {
    const std::string bad[] = {
        "edit",
        "edit 1",
        "edit 0 W delete 5 1 why",
        "edit 01 W delete 5 1 why",
        "edit 1 2026-12-09 delete 5 1 why",
        "edit 1 W erase 5 1 why",
        "edit 1 W delete 5 1",   // a delete needs its reason
        "edit 1 W delete 5 1 ",  // and an empty one is none
        "edit 1 W add 5 100",
        "edit 1 W dq 5",
        "edit 1 W delete 5 0 why",
        "edit 1 W delete 5 +0 why",
        "edit 1 W delete 5 ++1 why",
        "edit 1 W delete 5 x why",
        "edit 1 W delete 256 1 why",
        "edit 1 W delete 05 1 why",
        "edit 1 W delete 5",
        "edit 1 W add 64 100 why",  // a manual pass is of an ID from 1 to 63
        "edit 1 W add 0 100 why",
        "edit 1 W add 5 1.5 why",
        "edit 1 W add 5 0100 why",
        "edit 1 W add 5 2147483648 why",
        "edit 1 W revert 0",
        "edit 1 W revert x",
        "edit 1 W reinstate",
        "edit 1 W restore 5 1 a\\q",
        "edit 1 W restore 5 1 a\tb",
        "edit 1 W restore 5 1 \xff",
        "edit 1 W delete  5 1 why",
        "operator a\\x4",
        "operator \xc3(",
        "manual 5",              // a rebuilt revision's pass is never a line
        "edit 1 W assign 17 5",  // an assign needs its reason
        "edit 1 W assign 17 why",
        "edit 1 W assign 17 256 why",
        "edit 1 W assign 17 05 why",
        "edit 1 W penalty 5 1 why",
        "edit 1 W penalty 5 1 0",
        "edit 1 W penalty 5 01 0 why",
        "edit 1 W penalty 5 1 -0 why",
        "edit 1 W penalty 5 1 2147483648 why",
        // A heat id is one word: no space, no control character, UTF-8.
        "heat Q1 H2",
        "heat ",
        "heat Q1\tH2",
        "heat Q1\x7f",
        "heat \xc3(",
        "heat " + std::string(65, 'h'),
    };
    for (std::string line : bad) {
        if (const std::size_t w = line.find(" W "); w != std::string::npos)
            line.replace(w + 1, 1, kWallClock);
        SCOPED_TRACE(line);
        const JournalParseResult parsed =
            ParseJournal("palomind-journal 1\n1 boot\n900 " + line + "\n");
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.errorLine, 3);
    }
}

}  // namespace
}  // namespace palomind::testing
