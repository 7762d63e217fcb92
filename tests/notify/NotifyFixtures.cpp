#include "tests/notify/NotifyFixtures.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDir>

#include "service/ucm.h"

namespace notifytest {

QByteArray messagesAnswer(const QStringList& texts) {
    QString xml = QStringLiteral(
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"msginfo\" "
        "fieldtype=\"string\" WIDTH=\"2000\"/></FIELDS><PARAMS/></METADATA><ROWDATA>");
    for (QString text : texts) {
        text.replace(u'&', QStringLiteral("&amp;"))
            .replace(u'<', QStringLiteral("&lt;"))
            .replace(u'"', QStringLiteral("&quot;"))
            .replace(u'\r', QStringLiteral("&#13;"))
            .replace(u'\n', QStringLiteral("&#10;"));
        xml += QStringLiteral("<ROW msginfo=\"%1\"/>").arg(text);
    }
    xml += QStringLiteral("</ROWDATA></DATAPACKET>");
    return xml.toUtf8().toBase64();
}

void NotifyTest::SetUp() {
    ASSERT_TRUE(root_.isValid());
    previousBase_ = ucm::ServiceBase();
    previousRoot_ = ucm::LocalRoot();
    ucm::setServiceBase(QString::fromLatin1(server_.baseUrl()));
    ucm::setLocalRoot(root_.path() + QDir::separator());
    installDialogs_ = std::make_unique<platform::testing::InstallDialogs>(dialogs_);
    installShell_ = std::make_unique<platform::testing::InstallShell>(shell_);
    std::shared_ptr<Script> script = script_;
    server_.setHandler([script](const testsupport::RecordedRequest& r) {
        std::lock_guard<std::mutex> lock(script->mutex);
        const QByteArray target = r.target;
        auto wrapped = [](const QByteArray& text) {
            return testsupport::ScriptedReply::http(200, "\"" + text + "\"");
        };
        if (target.startsWith("/act/UserMng/GetMsg")) {
            return script->messages.isEmpty() ? testsupport::ScriptedReply::http(200, QByteArray())
                                              : wrapped(script->messages);
        }
        if (target.startsWith("/act/UserMng/GetVersion")) return wrapped(script->version);
        if (target == "/File/app.zip") {
            return testsupport::ScriptedReply::http(script->packageStatus, script->package,
                                                    "application/zip");
        }
        return testsupport::ScriptedReply::http(404, QByteArray());
    });
}

void NotifyTest::TearDown() {
    installShell_.reset();
    installDialogs_.reset();
    ucm::setServiceBase(previousBase_);
    ucm::setLocalRoot(previousRoot_);
}

void NotifyTest::setMessages(const QByteArray& answer) {
    std::lock_guard<std::mutex> lock(script_->mutex);
    script_->messages = answer;
}

void NotifyTest::setVersion(const QByteArray& version) {
    std::lock_guard<std::mutex> lock(script_->mutex);
    script_->version = version;
}

void NotifyTest::setPackage(const QByteArray& bytes, int status) {
    std::lock_guard<std::mutex> lock(script_->mutex);
    script_->package = bytes;
    script_->packageStatus = status;
}

size_t NotifyTest::requestsTo(const QString& prefix) const {
    size_t n = 0;
    for (const auto& r : server_.requests()) {
        if (QString::fromLatin1(r.target).startsWith(prefix)) ++n;
    }
    return n;
}

QString NotifyTest::packagePath() const {
    return ucm::LocalRoot() + QStringLiteral("app.zip");
}

void NotifyTest::useUnreachableService() {
    // A port that was free a moment ago: connections are refused at once.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(probe, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ::close(probe);
    const int port = ntohs(address.sin_port);
    ucm::setServiceBase(QStringLiteral("http://127.0.0.1:%1/").arg(port));
}

}  // namespace notifytest
