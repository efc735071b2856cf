// File > "ｴｸｽﾎﾟｰﾄ(&E)...": the race as it stands, as CSV for a spreadsheet or
// as one HTML file for a website.
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

// The type is the one the name's extension says; a name without one gets CSV.
bool NamesHtml(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return path.ends_with(".html") || path.ends_with(".htm");
}

}  // namespace

void frmMain::mnuFileExport_Click() {
    const std::string path = dialogs_.SaveFileName("ｴｸｽﾎﾟｰﾄ", kExportFilter);
    if (path.empty()) return;
    const RaceDocument race = app_.Document();
    const std::string bytes =
        NamesHtml(path)
            ? RaceHtml(WithExactTimes(race.window, race.result), race.disqualified, app_.Audit())
            : RaceCsv(race.state, race.result, race.window, app_.Roster(), race.disqualified);
    if (!app_.Files().WriteAtomically(path, bytes)) {
        dialogs_.ShowMessage("エクスポートできませんでした。\r\n" + path +
                             FailureReasonLine(app_.Files()));
        return;
    }
    app_.NoteInJournal("results exported: " + path);
}

}  // namespace palomind
