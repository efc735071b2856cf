#include "shell/settings_written_on_change.h"

#include <QMetaObject>
#include <string>

#include "app/user_folder.h"
#include "documents/settings_file.h"

namespace palomind {

SettingsWrittenOnChange::SettingsWrittenOnChange(Application& app, QObject& window)
    : app_(app),
      files_(kKeepFolder),
      writer_(files_, kSettingsFileName, [&app, &window](const std::string& reason) {
          // Told on the writer's thread; queued to the window's, and dropped
          // by the toolkit if the window has gone.
          QMetaObject::invokeMethod(
              &window,
              [&app, reason] {
                  app.ReportPlatformProblem(PlatformProblem::SettingsFailed, reason);
              },
              Qt::QueuedConnection);
      }) {
    app_.KeepSettingsWritten(&writer_);
}

SettingsWrittenOnChange::~SettingsWrittenOnChange() {
    app_.KeepSettingsWritten(nullptr);
}

}  // namespace palomind
