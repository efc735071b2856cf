#include "web/serve_until_interrupted.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

#include "web/spectator_service.h"

namespace palomind {

int ServeUntilInterrupted(const RaceWindowModel& window, const ExactResult& result,
                          const WebAddress& address, std::ostream& out, std::ostream& err) {
    // The interruption is read from a descriptor in the event loop: blocked
    // before the server's thread starts, so that thread inherits the mask.
    // A shell starts background commands with SIGINT ignored, and an ignored
    // signal never arrives: the default action is restored first.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t interruptions;
    sigemptyset(&interruptions);
    sigaddset(&interruptions, SIGINT);
    sigaddset(&interruptions, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &interruptions, nullptr);
    const int signalFd = signalfd(-1, &interruptions, SFD_CLOEXEC);
    if (signalFd < 0) {
        err << "palomind: cannot wait for an interruption\n";
        return 1;
    }

    RaceSnapshotSlot race;
    race.Publish(window, result);
    SpectatorService service(race);
    const SpectatorService::StartResult started = service.Start(address);
    if (!started.serving) {
        err << "palomind: cannot serve the spectators' page at port " << address.port << ": "
            << started.error << '\n';
        close(signalFd);
        return 1;
    }
    out << "serving " << WebUrl(address, service.Port()) << " until interrupted" << std::endl;

    QSocketNotifier interrupted(signalFd, QSocketNotifier::Read);
    QObject::connect(&interrupted, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    service.Stop();
    close(signalFd);
    return 0;
}

}  // namespace palomind
