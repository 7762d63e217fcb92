#pragma once
// Editing a drawing in the desktop CAD program: choosing the program once (an .exe or a
// shortcut to one) and starting it on the drawing's local file. UI thread only.
#include <QString>
#include <optional>

#include "library/TFiles.h"

namespace library {

class ExternalCad {
public:
    // Asks for the CAD program: the prompt "此前您没有进行图纸编辑，请先选择CAD的应用程序。"
    // (OK/Cancel) and a file dialog "Autodesk CAD软件|*.exe". Returns nothing when the user
    // cancels; otherwise the program's path, which may be empty when a chosen shortcut
    // could not be resolved to an existing file.
    static std::optional<QString> chooseProgram();

    // The program behind a chosen file: the file itself when its extension is exactly
    // ".exe"; otherwise its shortcut target, without the first " (x86)" when only that
    // form exists; empty when neither exists.
    static QString programFromChoice(const QString& chosen);

    // Starts `program` on the entry's local file (quoted) and marks it changed, when it
    // has one (LocalState 1 or 3). Returns whether it did.
    static bool launch(TFiles& entry, const QString& program);
};

}  // namespace library
