// The application at the physical limit of the receiver's line: the simulator
// sends valid frames back to back at 19200 baud (274 per second) from 20
// transponders into the application's port, a pseudo-terminal, for a minute
// of timing. The application is composed as the program entry composes it
// (the real main window, serial port, wave playback, tick counter and live
// journal); only the message boxes are replaced, by lines on standard error,
// so nothing modal can stall the run.
//
//   palomind_line_rate_bench [--seconds 60] [--transponders 20] [--read-out MODE]
//                            [--spectators N] [--displays race|race+stand|none]
//                            [--scenario idle|cpu-hogs|window-stalls|disk-stalls]
//
// The scenarios load the program as a trackside laptop might be loaded:
//   cpu-hogs       two CPU-bound processes at normal priority for the whole run;
//   window-stalls  the window thread blocked for 300 ms every 5 s, the first
//                  stall across the opening of timing (a hook of this bench
//                  only, not of the program);
//   disk-stalls    every sync of the journal to the disk taking 200 ms.
// One line sums each up: "scenario NAME: latency write->stamp ms p50 A p99 B
// max C; zero loss yes|no".
//
// Prints frames sent and passes processed (zero loss), the latency from the
// simulator's write to the pass being stamped, CPU use, peak memory, and
// whether the race clock acted on every second while the line was saturated.
// With --spectators, the spectators' page is served on loopback and N
// simulated phones (bench/spectator_load, a process of its own) read it for
// the measured time; it also prints how long a pass took to reach them.
// With --read-out 1 or 2 the race is read out as the program does it, and the
// voice's figures follow: how far it fell behind, what it dropped, and the
// CPU its thread (synthesis) used.
// --displays chooses what shows the race: the race window (as the program
// starts), the race window and the drivers' stand display ("大型表示") at
// 1920 x 1080, or neither (the race window's sub-window hidden: the window
// thread's floor). The window thread's CPU is printed in every run, so runs
// with each set of displays tell what each display costs it.
#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "app/live_journal.h"
#include "documents/roster_file.h"
#include "documents/settings_file.h"
#include "journal/journal.h"
#include "platform/file_store.h"
#include "platform/monotonic_tick_clock.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_sound_player.h"
#include "platform/user_dialogs.h"
#include "shell/main_window.h"
#include "shell/race_window_view.h"
#include "shell/spectator_publishing.h"
#include "shell/spoken_read_out.h"
#include "shell/stand_display.h"
#include "tools/receiver_simulator/delivery_latency.h"
#include "tools/receiver_simulator/send_log.h"

namespace palomind {
namespace {

constexpr int kStartWaitSeconds = 2;
constexpr int kRaceSeconds = 3600;  // the race stays in timing for the whole run

// Message boxes as lines on standard error: the run must never wait for a click.
class PrintedDialogs final : public UserDialogs {
  public:
    void ShowMessage(std::string_view text) override { Print(text); }
    void ShowInformation(std::string_view text) override { Print(text); }
    std::optional<std::string> InputBox(std::string_view, std::string_view,
                                        std::string_view) override {
        return std::nullopt;
    }
    bool AskYesNo(std::string_view) override { return false; }
    std::string OpenFileName(std::string_view, std::string_view) override { return {}; }
    std::string SaveFileName(std::string_view, std::string_view, std::string_view) override {
        return {};
    }
    std::string FolderName(std::string_view) override { return {}; }
    int Count() const { return count_; }

