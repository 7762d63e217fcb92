#include "shell/OrvaneApplication.h"

#include <QFontDatabase>
#include <QStringList>

#include "shell/ErrorReport.h"

namespace shell {

OrvaneApplication::OrvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("OrvaneCAD"));
    setApplicationDisplayName(QStringLiteral("OrvaneCAD"));
}

bool OrvaneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentException();
        return false;
    }
}

QString installFontSubstitutes() {
    const QStringList families = QFontDatabase::families();
    QString chosen;
    for (const QString& preferred :
         {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")}) {
        if (families.contains(preferred)) {
            chosen = preferred;
            break;
        }
    }
    if (chosen.isEmpty()) {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        if (!chinese.isEmpty()) chosen = chinese.first();
    }
    if (chosen.isEmpty()) return chosen;
    QFont::insertSubstitution(QStringLiteral("微软雅黑"), chosen);
    QFont::insertSubstitution(QStringLiteral("宋体"), chosen);
    return chosen;
}

}  // namespace shell
