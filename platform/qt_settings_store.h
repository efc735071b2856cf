#pragma once
#include <QSettings>
#include <QString>

#include "platform/settings_store.h"

namespace palomind {

// The per-user settings store over QSettings: the platform's native place for
// the organisation and application "Palomind" (an ini file under the user's
// configuration folder on Linux, the registry on Windows). Section and key
// form the setting's path, so ("Settings", "MainLeft") is "Settings/MainLeft".
class QtSettingsStore final : public SettingsStore {
  public:
    QtSettingsStore();
    // Over a given ini file instead of the native store.
    explicit QtSettingsStore(const QString& iniFilePath);

    std::optional<std::string> GetSetting(const std::string& section,
                                          const std::string& key) override;
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override;

  private:
    QSettings settings_;
};

}  // namespace palomind
