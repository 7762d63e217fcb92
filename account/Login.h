#pragma once
// The login request and the reading of its answer. No widgets; UI thread (the request
// blocks until the service answers or the transfer times out).
#include <QString>

namespace account {

// `text` without the blank and control characters (code 32 and below) at both ends.
QString trimBlanksAndControls(const QString& text);

struct LoginAnswer {
    enum class Kind {
        NoConnection,  // empty answer or fewer than three fields
        Refused,       // three or more fields, the first not "Y"
        Succeeded,
    };
    Kind kind = Kind::NoConnection;
    QString answer;    // the whole answer as received
    QString userId;    // second field
    QString space;     // third field: remaining cloud space in MB, shown unchanged
    QString userName;  // fourth field, empty when the answer has only three
};

// Cuts the answer at "," (with the splitter's blank rule) and sorts it into the kinds.
LoginAnswer interpretLoginAnswer(const QString& answer);

// Posts "UserMng/UserLogon" with "phone" as typed and "password" trimmed.
LoginAnswer requestLogin(const QString& accountText, const QString& passwordText);

}  // namespace account
