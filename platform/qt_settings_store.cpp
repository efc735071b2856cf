#include "platform/qt_settings_store.h"

#include <QStringList>
#include <QVariant>

namespace palomind {

namespace {

QString SettingPath(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + u'/' + QString::fromStdString(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QStringLiteral("Palomind"), QStringLiteral("Palomind")) {}

QtSettingsStore::QtSettingsStore(const QString& iniFilePath)
    : settings_(iniFilePath, QSettings::IniFormat) {}

std::optional<std::string> QtSettingsStore::GetSetting(const std::string& section,
                                                       const std::string& key) {
    const QVariant value = settings_.value(SettingPath(section, key));
    if (!value.isValid()) return std::nullopt;
    // An ini file edited by hand may hold "1,2", which QSettings reads back as a
    // list; give the caller the text as written rather than nothing.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(u',').toStdString();
    }
    return value.toString().toStdString();
}

void QtSettingsStore::SaveSetting(const std::string& section, const std::string& key,
                                  const std::string& value) {
    settings_.setValue(SettingPath(section, key), QString::fromStdString(value));
    // Written at once: the placement is saved while the program ends, and a
    // crash afterwards must not lose it.
    settings_.sync();
}

}  // namespace palomind
