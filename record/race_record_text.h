#pragma once
#include <string>
#include <string_view>

#include "record/race_recorder.h"

namespace palomind {

// The race record of the race shown, kept as text in memory: what its
// corrections are checked against and its revisions scored from, live, in
// a replay of the run's journal and in a restore alike. It holds one record
// at a time; the next one begun or continued replaces it.
class RaceRecordText final : public RaceRecordOutput {
  public:
    Begun Begin(const std::string&) override {
        text_.clear();
        return Begun::Created;
    }
    bool Continue(const std::string&, std::string_view text) override {
        text_ = text;
        return true;
    }
    bool Append(std::string_view line) override {
        text_ += line;
        text_ += '\n';
        return true;
    }
    void End() override {}

    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

}  // namespace palomind
