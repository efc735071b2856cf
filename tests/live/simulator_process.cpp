#include "tests/live/simulator_process.h"

namespace palomind::testing {

QString StartSimulator(QProcess& process, const QStringList& arguments) {
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(PALOMIND_SIMULATOR), arguments);
    if (!process.waitForStarted(5000)) return {};
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(5000)) return {};
    }
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

}  // namespace palomind::testing
