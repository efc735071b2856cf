#pragma once
#include <optional>
#include <string>

namespace palomind {

// The per-user settings store (window placement, port device paths): text
// values by section and key, under the application "Palomind".
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> GetSetting(const std::string& section,
                                                  const std::string& key) = 0;
    virtual void SaveSetting(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

}  // namespace palomind
