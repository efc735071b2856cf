#pragma once
#include <QObject>

#include "app/application.h"
#include "app/settings_file_writer.h"
#include "platform/file_store.h"

namespace palomind {

// "Palomind.ini" written whenever the operator changes a setting, by a
// writer thread with a file store of its own (app/settings_file_writer.h).
// Its failure, told once, reaches the operator on the window's thread as a
// platform problem. Ends before the window it reports to.
class SettingsWrittenOnChange final {
  public:
    SettingsWrittenOnChange(Application& app, QObject& window);
    ~SettingsWrittenOnChange();
    SettingsWrittenOnChange(const SettingsWrittenOnChange&) = delete;
    SettingsWrittenOnChange& operator=(const SettingsWrittenOnChange&) = delete;

  private:
    Application& app_;
    DiskFileStore files_;
    SettingsFileWriter writer_;
};

}  // namespace palomind
