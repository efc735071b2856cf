#include "documents/result_file.h"

#include "documents/quoted_records.h"

namespace palomind {

namespace {

constexpr std::int16_t kMaxStoredLap = kMaxLaps;
constexpr std::int16_t kMaxEntryCount = kMaxRankedId;
// The lap history shows 16 laps without scrolling; a longer race scrolls so
// that the last 15 laps are in view, as during the race.
constexpr int kLapsInView = 16;
constexpr int kLapsAboveTopRow = 14;

// A rectangle of grid cells stored row by row, each row by columns from 0.
struct StoredCells {
    int firstRow;
    int rows;
    int cols;
    std::size_t Count() const {
        return static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
    }
};

// Standings rows 1 to 20 (the header row is written by the race reset).
constexpr StoredCells kStandingsStored{1, kShownPlaces, kStandingsCols};

// Lap-history rows 0 to MaxLap + 1: headings, names and one row per lap.
StoredCells LapHistoryStored(int maxLap) {
    return {0, maxLap + 2, kStoredLapHistoryCols};
}

std::string RecordProblem(int record, RecordError error) {
    const std::string where = "第" + std::to_string(record) + "レコード";
    switch (error) {
        case RecordError::MissingField:
            return "ファイルが途中で終わっています（" + where + "がありません）。";
        case RecordError::UnclosedQuote:
            return where + "の引用符が閉じていません。";
        case RecordError::NotCp932:
            return where + "にシフトJIS (cp932) でない文字があります。";
        case RecordError::BadNumber:
        case RecordError::None:
            break;
    }
    return where + "が正しくありません。";
}

// MaxLap and EntryCount: a bad number is named with the range it must be in.
std::string CountProblem(int record, const char* name, int max, RecordError error) {
    if (error != RecordError::BadNumber) return RecordProblem(record, error);
    return "第" + std::to_string(record) + "レコード（" + name + "）が 0 から " +
           std::to_string(max) + " までの整数ではありません。";
}

ResultFileParse Failure(const std::string& problem) {
    ResultFileParse parse;
    parse.error = "レース結果ファイルを読み込めません。" + problem;
    return parse;
}

}  // namespace

std::string FormatResultFile(const RaceState& state, const RaceWindowModel& window) {
    QuotedRecordWriter writer;
    writer.WriteText(window.Comment);
    writer.WriteNumber(state.MaxLap);
    writer.WriteNumber(state.EntryCount);
    if (state.MaxLap > 0) {
        auto writeCells = [&writer](const GridModel& grid, const StoredCells& cells) {
            for (int row = cells.firstRow; row < cells.firstRow + cells.rows; ++row)
                for (int col = 0; col < cells.cols; ++col)
                    writer.WriteText(grid.TextMatrix(row, col));
        };
        writeCells(window.Standings, kStandingsStored);
        writeCells(window.LapHistory, LapHistoryStored(state.MaxLap));
    }
    return writer.Cp932Bytes();
}

bool SaveResultFile(const std::string& path, const RaceState& state, const RaceWindowModel& window,
                    FileStore& files) {
    return files.WriteAtomically(path, FormatResultFile(state, window));
}

ResultFileParse ParseResultFile(std::string_view bytes) {
    // A damaged file is refused rather than shown with replacement marks: the
    // journal carries opened files as bytes, and a replay must read them as
    // the live program did.
    QuotedRecordReader reader(bytes, Cp932Reading::Strict);
    ResultFileParse parse;
    ResultFileContent& content = parse.content;

    auto comment = reader.ReadText();
    if (!comment) return Failure(RecordProblem(1, reader.LastError()));
    content.comment = std::move(*comment);

    const auto maxLap = reader.ReadNumber(0, kMaxStoredLap);
    if (!maxLap) return Failure(CountProblem(2, "最大周回数", kMaxStoredLap, reader.LastError()));
    content.maxLap = static_cast<std::int16_t>(*maxLap);

    const auto entryCount = reader.ReadNumber(0, kMaxEntryCount);
    if (!entryCount)
        return Failure(CountProblem(3, "エントリー数", kMaxEntryCount, reader.LastError()));
    content.entryCount = static_cast<std::int16_t>(*entryCount);

    if (content.maxLap > 0) {
        std::size_t recordsRead = 3;
        auto readCells = [&](std::vector<std::string>& texts, const StoredCells& cells) {
            texts.reserve(cells.Count());
            for (std::size_t i = 0; i < cells.Count(); ++i) {
                auto text = reader.ReadText();
                if (!text) return false;
                ++recordsRead;
                texts.push_back(std::move(*text));
            }
            return true;
        };
        if (!readCells(content.standingsCells, kStandingsStored) ||
            !readCells(content.lapHistoryCells, LapHistoryStored(content.maxLap))) {
            return Failure(RecordProblem(static_cast<int>(recordsRead + 1), reader.LastError()));
        }
    }

    parse.ok = true;
    return parse;
}

ResultFileParse ReadResultFile(const std::string& path, FileStore& files) {
    const auto bytes = files.ReadAll(path);
    if (!bytes) return Failure(std::string(kResultFileUnreadable));
    return ParseResultFile(*bytes);
}

void ApplyResultFile(const ResultFileContent& content, RaceState& state, RaceWindowModel& window) {
    state.MaxLap = content.maxLap;
    state.EntryCount = content.entryCount;
    if (content.maxLap > kLapsInView) {
        window.LapHistory.SetRows(LapHistoryStored(content.maxLap).rows);
        window.LapHistory.SetTopRow(content.maxLap - kLapsAboveTopRow);
    }
    window.Comment = content.comment;
    if (content.maxLap <= 0) return;

    // A content holding fewer texts than its MaxLap calls for fills the cells
    // it has and leaves the rest as they are.
    auto fillCells = [](GridModel& grid, const StoredCells& cells,
                        const std::vector<std::string>& texts) {
        std::size_t next = 0;
        for (int row = cells.firstRow; row < cells.firstRow + cells.rows; ++row)
            for (int col = 0; col < cells.cols && next < texts.size(); ++col)
                grid.SetTextMatrix(row, col, texts[next++]);
    };
    fillCells(window.Standings, kStandingsStored, content.standingsCells);
    fillCells(window.LapHistory, LapHistoryStored(content.maxLap), content.lapHistoryCells);
}

}  // namespace palomind
