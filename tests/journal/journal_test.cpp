#include "journal/journal.h"

#include <gtest/gtest.h>

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
        "10 start\n"
        "20 id1\n"
        "20 id2\n"
        "20 id3\n"
        "30 rx fe FE 00 7f\n"
        "40 clock\n"
        "50 stop\n";
    const JournalParseResult parsed = ParseJournal(text);
    ASSERT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;
    ASSERT_EQ(parsed.events.size(), 11u);
    std::string rebuilt = "palomind-journal 1\n";
    for (const JournalEvent& e : parsed.events) rebuilt += FormatJournalLine(e) + "\n";
    EXPECT_EQ(rebuilt,
              "palomind-journal 1\n-5 boot\n0 racetime 30\n0 startwait -3\n0 ttsmode 1\n10 "
              "start\n20 id1\n"
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
    };
    std::string text = "palomind-journal 1\n";
    for (const JournalEvent& e : events) text += FormatJournalLine(e) + "\n";
    EXPECT_EQ(FormatJournalLine(events[1]),
              "2 comment  rain\\\\wind\\r\\nline\\ttab\\x01\\x1f end \x7f雨");
    EXPECT_EQ(FormatJournalLine(events[2]), "3 comment ");
    EXPECT_EQ(FormatJournalLine(events[4]), "5 name 1 ");
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

}  // namespace
}  // namespace palomind::testing
