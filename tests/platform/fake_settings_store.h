#pragma once
#include <map>
#include <utility>

#include "platform/settings_store.h"

namespace palomind::testing {

// A settings store held in memory.
class FakeSettingsStore final : public SettingsStore {
  public:
    std::optional<std::string> GetSetting(const std::string& section,
                                          const std::string& key) override {
        const auto found = values_.find({section, key});
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }
    void SaveSetting(const std::string& section, const std::string& key,
                     const std::string& value) override {
        values_[{section, key}] = value;
    }

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace palomind::testing
