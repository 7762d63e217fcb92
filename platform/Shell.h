#pragma once
// The desktop shell's "OPEN": a URL, a folder, a file, or a program with a parameter text.
#include <QString>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document, folder or URL with the desktop's handler. Returns false on failure.
    virtual bool open(const QString& target) = 0;
    // Starts a program with one parameter text, detached. Returns false on failure.
    virtual bool run(const QString& program, const QString& parameters) = 0;
};

Shell& shell();
void setShell(Shell* instance);  // nullptr restores the real one

}  // namespace platform
