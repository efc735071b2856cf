#include "tests/support/process_lines.h"

#include <chrono>

namespace palomind::testing {

QString ReadLine(QProcess& process, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!process.canReadLine()) {
        if (std::chrono::steady_clock::now() > deadline || process.state() == QProcess::NotRunning)
            return {};
        process.waitForReadyRead(100);
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

QString Ask(QProcess& process, const QByteArray& command) {
    process.write(command + '\n');
    process.waitForBytesWritten(5'000);
    return ReadLine(process);
}

}  // namespace palomind::testing
