#include "tests/shell/shell_harness.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QToolBar>
#include <fstream>
#include <iterator>

namespace palomind::testing {

TempCurrentDirectory::TempCurrentDirectory() : previous_(QDir::currentPath()) {
    EXPECT_TRUE(dir_.isValid());
    QDir::setCurrent(dir_.path());
}

TempCurrentDirectory::~TempCurrentDirectory() {
    QDir::setCurrent(previous_);
}

std::string SettingsFileBytes(int port, int raceTime, int startWait, int ttsMode) {
    // "レースコメント記入欄" in cp932, quoted.
    return std::to_string(port) + "\r\n" + std::to_string(raceTime) + "\r\n" +
           std::to_string(startWait) + "\r\n" + std::to_string(ttsMode) + "\r\n" +
           "\"\x83\x8c\x81\x5b\x83\x58\x83\x52\x83\x81\x83\x93\x83\x67\x8b\x4c\x93\xfc\x97\x93\"\r"
           "\n";
}

std::string RosterFileBytes() {
    std::string bytes;
    for (int id = 1; id <= 64; ++id) {
        bytes += "\"R" + std::string(id < 10 ? "0" : "") + std::to_string(id) + "\"\r\n";
    }
    return bytes;
}

std::vector<std::uint8_t> Frame(std::uint8_t id, std::uint8_t data1, std::uint8_t data2) {
    const auto sum = static_cast<std::uint8_t>(id + data1 + data2);
    return {0xFE, 0xFE, 0xFE, id, data1, data2, sum};
}

ShellHarness::ShellHarness()
    : app(std::make_unique<Application>(
          ApplicationServices{ticks, sound, serial, settings, dialogs, files, journal})) {}

ShellHarness::~ShellHarness() {
    window.reset();
    app.reset();
}

void ShellHarness::Start() {
    journal.Start();  // a journal that cannot start is a case some tests make
    window = std::make_unique<frmMain>(*app);
    // As the program does: a crashed run's journal is offered at start-up.
    window->OfferCrashedRun(FindCrashedRun("journal", journal.Path(), files));
    window->Form_Load();
    window->show();
}

void ShellHarness::Close() {
    window->close();
}

void ShellHarness::WriteFile(const std::string& name, std::string_view bytes) const {
    std::ofstream out(name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ShellHarness::ReadFile(const std::string& name) const {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QAction* ShellHarness::Button(std::string_view key) const {
    const auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    for (QAction* action : toolbar->actions()) {
        if (action->data().toString().toStdString() == key) return action;
    }
    ADD_FAILURE() << "no toolbar button " << key;
    return nullptr;
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
    while (ticks.tick < tick) {
        ticks.tick += 10;
        window->Timer1_Timer();
    }
}

}  // namespace palomind::testing
