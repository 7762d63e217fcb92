#pragma once
// The sign-up checks and request. No widgets; UI thread.
#include <QString>

namespace account {

struct SignUpEntries {
    QString name;
    QString mail;
    QString phone;
    QString password;
    QString confirmation;
};

// The first failing check's message, in the fixed order, or an empty text when all pass.
// Entries are taken as typed; lengths count GBK bytes.
QString signUpRefusal(const SignUpEntries& entries);

// Posts "UserMng/UserRegister"; returns the answer ("Y" on success, empty on failure).
QString requestSignUp(const SignUpEntries& entries);

}  // namespace account
