#include "tests/support/shell_harness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QToolBar>

namespace palomind::testing {

QAction* ToolbarButton(const QWidget& window, std::string_view key) {
    const auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    if (toolbar == nullptr) return nullptr;
    for (QAction* action : toolbar->actions()) {
        if (action->data().toString().toStdString() == key) return action;
    }
    return nullptr;
}

ShellHarness::ShellHarness(std::string bootIdentity, std::string run)
    : journal("journal", std::move(run), 5) {
    ticks.Set(1'000'000);
    app = std::make_unique<Application>(ApplicationServices{
        ticks, sound, serial, settings, dialogs, files, journal, std::move(bootIdentity)});
}

ShellHarness::~ShellHarness() {
    meetings.reset();
    window.reset();
    session.reset();
    app.reset();
}

void ShellHarness::Start() {
    journal.Start();  // a journal that cannot start is a case some tests make
    session = std::make_unique<MeetingSession>(*app, files, "races");
    window = std::make_unique<frmMain>(*app);
    meetings = std::make_unique<MeetingOpening>(
        *session, dialogs, settings, [this] { return now; }, window.get());
    window->AttachMeetings(*meetings);
    meetings->ReopenAtStart();
    // As the program does: a crashed run's journal is offered at start-up.
    window->OfferCrashedRun(FindCrashedRun("journal", journal.Path(), files));
    window->Form_Load();
    window->show();
}

void ShellHarness::Close() {
    window->close();
}

QAction* ShellHarness::Button(std::string_view key) const {
    QAction* button = ToolbarButton(*window, key);
    if (button == nullptr) ADD_FAILURE() << "no toolbar button " << key;
    return button;
}

QAction* ShellHarness::Item(const char* objectName) const {
    auto* item = window->findChild<QAction*>(QString::fromUtf8(objectName));
    if (item == nullptr) ADD_FAILURE() << "no menu item " << objectName;
    return item;
}

void ShellHarness::Press(std::string_view key) const {
    if (QAction* button = Button(key)) button->trigger();
}

void ShellHarness::Choose(const char* objectName) const {
    if (QAction* item = Item(objectName)) item->trigger();
}

void ShellHarness::RunClockUntil(std::int32_t tick) {
    while (Now() < tick) {
        ticks.Set(Now() + 10);
        window->Timer1_Timer();
    }
}

}  // namespace palomind::testing
