#pragma once
// The main toolbar's viewer commands and the local files: the open dialog, the "本地"
// drop-down of recent files, rotation and the background toggle. Points to the viewer
// control (owned by the main window, which outlives this object; it is created after
// the recent files are read, so it is set later) and owns the recent-files list.
// UI thread only.
#include <QString>
#include <QStringList>

#include "viewer/RecentFiles.h"

class QMenu;

namespace dwgviewx {
class TDwgViewX;
}

namespace viewer {

class ViewerCommands {
public:
    ViewerCommands() = default;
    void setViewer(dwgviewx::TDwgViewX* viewer) { viewer_ = viewer; }

    RecentFiles& recentFiles() { return recent_; }
    const RecentFiles& recentFiles() const { return recent_; }

    // Opens a local drawing and records it at the head of the recent files; a failure
    // shows "不能正确打开此文件。" and leaves the list as it was.
    void OpenLocalFile(const QString& path);
    // Rebuilds `menu` from the recent files: items "tbitem0", "tbitem1", ... with the
    // full path as caption. Clicking one runs localItemClick through the error report.
    void BuildLocalMenu(QMenu& menu);
    // A "本地" item: opens the path without catching; a failure reaches the caller.
    void localItemClick(const QString& path);

    // "打开": the file-open dialog for one DWG file, then OpenLocalFile.
    void tbtmOpenClick();
    // "旋转": the angle prompt, the whole-number check, the modulo rule, RotateView.
    void tbtmRotateClick();
    // "底色": 0 becomes 255, anything else 0.
    void tbtmBkColorClick();

private:
    // The viewer, or a std::runtime_error when it was never created.
    dwgviewx::TDwgViewX& viewer() const;

    dwgviewx::TDwgViewX* viewer_ = nullptr;
    RecentFiles recent_;
};

}  // namespace viewer
