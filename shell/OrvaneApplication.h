#pragma once
// The application object. It installs the default error report once for the whole
// program: an exception that escapes an event handler is shown in the error box
// instead of ending the process. Commands also wrap their handlers with guarded(),
// because Qt does not promise to carry exceptions through its own frames.
#include <QApplication>

namespace shell {

class OrvaneApplication : public QApplication {
    Q_OBJECT
public:
    OrvaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Maps "微软雅黑" and "宋体" to an installed family with Chinese glyphs (Noto Sans CJK
// SC, else any family that covers Simplified Chinese), so captions never show boxes.
// Call once after the application object exists. Returns the family chosen, or empty.
QString installFontSubstitutes();

}  // namespace shell
