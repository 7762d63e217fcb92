#include "account/SignUp.h"

#include <QStringList>

#include "platform/Gbk.h"
#include "service/ucm.h"

namespace account {

QString signUpRefusal(const SignUpEntries& e) {
    if (e.name.isEmpty()) return QStringLiteral("姓名不能为空。");
    // Compared as typed: two texts that GBK cannot hold would otherwise both turn into "?".
    if (e.password != e.confirmation) return QStringLiteral("请输入两次一样的密码。");
    if (platform::gbkLength(e.password) < 6) return QStringLiteral("请输入6位以上的密码。");
    if (!e.mail.contains(QLatin1Char('@'))) return QStringLiteral("您的邮箱地址格式不正确。");
    if (platform::gbkLength(e.phone) != 11) return QStringLiteral("您的手机号格式不正确。");
    return QString();
}

QString requestSignUp(const SignUpEntries& e) {
    const QStringList fields{
        QStringLiteral("mail=") + e.mail, QStringLiteral("password=") + e.password,
        QStringLiteral("phone=") + e.phone, QStringLiteral("username=") + e.name};
    return ucm::ServicePost(fields, QStringList(), QStringLiteral("UserMng/UserRegister"));
}

}  // namespace account
