#pragma once
// Standard boxes and file dialogs. Every window asks through this seam so that
// tests can answer from a script and never show a real modal box.
// Thread: the real implementation shows widgets and must be called on the UI thread.
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { None, Information, Warning, Error, Question };
enum class Answer { Ok, Cancel, Yes, No };

// A file-open request: filter in the "Description|*.ext|Other|*.x" form.
struct OpenFileRequest {
    QString title;
    QString filter;
    bool multiSelect = false;
    int filterIndex = 1;  // 1-based, as the filter's pairs are counted
    QString initialDir;
};

struct OpenFileResult {
    QStringList files;    // empty when the user cancelled
    int filterIndex = 1;  // the pair chosen last
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Modal message box; returns the button pressed.
    virtual Answer messageBox(const QString& text, const QString& caption, Buttons buttons,
                              Icon icon) = 0;
    // One-line input box; returns `preset` when cancelled.
    virtual QString inputBox(const QString& caption, const QString& prompt,
                             const QString& preset) = 0;
    // One-line input query; returns nothing when cancelled.
    virtual std::optional<QString> inputQuery(const QString& caption, const QString& prompt,
                                              const QString& preset) = 0;
    virtual OpenFileResult openFiles(const OpenFileRequest& request) = 0;
};

// Converts the "Description|*.a;*.b|Other|*.c" filter form into Qt's
// "Description (*.a *.b);;Other (*.c)" form.
QString qtFilterFromPairs(const QString& filter);

// The process-wide instance. Defaults to the real Qt dialogs; tests install a
// double. Not owned: the installer keeps it alive while it is installed.
Dialogs& dialogs();
void setDialogs(Dialogs* instance);  // nullptr restores the real one

}  // namespace platform
