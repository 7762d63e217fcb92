#include "tests/library/PaneFixture.h"

#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTreeWidget>

#include "library/LibraryNode.h"
#include "server/Admin.h"
#include "service/ucm.h"
#include "tests/library/LibraryFixtures.h"

namespace testlib {

void PaneTest::SetUp() {
    installDialogs = std::make_unique<platform::testing::InstallDialogs>(dialogs);
    installShell = std::make_unique<platform::testing::InstallShell>(shell);
    server::ServerOptions options;
    options.dataDir = dataDir.path().toStdString();
    server = std::make_unique<server::ReviewServer>(options);
    ucm::setServiceBase(QString::fromStdString(server->baseUrl()));
    ucm::setLocalRoot(localRoot.path() + "/");
    userId = addUser("13800000001", "Alice");
    ucm::setLogin(QString::number(userId), QStringLiteral("Alice"));
    QDir().mkpath(ucm::UserFolder());
    pane = std::make_unique<library::TLibraryPane>(host);
    pane->resize(321, 600);
    pane->show();
}

void PaneTest::TearDown() {
    pane.reset();
    ucm::setLogin(QString(), QString());
    server.reset();
    installShell.reset();
    installDialogs.reset();
}

int64_t PaneTest::addUser(const std::string& phone, const std::string& name) {
    return server::admin::createUser(server->service(), phone, "secret123", name,
                                     "u" + phone + "@example.com");
}

std::string PaneTest::addFolder(const std::string& pid, const std::string& name, int64_t owner) {
    return server::admin::addFolder(server->service(), owner < 0 ? userId : owner, "", pid, name);
}

std::string PaneTest::addDrawing(const std::string& pid, const std::string& name,
                                 const QByteArray& content, int64_t owner) {
    const QString file =
        disk.filePath(QStringLiteral("seed-%1.dwg").arg(QString::fromStdString(name)));
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    return server::admin::addDrawing(server->service(), owner < 0 ? userId : owner, "", pid, name,
                                     file.toStdString());
}

QString PaneTest::makeDwg(const QString& name, const QByteArray& content) {
    const QString path = disk.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
}

QString PaneTest::userFolder() const {
    return ucm::UserFolder();
}

void PaneTest::load() {
    pane->LoadCatalogue();
}

QAction* PaneTest::action(const char* name) const {
    auto* a = pane->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
}

void PaneTest::trigger(const char* name) {
    QAction* a = action(name);
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->isEnabled()) << name << " is disabled";
    a->trigger();
}

QTreeWidgetItem* PaneTest::node(const QString& text) const {
    const auto found = pane->tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

void PaneTest::select(const QString& text) {
    QTreeWidgetItem* item = node(text);
    ASSERT_NE(item, nullptr) << text.toStdString();
    pane->tree()->clearSelection();
    pane->tree()->setCurrentItem(item);
    item->setSelected(true);
}

void PaneTest::selectNothing() {
    pane->tree()->clearSelection();
    pane->tree()->setCurrentItem(nullptr);
}

library::TFiles* PaneTest::entryNamed(const QString& name) const {
    for (const auto& e : pane->FileList()) {
        if (e->FileNewName == name) return e.get();
    }
    return nullptr;
}

void PaneTest::chooseView(int index) {
    auto* button = pane->findChild<QRadioButton*>(QStringLiteral("rg1Item%1").arg(index));
    ASSERT_NE(button, nullptr);
    button->click();
}

QString PaneTest::outline() const {
    return testlib::outline(*pane->tree());
}

}  // namespace testlib