  private:
    void Print(std::string_view text) {
        ++count_;
        std::cerr << "message: " << text << '\n';
    }
    int count_ = 0;
};

struct Options {
    std::string scenario = "idle";
    int seconds = 60;
    int transponders = 20;
    int spectators = 0;
    int readOut = 0;  // TtsMode
    std::string displays = "race";
};

Options ParseOptions(const QStringList& args) {
    Options o;
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--seconds")) o.seconds = args[i + 1].toInt();
        if (args[i] == QLatin1String("--transponders")) o.transponders = args[i + 1].toInt();
        if (args[i] == QLatin1String("--spectators")) o.spectators = args[i + 1].toInt();
        if (args[i] == QLatin1String("--read-out")) o.readOut = args[i + 1].toInt();
        if (args[i] == QLatin1String("--scenario")) o.scenario = args[i + 1].toStdString();
        if (args[i] == QLatin1String("--displays")) o.displays = args[i + 1].toStdString();
    }
    return o;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The process's threads, by their kernel IDs.
std::set<std::string> Threads() {
    std::set<std::string> threads;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') threads.insert(entry->d_name);
        closedir(dir);
    }
    return threads;
}

// User + system CPU seconds of one thread of this process.
double ThreadCpuSeconds(const std::string& thread) {
    std::istringstream stat(ReadText("/proc/self/task/" + thread + "/stat"));
    std::string field;
    // The name (field 2) is in parentheses and may hold spaces: skip past it.
    std::getline(stat, field, ')');
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && stat >> field; ++i) {
        if (i == 14) utime = std::stoll(field);
        if (i == 15) stime = std::stoll(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Peak resident set size in MB.
double PeakRssMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

QAction* ToolbarButton(frmMain& window, const QString& key) {
    for (QAction* action : window.findChildren<QAction*>())
        if (action->data().toString() == key) return action;
    return nullptr;
}

// How long each pass took to reach the spectators: from the simulator's write
// of its frame to the first poll of each phone that showed its lap count.
// A phone's first poll of an ID is its arrival, not news, and is left out.
std::vector<std::int32_t> PassToSpectatorMs(const std::vector<simulator::SendLogEntry>& sent,
                                            const std::string& seenText) {
    std::map<int, std::vector<std::int64_t>> writes;  // by ID, in order: lap 0, 1, ...
    for (const simulator::SendLogEntry& e : sent)
        if (e.outcome == simulator::SendOutcome::Sent &&
            e.kind == simulator::TransmissionKind::Pass)
            writes[e.bytes.at(3)].push_back(e.nanos);
    std::vector<std::int32_t> delays;
    std::istringstream seen(seenText);
    std::int64_t at = 0;
    int id = 0, before = 0, now = 0;
    while (seen >> at >> id >> before >> now) {
        const std::vector<std::int64_t>& frames = writes[id];
        if (before < 0) continue;
        for (int lap = before + 1; lap <= now && lap < static_cast<int>(frames.size()); ++lap)
            delays.push_back(static_cast<std::int32_t>(
                (at - frames[static_cast<std::size_t>(lap)]) / 1'000'000));
    }
    return delays;
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

void PrintVoiceFigures(const VoiceFigures& figures, double cpuSeconds, double wallSeconds) {
    using K = AnnouncementKind;
    std::int32_t worst = 0;
    for (const std::int32_t delay : figures.worstDelayMs) worst = std::max(worst, delay);
    std::printf(
        "  read-out                 %lld announcements spoken (%.1f s of speech)\n",
        static_cast<long long>(std::accumulate(figures.spoken.begin(), figures.spoken.end(), 0LL)),
        static_cast<double>(figures.speechMs) / 1000.0);
    std::printf(
        "  voice behind at worst    %d ms; passes %d ms, best laps %d ms, countdown %d ms, "
        "start %d ms\n",
        worst, figures.WorstDelayMs(K::Pass), figures.WorstDelayMs(K::BestLap),
        figures.WorstDelayMs(K::Countdown), figures.WorstDelayMs(K::Start));
    std::printf(
        "  pass announcements       %lld spoken, %lld dropped; best laps %lld spoken, "
        "%lld dropped\n",
        static_cast<long long>(figures.Spoken(K::Pass)),
        static_cast<long long>(figures.Dropped(K::Pass)),
        static_cast<long long>(figures.Spoken(K::BestLap)),
        static_cast<long long>(figures.Dropped(K::BestLap)));
    std::printf("  never dropped            countdown %lld, start %lld: dropped %lld\n",
                static_cast<long long>(figures.Spoken(K::Countdown)),
                static_cast<long long>(figures.Spoken(K::Start)),
                static_cast<long long>(figures.Dropped(K::Countdown) + figures.Dropped(K::Start)));
    std::printf("  CPU of the voice thread  %.2f s, %.2f %% of one core (synthesis)\n", cpuSeconds,
                100.0 * cpuSeconds / wallSeconds);
}

int Run(int argc, char** argv) {
    QApplication application(argc, argv);
    const Options options = ParseOptions(application.arguments());
    const QString programDir = QCoreApplication::applicationDirPath();
    // Benchmarks are built under bench/; the simulator and the wave files
    // are beside the application, one folder up.
    const QDir buildDir(programDir + QStringLiteral("/.."));

    QTemporaryDir work;
    QDir::setCurrent(work.path());
    for (const char* wave : {"snd1.wav", "snd2.wav", "snd3.wav", "lap.wav"})
        QFile::copy(buildDir.filePath(QString::fromLatin1(wave)), QString::fromLatin1(wave));

    DiskFileStore files;
    PrintedDialogs dialogs;
    RaceState stored;
    stored.PortNumber = 1;
    stored.RaceTime = kRaceSeconds;
    stored.StartWait = kStartWaitSeconds;
    stored.TtsMode = static_cast<std::int16_t>(options.readOut);
    Save_Setting(stored, files, dialogs);
    RosterTable names;
    for (int id = 1; id <= 64; ++id)
        names[static_cast<std::size_t>(id)] = "Driver " + std::to_string(id);
    Save_IdName(names, files, dialogs);

    QProcess simulator;
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(buildDir.filePath(QStringLiteral("receiver_simulator")),
                    {"--saturated", "--transponders", QString::number(options.transponders),
                     "--seed", "1", "--duration", QString::number(options.seconds), "--log",
                     "simulator.log", "--start-from-stdin", "--exit-with-stdin"});
    if (!simulator.waitForStarted(5000) || !simulator.waitForReadyRead(5000)) {
        std::cerr << "the receiver simulator did not start\n";
        return 2;
    }
    qputenv("PALOMIND_COM1", simulator.readLine().trimmed());

    QtSettingsStore settings(work.filePath(QStringLiteral("user-settings.ini")));
    QtSerialPort serial(settings);
    QtSoundPlayer sound;
    MonotonicTickClock ticks;
    // disk-stalls: the disk takes 200 ms for every sync of the journal.
    LiveJournal::FileSync fileSync = LiveJournal::SyncFileToDisk;
    if (options.scenario == "disk-stalls") {
        fileSync = [](int fd) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            LiveJournal::SyncFileToDisk(fd);
        };
    }
    LiveJournal journal("journal", "line-rate", 1, fileSync);
    // cpu-hogs: two processes that want a whole core each.
    std::vector<std::unique_ptr<QProcess>> hogs;
    if (options.scenario == "cpu-hogs") {
        for (int i = 0; i < 2; ++i) {
            hogs.push_back(std::make_unique<QProcess>());
            hogs.back()->start(QStringLiteral("/bin/sh"),
                               {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        }
    }
    journal.Start();
    Application app({ticks, sound, serial, settings, dialogs, files, journal});
    auto window = std::make_unique<frmMain>(app);
    // As the program entry composes it; its thread is the one that appears
    // when it starts.
    auto voice = std::make_unique<SpokenReadOut>(app, *window, ticks);
    window->Form_Load();
    const std::set<std::string> threadsBefore = Threads();
    voice->Start();
    std::string voiceThread;
    for (const std::string& thread : Threads())
        if (!threadsBefore.contains(thread)) voiceThread = thread;
    window->show();
    if (options.displays == "none") window->RaceWindow()->parentWidget()->hide();
    if (options.displays == "race+stand") {
        window->mnuViewStandDisplay_Click();
        window->Stand()->resize(1920, 1080);
    }
    RunEventsFor(500);
    if (!serial.IsOpen()) {
        std::cerr << "the port did not open\n";
        return 2;
    }
    if (options.spectators > 0) {
        window->Spectators().StartAtLaunch(WebAddress{"127.0.0.1", 0});
        if (!window->Spectators().IsPublishing()) {
            std::cerr << "the spectators' page could not be served\n";
            return 2;
        }
    }

    window->tbToolBar_ButtonClick(ToolbarButton(*window, QStringLiteral("レース開始")));
    const RaceState& state = app.State();
    const std::int32_t raceStart = state.RaceStart;
    simulator.write(QByteArray::number(static_cast<qint64>(raceStart) * 1000) + '\n');
    simulator.waitForBytesWritten(5000);

    // Measured from the start of timing to the end of the saturated minute.
    const std::int32_t beginTick = raceStart * 1000;
    // window-stalls: the window thread does nothing for 300 ms every 5 s,
    // the first time from just before timing opens to just after.
    QTimer stalls;
    if (options.scenario == "window-stalls") {
        const auto stall = [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); };
        QObject::connect(&stalls, &QTimer::timeout, stall);
        QTimer::singleShot(std::max(0, beginTick - 650 - ticks.TimeGetTime()), [&stalls, stall] {
            stall();
            stalls.start(5000);
        });
    }
    RunEventsFor(beginTick - ticks.TimeGetTime());
    // The phones are other machines at a race: their load generator runs
    // at a lower priority, so that what is measured is the program's share.
    QProcess spectators;
    spectators.setProcessChannelMode(QProcess::ForwardedChannels);
    if (options.spectators > 0) {
        spectators.start(QStringLiteral("nice"),
                         {"-n", "10", QDir(programDir).filePath(QStringLiteral("spectator_load")),
                          "--port", QString::number(window->Spectators().Port()), "--clients",
                          QString::number(options.spectators), "--seconds",
                          QString::number(options.seconds), "--out", "spectators.txt"});
    }
    const double cpuBefore = CpuSeconds();
    const double voiceCpuBefore = ThreadCpuSeconds(voiceThread);
    // The window thread is the process's first: its ID is the process's.
    const std::string windowThread = std::to_string(getpid());
    const double windowCpuBefore = ThreadCpuSeconds(windowThread);
    const std::int32_t measuredFrom = ticks.TimeGetTime();
    RunEventsFor(options.seconds * 1000 + 500);
    const double cpuUsed = CpuSeconds() - cpuBefore;
    const double voiceCpuUsed = ThreadCpuSeconds(voiceThread) - voiceCpuBefore;
    const double windowCpuUsed = ThreadCpuSeconds(windowThread) - windowCpuBefore;
    const VoiceFigures spoken = voice->Figures();
    const double wallSeconds = (ticks.TimeGetTime() - measuredFrom) / 1000.0;
    const double peakRss = PeakRssMb();

    stalls.stop();
    for (auto& hog : hogs) {
        hog->kill();
        hog->waitForFinished(5000);
    }
    simulator.closeWriteChannel();
    simulator.waitForFinished(5000);
    if (options.spectators > 0) {
        for (int waited = 0; spectators.state() != QProcess::NotRunning && waited < 30; ++waited)
            RunEventsFor(1000);
    }
    std::int64_t passesProcessed = 0;
    for (int id = 1; id <= 63; ++id)
        passesProcessed += state.LapCount[static_cast<std::size_t>(id)] + 1;
    const std::string status = app.Window().StatusCaption;
    voice.reset();
    window->close();
    window.reset();
    journal.FinishCleanly();

    const JournalParseResult parsed = ParseJournal(ReadText(journal.Path().string()));
    std::vector<simulator::SendLogEntry> sent;
    std::string error;
    if (!parsed.ok || !simulator::ParseSendLog(ReadText("simulator.log"), sent, error)) {
        std::cerr << "cannot read the journal or the send log: " << parsed.error << error << '\n';
        return 2;
    }
    std::vector<simulator::RecordedReception> received;
    std::vector<std::int32_t> clockSeconds;
    for (const JournalEvent& e : parsed.events) {
        if (e.kind == JournalEventKind::Rx) received.push_back({e.tick, e.bytes});
        // Each clock line is a second the race clock acted on (and redrew).
        if (e.kind == JournalEventKind::Clock && e.tick >= beginTick - 500)
            clockSeconds.push_back(static_cast<std::int32_t>(std::lround(e.tick / 1000.0)));
    }
    const simulator::DeliveryReport delivery = simulator::MatchDeliveries(sent, received);
    int skippedSeconds = 0;
    for (std::size_t i = 1; i < clockSeconds.size(); ++i)
        skippedSeconds += clockSeconds[i] - clockSeconds[i - 1] - 1;

    const std::int32_t p50 = simulator::Percentile(delivery.latenciesMs, 0.50);
    const std::int32_t p99 = simulator::Percentile(delivery.latenciesMs, 0.99);
    const std::int32_t max = simulator::Percentile(delivery.latenciesMs, 1.0);
    const double cpuPercent = 100.0 * cpuUsed / wallSeconds;
    const bool zeroLoss = delivery.ok && delivery.passesSent == passesProcessed &&
                          delivery.passesDelivered == delivery.passesSent;

    std::printf("Saturated line, %d transponders, %d s of timing (platform %s)\n",
                options.transponders, options.seconds, qPrintable(QGuiApplication::platformName()));
    std::printf("  frames sent              %lld (%.1f per second)\n",
                static_cast<long long>(delivery.passesSent),
                delivery.passesSent / static_cast<double>(options.seconds));
    std::printf("  passes processed         %lld\n", static_cast<long long>(passesProcessed));
    std::printf("  bytes delivered intact   %s%s\n",
                delivery.ok ? "yes" : "NO: ", delivery.error.c_str());
    std::printf("  zero loss                %s\n", Verdict(zeroLoss));
    std::printf("  latency write->stamp ms  p50 %d  p99 %d  max %d   (target p99 < 5: %s)\n", p50,
                p99, max, Verdict(p99 < 5));
    std::printf("  CPU                      %.1f %% of one core   (target < 25 %%: %s)\n",
                cpuPercent, Verdict(cpuPercent < 25.0));
    std::printf("  window thread CPU        %.1f %% of one core   (displays: %s)\n",
                100.0 * windowCpuUsed / wallSeconds, options.displays.c_str());
    std::printf("  peak memory (RSS)        %.1f MB   (target < 150 MB: %s)\n", peakRss,
                Verdict(peakRss < 150.0));
    std::printf("  race clock seconds       %zu acted on, %d skipped   (target 0 skipped: %s)\n",
                clockSeconds.size(), skippedSeconds, Verdict(skippedSeconds == 0));
    std::printf("  status at the end        %s; %d message(s) shown\n", status.c_str(),
                dialogs.Count());
    bool spectatorsMet = true;
    if (options.spectators > 0) {
        const std::vector<std::int32_t> delays =
            PassToSpectatorMs(sent, ReadText("spectators.txt"));
        const std::int32_t p95 = simulator::Percentile(delays, 0.95);
        spectatorsMet = spectators.exitCode() == 0 && !delays.empty() && p95 < 1000;
        std::printf("  spectators               %d phones, load generator %s\n", options.spectators,
                    spectators.exitCode() == 0 ? "without a failed request" : "SAW FAILURES");
        std::printf(
            "  pass->phone ms           p50 %d  p95 %d  max %d over %zu sightings   "
            "(target p95 < 1000: %s)\n",
            simulator::Percentile(delays, 0.5), p95, simulator::Percentile(delays, 1.0),
            delays.size(), Verdict(spectatorsMet));
    }
    if (options.readOut != 0) PrintVoiceFigures(spoken, voiceCpuUsed, wallSeconds);
    std::printf("scenario %s: latency write->stamp ms p50 %d p99 %d max %d; zero loss %s\n",
                options.scenario.c_str(), p50, p99, max, zeroLoss ? "yes" : "no");
    const bool allMet = zeroLoss && p99 < 5 && cpuPercent < 25.0 && peakRss < 150.0 &&
                        skippedSeconds == 0 && spectatorsMet;
    return allMet ? 0 : 1;
}

}  // namespace
}  // namespace palomind

int main(int argc, char** argv) {
    return palomind::Run(argc, argv);
}
