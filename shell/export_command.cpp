// File > "ｴｸｽﾎﾟｰﾄ(&E)...": the race as it stands, as CSV for a spreadsheet or
// as one HTML file for a website.
#include <QStatusBar>
#include <algorithm>
#include <cctype>
#include <string>

#include "documents/exact_times.h"
#include "documents/race_csv.h"
#include "documents/race_html.h"
#include "platform/file_store.h"
#include "shell/main_window.h"

namespace palomind {

namespace {

constexpr const char* kExportFilter = "CSV (*.csv)|*.csv|HTML (*.html)|*.html;*.htm";
// Long enough to read after the dialog closes; the warnings it covers come back.
constexpr int kExportedMessageMs = 15'000;
// The name offered where the race shown has no record and no file of its own.
constexpr const char* kUnnamedRace = "レース結果";

// The type is the one the name's extension says; a name without one gets CSV.
bool NamesHtml(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return path.ends_with(".html") || path.ends_with(".htm");
}

}  // namespace

// The race's record names it, as the races/ folder does; a result file
// shown has no record, and its own name says which race it is.
std::string frmMain::ExportName() const {
    if (const std::optional<RaceIdentity> race = app_.ShownRace()) return race->name;
    return shownFileStem_.empty() ? std::string(kUnnamedRace) : shownFileStem_;
}

void frmMain::mnuFileExport_Click() {
    const std::string path = dialogs_.SaveFileName("ｴｸｽﾎﾟｰﾄ", kExportFilter, ExportName() + ".csv");
    if (path.empty()) return;
    const RaceDocument race = app_.Document();
    const RaceExportFacts facts = app_.ExportFacts();
    const bool html = NamesHtml(path);
    const std::string bytes = html ? RaceHtml(WithExactTimes(race.window, race.result), facts,
                                              race.disqualified, app_.Audit())
                                   : RaceCsv(race.state, race.result, race.window, app_.Roster(),
                                             facts, race.disqualified);
    if (!app_.Files().WriteAtomically(path, bytes)) {
        dialogs_.ShowMessage("エクスポートできませんでした。\r\n" + path +
                             FailureReasonLine(app_.Files()));
        return;
    }
    app_.NoteInJournal("results exported: " + path);
    // The type follows the name's extension: the operator sees which was written.
    statusBar()->showMessage(QString::fromStdString(std::string(html ? "HTML" : "CSV") + " を " +
                                                    path + " に書き出しました。"),
                             kExportedMessageMs);
}

}  // namespace palomind
