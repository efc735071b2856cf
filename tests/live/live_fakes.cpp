#include "tests/live/live_fakes.h"

#include <QDir>

namespace palomind::testing {

std::optional<std::string> MemorySettings::GetSetting(const std::string& section,
                                                      const std::string& key) {
    const auto it = values_.find(section + "/" + key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void MemorySettings::SaveSetting(const std::string& section, const std::string& key,
                                 const std::string& value) {
    values_[section + "/" + key] = value;
}

TemporaryCurrentDirectory::TemporaryCurrentDirectory() : previous_(QDir::currentPath()) {
    QDir::setCurrent(dir_.path());
}

TemporaryCurrentDirectory::~TemporaryCurrentDirectory() {
    QDir::setCurrent(previous_);
}

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
