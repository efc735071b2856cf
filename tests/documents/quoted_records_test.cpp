#include "documents/quoted_records.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace palomind {
namespace {

// Every text field until the input runs out.
std::vector<std::string> ReadAllTexts(std::string_view bytes) {
    QuotedRecordReader reader(bytes);
    std::vector<std::string> texts;
    while (auto text = reader.ReadText()) texts.push_back(std::move(*text));
    return texts;
}

using Texts = std::vector<std::string>;

TEST(QuotedRecordWriter, WritesQuotedTextsAndPlainNumbersOnCrLfLines) {
    QuotedRecordWriter writer;
    writer.WriteNumber(480);
    writer.WriteNumber(-32768);
    writer.WriteNumber(0);
    writer.WriteText("");
    writer.WriteText("山田, 太郎");
    EXPECT_EQ(writer.Cp932Bytes(),
              "480\r\n-32768\r\n0\r\n\"\"\r\n\"\x8E\x52\x93\x63, \x91\xBE\x98\x59\"\r\n");
}

TEST(QuotedRecordWriter, WritesEveryLineBreakInATextAsCrLf) {
    QuotedRecordWriter writer;
    writer.WriteText("a\nb\rc\r\nd");
    EXPECT_EQ(writer.Cp932Bytes(), "\"a\r\nb\r\nc\r\nd\"\r\n");
}

TEST(QuotedRecordWriter, ReplacesAQuoteInsideATextSoLaterFieldsKeepTheirPlace) {
    QuotedRecordWriter writer;
    writer.WriteText("say \"hi\"");
    writer.WriteText("next");
    const std::string bytes = writer.Cp932Bytes();
    EXPECT_EQ(bytes, "\"say \xFA\x57hi\xFA\x57\"\r\n\"next\"\r\n");
    EXPECT_EQ(ReadAllTexts(bytes), (Texts{"say ＂hi＂", "next"}));
}

TEST(QuotedRecordReader, SeparatesFieldsByCommasAndEveryKindOfLineEnd) {
    EXPECT_EQ(ReadAllTexts("a,b\r\nc\nd\re"), (Texts{"a", "b", "c", "d", "e"}));
    // A CR LF pair is one line end; a blank line is an empty field.
    EXPECT_EQ(ReadAllTexts("a\r\n\r\nb\r\n"), (Texts{"a", "", "b"}));
    EXPECT_EQ(ReadAllTexts("a,,b"), (Texts{"a", "", "b"}));
}

TEST(QuotedRecordReader, QuotedFieldRunsToItsClosingQuote) {
    // Separators inside quotes belong to the text; line breaks come back as
    // CR LF.
    EXPECT_EQ(ReadAllTexts("\"a,b\nc\"\r\n\"\"\r\n"), (Texts{"a,b\r\nc", ""}));
    // Blanks before the opening quote are skipped; blanks inside are kept.
    EXPECT_EQ(ReadAllTexts("  \" x \"\r\n"), (Texts{" x "}));
    // Anything between the closing quote and the separator is dropped.
    EXPECT_EQ(ReadAllTexts("\"a\"junk,\"b\" \r\n"), (Texts{"a", "b"}));
}

TEST(QuotedRecordReader, UnquotedFieldIsTrimmedOfBlanks) {
    EXPECT_EQ(ReadAllTexts(" \tab c \t,x y"), (Texts{"ab c", "x y"}));
}

TEST(QuotedRecordReader, DecodesCp932Texts) {
    EXPECT_EQ(ReadAllTexts("\"\x8E\x52\x93\x63\x81\x60\"\r\n\x87\x40\r\n"), (Texts{"山田～", "①"}));
}

TEST(QuotedRecordReader, ReadingPastTheEndIsAMissingField) {
    QuotedRecordReader reader("\"a\"\r\n  \t");
    EXPECT_EQ(reader.ReadText(), "a");
    // Trailing blanks after the last line end are no field.
    EXPECT_EQ(reader.ReadText(), std::nullopt);
    EXPECT_EQ(reader.LastError(), RecordError::MissingField);
    EXPECT_EQ(reader.ReadNumber<int>(), std::nullopt);
    EXPECT_EQ(reader.LastError(), RecordError::MissingField);
}

TEST(QuotedRecordReader, QuoteNeverClosedFailsTheRead) {
    QuotedRecordReader reader("\"a\"\r\n\"never closed\r\n1\r\n");
    EXPECT_EQ(reader.ReadText(), "a");
    EXPECT_EQ(reader.ReadText(), std::nullopt);
    EXPECT_EQ(reader.LastError(), RecordError::UnclosedQuote);
    EXPECT_EQ(reader.ReadText(), std::nullopt);
}

TEST(QuotedRecordReader, NumbersAreASignAndDigitsOnly) {
    QuotedRecordReader reader("12\r\n-7\r\n+5\r\n 42 \r\n\"9\"\r\n007\r\n");
    for (const std::int64_t expected : {12, -7, 5, 42, 9, 7}) {
        EXPECT_EQ(reader.ReadNumber(-100, 100), expected);
        EXPECT_EQ(reader.LastError(), RecordError::None);
    }
    for (const std::string_view bad :
         {"", "abc", "1.5", "1e3", "0x10", "--1", "+-1", "-", "12a", "1 2", "\x82\x50"}) {
        QuotedRecordReader badReader(bad);
        // An empty input is a missing field; everything else is not a number.
        EXPECT_EQ(badReader.ReadNumber(-100, 100), std::nullopt) << bad;
        if (!bad.empty()) {
            EXPECT_EQ(badReader.LastError(), RecordError::BadNumber) << bad;
        }
    }
}

TEST(QuotedRecordReader, NumbersOutsideTheFieldsTypeFail) {
    QuotedRecordReader reader("32767\r\n-32768\r\n32768\r\n-32769\r\n99999999999999999999999\r\n");
    EXPECT_EQ(reader.ReadNumber<std::int16_t>(), 32767);
    EXPECT_EQ(reader.ReadNumber<std::int16_t>(), -32768);
    EXPECT_EQ(reader.ReadNumber<std::int16_t>(), std::nullopt);
    EXPECT_EQ(reader.ReadNumber<std::int16_t>(), std::nullopt);
    EXPECT_EQ(reader.ReadNumber<std::int64_t>(), std::nullopt);
    EXPECT_EQ(reader.LastError(), RecordError::BadNumber);
}

TEST(QuotedRecordReader, HostileInputIsReadInBoundedTime) {
    const auto start = std::chrono::steady_clock::now();

    // One line of 10 MB, quoted and unquoted.
    const std::string longText(10'000'000, 'x');
    EXPECT_EQ(ReadAllTexts("\"" + longText + "\"\r\nend").size(), 2u);
    EXPECT_EQ(ReadAllTexts(longText).front().size(), longText.size());
    const std::string unclosedText = "\"" + longText;
    QuotedRecordReader unclosed(unclosedText);
    EXPECT_EQ(unclosed.ReadText(), std::nullopt);

    // Binary garbage: every field is read, none is lost.
    std::string garbage;
    for (int i = 0; i < 2'000'000; ++i)
        garbage.push_back(static_cast<char>((i * 131 + i / 7) & 0xFF));
    QuotedRecordReader reader(garbage);
    std::size_t fields = 0;
    while (reader.ReadText()) ++fields;
    EXPECT_GT(fields, 0u);

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
}  // namespace palomind
