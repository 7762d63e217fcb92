#pragma once
// What the login panel needs from the main window after a successful login.
#include <QString>

namespace account {

class LoginHost {
public:
    virtual ~LoginHost() = default;
    // Rewrites the first panel of the status bar.
    virtual void setStatusText(const QString& text) = 0;
    // Applies the logged-in / logged-out visibility and enabled rules of the library pane.
    virtual void applyLoginState() = 0;
    // The user's folder exists (or could not be made); load the catalogue into it.
    virtual void openUserLibrary(const QString& userFolder) = 0;
};

}  // namespace account
