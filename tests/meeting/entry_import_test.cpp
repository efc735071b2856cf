#include "meeting/entry_import.h"

#include <gtest/gtest.h>

#include "documents/cp932.h"
#include "documents/csv_reader.h"
#include "meeting/entry_list.h"
#include "meeting/meeting_json.h"

namespace palomind {
namespace {

using Records = std::vector<std::vector<std::string>>;

struct CsvCase {
    const char* text;
    Records records;
};

TEST(CsvReaderTest, ReadsQuotedFieldsDoubledQuotesAndBothLineEnds) {
    const std::vector<CsvCase> cases{
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"\"x, y\",\"say \"\"hi\"\"\"\r\n", {{"x, y", "say \"hi\""}}},
        {"\"two\r\nlines\",z\r\n", {{"two\r\nlines", "z"}}},
        {"a,,\r\n,\"\"", {{"a", "", ""}, {"", ""}}},
        {"", {}},
    };
    for (const CsvCase& c : cases) {
        std::string error;
        const auto records = ReadCsv(c.text, error);
        ASSERT_TRUE(records) << c.text << ": " << error;
        EXPECT_EQ(*records, c.records) << c.text;
    }
}

TEST(CsvReaderTest, RefusesBrokenQuotesNamingTheRow) {
    const std::vector<std::pair<const char*, const char*>> cases{
        {"a\r\n\"open", "row 2: a quoted field is never closed"},
        {"\"a\"b", "row 1: text after a closing quote"},
        {"a\r\nb\"c\"", "row 2: a quote inside an unquoted field"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(ReadCsv(text, error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
}

class EntryImportTest : public ::testing::Test {
  protected:
    EntryImportTest() {
        AddClass(meeting_, "GT");
        meeting_.entries.push_back({4, "先客", 3, "c1", "", ""});
    }
    Meeting meeting_;
};

TEST_F(EntryImportTest, ACp932FileWithAJapaneseHeaderInAnyOrderIsAdded) {
    const std::string file = Utf8ToCp932(
        "クラブ,ﾄﾗﾝｽﾎﾟﾝﾀﾞ,氏名,クラス,ゼッケン,車両\r\n"
        "港RC,5,山田 太郎,GT,,12\r\n"
        ",5,鈴木,GT,9,\r\n"
        ",,,,,\r\n"
        ",7,佐藤,ツーリング,,\r\n");
    std::string error;
    ASSERT_TRUE(ImportEntries(meeting_, file, error)) << error;
    ASSERT_EQ(meeting_.entries.size(), 4u);
    const MeetingEntry& yamada = meeting_.entries[1];
    EXPECT_EQ(yamada.name, "山田 太郎");
    EXPECT_EQ(yamada.number, 5);  // after the largest so far
    EXPECT_EQ(yamada.transponder, 5);
    EXPECT_EQ(yamada.car, "12");
    EXPECT_EQ(yamada.club, "港RC");
    EXPECT_EQ(meeting_.entries[2].name, "鈴木");
    EXPECT_EQ(meeting_.entries[3].number, 10);
    const MeetingClass* touring = ClassNamed(meeting_, "ツーリング");
    ASSERT_NE(touring, nullptr);
    EXPECT_EQ(meeting_.entries[3].classId, touring->id);
    EXPECT_EQ(touring->heatSize, 10);
}

TEST_F(EntryImportTest, AUtf8FileWithAByteOrderMarkAndAnEnglishHeaderIsAdded) {
    std::string error;
    ASSERT_TRUE(
        ImportEntries(meeting_, "\xEF\xBB\xBFName,Class,Transponder\n\"Ann, Jr.\",GT,63\n", error))
        << error;
    EXPECT_EQ(meeting_.entries.back().name, "Ann, Jr.");
    EXPECT_EQ(meeting_.entries.back().transponder, 63);
}

struct RefusalCase {
    std::string file;
    std::string error;
};

TEST_F(EntryImportTest, AFileWithARefusedRowImportsNothingAndNamesTheRow) {
    const std::string header = "name,class,transponder,number\r\n";
    const std::string good = "Ann,GT,1,\r\n";
    const std::vector<RefusalCase> cases{
        {header + good + ",GT,2,\r\n", "row 3: no name"},
        {header + good + "Bob,,2,\r\n", "row 3: no class"},
        {header + "Bob,GT,64,\r\n", "row 2: transponder \"64\" is not a number from 1 to 63"},
        {header + "Bob,GT,0,\r\n", "row 2: transponder \"0\" is not a number from 1 to 63"},
        {header + "Bob,GT,x5,\r\n", "row 2: transponder \"x5\" is not a number from 1 to 63"},
        {header + "Bob,GT,,\r\n", "row 2: transponder \"\" is not a number from 1 to 63"},
        {header + good + "Ann,GT,2,\r\n", "row 3: \"Ann\" is already entered in class \"GT\""},
        {header + "先客,GT,2,\r\n", "row 2: \"先客\" is already entered in class \"GT\""},
        {header + "Zoë😀,GT,2,\r\n",
         "row 2: the name \"Zoë😀\" cannot be stored in the roster (a character cp932 does not "
         "hold)"},
        {header + "Bob,GT😀,2,\r\n",
         "row 2: the class \"GT😀\" cannot be stored in the race comment (a character cp932 "
         "does not hold)"},
        {header + "Bob,GT,2,4\r\n", "row 2: entry number 4 is already entered"},
        {header + "Bob,GT,2,-1\r\n", "row 2: entry number \"-1\" is not a whole number"},
        {"name,class\r\nBob,GT\r\n", "row 1: the header has no transponder column"},
        {"name,氏名,class,transponder\r\n", "row 1: the column \"氏名\" is named twice"},
        {header + "\"Bob,GT,2,\r\n", "row 2: a quoted field is never closed"},
        {"name,class,transponder\r\n\x81\x7F,GT,1\r\n", "the file is neither UTF-8 nor cp932 text"},
        {"", "the file has no header row"},
    };
    const std::string before = MeetingJson(meeting_);
    for (const RefusalCase& c : cases) {
        std::string error;
        EXPECT_FALSE(ImportEntries(meeting_, c.file, error)) << c.file;
        EXPECT_EQ(error, c.error) << c.file;
        EXPECT_EQ(MeetingJson(meeting_), before) << c.file;
    }
}

TEST_F(EntryImportTest, AWithdrawalLeavesTheHeatsNotRunAndIsRefusedForAHeatThatRan) {
    std::string error;
    ASSERT_TRUE(AddEntry(meeting_, {NextEntryNumber(meeting_), "Bob", 8, "c1", "", ""}, error))
        << error;
    EXPECT_EQ(meeting_.entries.back().number, 5);
    meeting_.rounds.push_back({"c1", 1, 0, {{"c1-q1-1", 1, {4}, {{"r.race", false, false}}}}});
    meeting_.rounds.push_back({"c1", 2, 0, {{"c1-q2-1", 1, {5, 4}, {}}}});

    EXPECT_FALSE(WithdrawEntry(meeting_, 4, error));
    EXPECT_EQ(error, "\"先客\" ran in heat c1-q1-1");
    ASSERT_TRUE(WithdrawEntry(meeting_, 5, error)) << error;
    EXPECT_EQ(meeting_.rounds[1].heats[0].entrants, std::vector<std::int64_t>{4});
    EXPECT_EQ(meeting_.entries.size(), 1u);
    std::string reread;
    EXPECT_TRUE(ReadMeetingJson(MeetingJson(meeting_), reread)) << reread;
}

}  // namespace
}  // namespace palomind
