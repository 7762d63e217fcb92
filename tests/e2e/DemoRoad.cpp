#include "tests/e2e/DemoRoad.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "account/TLoginPanel.h"
#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/writer/DwgWriter.h"
#include "library/LibraryNode.h"
#include "library/TLibraryPane.h"
#include "server/Admin.h"
#include "service/ucm.h"
#include "tasks/ModalRunner.h"

namespace e2e {

PrintedLogin loginPrintedByRunScript() {
    PrintedLogin out;
    QFile script(QStringLiteral(ORVANE_SOURCE_DIR "/scripts/run"));
    if (!script.open(QIODevice::ReadOnly)) return out;
    const QString text = QString::fromUtf8(script.readAll());
    const auto demo =
        QRegularExpression(
            QStringLiteral("Demo login:\\s+phone ([^\\s\"]+)\\s+password ([^\\s\"]+)"))
            .match(text);
    if (demo.hasMatch()) {
        out.phone = demo.captured(1);
        out.password = demo.captured(2);
    }
    const auto second =
        QRegularExpression(QStringLiteral("Second user:\\s+phone ([^\\s\"]+)")).match(text);
    if (second.hasMatch()) out.secondPhone = second.captured(1);
    return out;
}

void DemoRoad::SetUp() {
    ASSERT_TRUE(data.isValid() && generated.isValid() && localRoot.isValid());
    installDialogs_ = std::make_unique<platform::testing::InstallDialogs>(dialogs);
    installShell_ = std::make_unique<platform::testing::InstallShell>(shell);
    ASSERT_EQ(seedAsRunScriptDoes(), 0);
    ASSERT_NO_FATAL_FAILURE(startService());
    ucm::setLocalRoot(localRoot.path() + QDir::separator());
    ucm::setLogin(QString(), QString());
}

int DemoRoad::seedAsRunScriptDoes() {
    const std::filesystem::path dir(generated.path().toStdString());
    for (const auto& demo : dwggen::demoDrawings()) {
        const std::string error =
            dwg::writer::writeR2000File(demo.drawing, (dir / demo.fileName).string());
        EXPECT_TRUE(error.empty()) << demo.fileName << ": " << error;
        if (!error.empty()) return 1;
    }
    return server::admin::run(
        {"--data", data.path().toStdString(), "seed-demo", "--drawings", dir.string()});
}

void DemoRoad::startService() {
    server::ServerOptions options;
    options.dataDir = std::filesystem::path(data.path().toStdString());
    auto downloads = downloads_;
    options.log = [downloads](const std::string& line) {
        if (line.find(" GET /File") != std::string::npos && line.find(".dwg ") != std::string::npos)
            ++*downloads;
    };
    server = std::make_unique<server::ReviewServer>(options);
    ucm::setServiceBase(QString::fromStdString(server->baseUrl()));
}

void DemoRoad::stopService() {
    server.reset();
}

void DemoRoad::TearDown() {
    tasks::SetModalHook({});
    window.reset();
    ucm::setLogin(QString(), QString());
    server.reset();
    installShell_.reset();
    installDialogs_.reset();
}

TFrmMain& DemoRoad::startClient(TFrmMain::PollerStart poller) {
    window.reset();
    window =
        std::make_unique<TFrmMain>([this, poller](const QString& account, const QString& date) {
            pollerStarts << account + QLatin1Char('|') + date;
            if (poller) poller(account, date);
        });
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return *window;
}

void DemoRoad::endSession() {
    if (!window) return;
    window->close();
    window.reset();
    ucm::setLogin(QString(), QString());
}

void DemoRoad::logIn(const QString& phone, const QString& password) {
    window->pnlLogin->edt1->setText(phone);
    window->pnlLogin->edt2->setText(password);
    QTest::mouseClick(window->pnlLogin->btn1, Qt::LeftButton);
}

QTreeWidget* DemoRoad::tree() const {
    return window->pnlDoc->tree();
}

QTreeWidgetItem* DemoRoad::node(const QString& text) const {
    const auto found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList DemoRoad::childTexts(QTreeWidgetItem* parent) const {
    QStringList out;
    const int n = parent ? parent->childCount() : tree()->topLevelItemCount();
    for (int i = 0; i < n; ++i)
        out << (parent ? parent->child(i) : tree()->topLevelItem(i))->text(0);
    return out;
}

QStringList DemoRoad::drawingsShown() const {
    QStringList out;
    for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
        const library::TFiles* entry = library::LibraryNode::entryOf(*it);
        if (entry && entry->isDrawing()) out << (*it)->text(0);
    }
    out.sort();
    return out;
}

void DemoRoad::chooseView(int index) {
    auto* button = window->pnlDoc->findChild<QRadioButton*>(QStringLiteral("rg1Item%1").arg(index));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    // On the round mark: a radio button takes clicks on its mark and label only.
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
    ASSERT_EQ(window->pnlDoc->LastFilterIndex(), index);
}

void DemoRoad::select(QTreeWidgetItem* item) {
    ASSERT_NE(item, nullptr);
    tree()->scrollToItem(item);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      tree()->visualItemRect(item).center());
    ASSERT_EQ(tree()->currentItem(), item);
}

void DemoRoad::doubleClick(QTreeWidgetItem* item) {
    ASSERT_NO_FATAL_FAILURE(select(item));
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       tree()->visualItemRect(item).center());
}

QAction* DemoRoad::libraryAction(const char* name) const {
    return window->pnlDoc->findChild<QAction*>(QString::fromLatin1(name));
}

QTreeWidgetItem* DemoRoad::findDrawingInEitherView(const QString& drawing) {
    for (int view : {0, 1}) {
        chooseView(view);
        if (QTreeWidgetItem* found = node(drawing)) return found;
    }
    return nullptr;
}

ModalAnswers::ModalAnswers(std::function<int(QDialog&)> person) {
    tasks::SetModalHook(std::move(person));
}

ModalAnswers::~ModalAnswers() {
    tasks::SetModalHook({});
}

}  // namespace e2e
