#include "account/Login.h"

#include <QStringList>

#include "service/ucm.h"

namespace account {

QString trimBlanksAndControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32) ++first;
    while (last > first && text.at(last - 1).unicode() <= 32) --last;
    return text.mid(first, last - first);
}

LoginAnswer interpretLoginAnswer(const QString& answer) {
    LoginAnswer result;
    result.answer = answer;
    const QStringList fields = answer.isEmpty() ? QStringList() : ucm::SplitDelimited(answer, u',');
    if (fields.size() < 3) return result;
    if (fields.at(0) != QLatin1String("Y")) {
        result.kind = LoginAnswer::Kind::Refused;
        return result;
    }
    result.kind = LoginAnswer::Kind::Succeeded;
    result.userId = fields.at(1);
    result.space = fields.at(2);
    if (fields.size() > 3) result.userName = fields.at(3);
    return result;
}

LoginAnswer requestLogin(const QString& accountText, const QString& passwordText) {
    const QStringList fields{QStringLiteral("phone=") + accountText,
                             QStringLiteral("password=") + trimBlanksAndControls(passwordText)};
    return interpretLoginAnswer(
        ucm::ServicePost(fields, QStringList(), QStringLiteral("UserMng/UserLogon")));
}

}  // namespace account
