#pragma once
// The update check: asks the service for the current client version and, when it
// differs from ClientVersion, downloads "app.zip" into LocalRoot and offers to
// install it. Runs on the poller thread; the question is asked through a runner
// that executes it on the UI thread.
#include <QString>
#include <functional>

namespace ucm {

// True when the service's version equals ClientVersion or cannot be read (an empty
// answer or anything that is not a whole decimal number). Any thread.
bool VersionIsCurrent();

// Runs `step` on the UI thread and returns once it has run; returns false without
// running it when that is no longer possible (the program is closing).
using UiRunner = std::function<bool(const std::function<void()>& step)>;

// The whole check. With an empty runner the question is asked on the calling thread,
// which must then be the UI thread. Throws DownloadError when the package cannot be
// written (the poller ends silently on it).
void CheckForUpdate(const UiRunner& onUiThread = {});

// The local path of the update package: LocalRoot + "app.zip".
QString UpdatePackagePath();

}  // namespace ucm
