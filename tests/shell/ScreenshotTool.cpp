// Takes the README's picture of the main window: starts the stand-in service with the
// demo library on a free loopback port, logs in through the login panel, opens the
// library pane and a drawing, and saves the window as a PNG. Run it under Xvfb:
//   xvfb-run -s "-screen 0 1400x800x24" build/tests/shell/shell_screenshot docs/main-window.png
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>

#include "account/TLoginPanel.h"
#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/writer/DwgWriter.h"
#include "library/TLibraryPane.h"
#include "platform/testing/FakeDialogs.h"
#include "server/Admin.h"
#include "server/ReviewServer.h"
#include "service/ucm.h"
#include "shell/OrvaneApplication.h"
#include "shell/uFrmMain.h"
#include "viewer/ViewerCommands.h"

int main(int argc, char** argv) {
    shell::OrvaneApplication app(argc, argv);
    shell::installFontSubstitutes();
    if (argc < 2) {
        std::fprintf(stderr, "usage: shell_screenshot OUTPUT.png\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir data;
    QTemporaryDir root;
    server::ServerOptions options;
    options.dataDir = std::filesystem::path(data.path().toStdString());
    server::ReviewServer srv(options);
    // The project's own demo drawings, so the picture shows nothing made elsewhere.
    QTemporaryDir demoDir;
    for (const auto& demo : dwggen::demoDrawings()) {
        const std::string error = dwg::writer::writeR2000File(
            demo.drawing,
            (std::filesystem::path(demoDir.path().toStdString()) / demo.fileName).string());
        if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
    }
    const auto drawings = server::admin::drawingsIn(demoDir.path().toStdString());
    const auto seed = server::admin::seedDemo(srv.service(), drawings);
    ucm::setServiceBase(QString::fromStdString(srv.baseUrl()));
    ucm::setLocalRoot(root.path() + QDir::separator());

    platform::testing::FakeDialogs dialogs;  // the "登录成功。" box must not wait for a click
    platform::testing::InstallDialogs install(dialogs);
    TFrmMain window([](const QString&, const QString&) {});
    window.show();
    window.tbtmFiles->trigger();
    window.pnlLogin->edt1->setText(QString::fromStdString(seed.phone));
    window.pnlLogin->edt2->setText(QString::fromStdString(seed.password));
    window.pnlLogin->btn1->click();
    if (auto* tv1 = window.pnlDoc->findChild<QTreeWidget*>(QStringLiteral("tv1"))) tv1->expandAll();
    const QString sample = demoDir.path() + QStringLiteral("/floor-plan.dwg");
    if (QFile::exists(sample)) window.viewerCommands().OpenLocalFile(sample);

    int status = 1;
    QTimer::singleShot(1500, [&] {
        status = window.grab().save(output) ? 0 : 1;
        std::fprintf(stderr, "%s %s\n", status == 0 ? "saved" : "could not save",
                     qPrintable(output));
        app.quit();
    });
    app.exec();
    return status;
}
