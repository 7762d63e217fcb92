#pragma once
// What the library pane needs from the window that hosts it. The main window
// implements it; tests implement it with a recorder.
#include <QString>

namespace library {

class LibraryHost {
public:
    virtual ~LibraryHost() = default;
    // Shows the drawing at `path` in the viewer; an empty path closes the drawing
    // and frees its file. Throws std::runtime_error when the file cannot be shown.
    virtual void openDrawing(const QString& path) = 0;
    // True while the task pane is visible.
    virtual bool taskPaneVisible() const = 0;
    // Reloads the task list for the drawing with this FileId.
    virtual void reloadTasks(const QString& fileId) = 0;
    // The remembered CAD program ("AutoCADPath"); the pane updates it after asking.
    virtual QString cadProgramPath() const = 0;
    virtual void setCadProgramPath(const QString& path) = 0;
    // Opens the sharing members dialog.
    virtual void showSharing() = 0;
};

}  // namespace library
