#include "tools/receiver_simulator/send_log.h"

#include <gtest/gtest.h>

namespace palomind::simulator {
namespace {

TEST(SendLog, LinesCarryMillisecondsWithMicrosecondsAndReadBack) {
    SendLogEntry pass{5'123'456'789'012,
                      SendOutcome::Sent,
                      TransmissionKind::Pass,
                      {0xFE, 0xFE, 0xFE, 0x05, 0x10, 0x20, 0x35}};
    EXPECT_EQ(FormatSendLogLine(pass), "5123456.789 sent pass fe fe fe 05 10 20 35");
    SendLogEntry lost{7'000'001'000, SendOutcome::Lost, TransmissionKind::BrokenSync, {0xFE, 0x0A}};
    EXPECT_EQ(FormatSendLogLine(lost), "7000.001 lost sync fe 0a");
    SendLogEntry cut{1'000'000, SendOutcome::Cut, TransmissionKind::Pass, {0xFE}};
    EXPECT_EQ(FormatSendLogLine(cut), "1.000 cut pass fe");

    std::vector<SendLogEntry> entries;
    std::string error;
    ASSERT_TRUE(ParseSendLog(FormatSendLogLine(pass) + "\n" + FormatSendLogLine(lost) + "\n" +
                                 FormatSendLogLine(cut) + "\n",
                             entries, error))
        << error;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].nanos, 5'123'456'789'000);
    EXPECT_EQ(entries[0].bytes, pass.bytes);
    EXPECT_EQ(entries[1].outcome, SendOutcome::Lost);
    EXPECT_EQ(entries[1].kind, TransmissionKind::BrokenSync);
    EXPECT_EQ(entries[2].outcome, SendOutcome::Cut);
}

TEST(SendLog, MalformedLineIsNamed) {
    std::vector<SendLogEntry> entries;
    std::string error;
    for (const char* bad : {"12.5 sent pass fe", "12.500 sent warp fe", "12.500 kept pass fe",
                            "12.500 sent pass f", "12.500 sent pass"}) {
        EXPECT_FALSE(
            ParseSendLog(std::string("1.000 sent stray 01\n") + bad + "\n", entries, error))
            << bad;
        EXPECT_EQ(error.rfind("line 2", 0), 0u) << error;
    }
}

}  // namespace
}  // namespace palomind::simulator
