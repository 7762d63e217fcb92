#include "tests/tasks/TaskFixtures.h"

#include <QBuffer>
#include <QDir>

#include "platform/Paths.h"
#include "service/ucm.h"
#include "tasks/JpegCodec.h"
#include "tasks/ModalRunner.h"

namespace taskstest {

namespace {
QString escapeXml(QString text) {
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;"))
        .replace(u'"', QStringLiteral("&quot;"))
        .replace(u'\r', QStringLiteral("&#13;"))
        .replace(u'\n', QStringLiteral("&#10;"));
}
}  // namespace

QByteArray packetBase64(const QStringList& fields, const std::vector<Row>& rows) {
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    for (const QString& field : fields) {
        xml += QStringLiteral("<FIELD attrname=\"%1\" fieldtype=\"string\" WIDTH=\"255\"/>")
                   .arg(field);
    }
    xml += QStringLiteral("</FIELDS><PARAMS/></METADATA><ROWDATA>");
    for (const Row& row : rows) {
        xml += QStringLiteral("<ROW");
        for (const auto& [name, value] : row) {
            xml += QStringLiteral(" %1=\"%2\"").arg(name, escapeXml(value));
        }
        xml += QStringLiteral("/>");
    }
    xml += QStringLiteral("</ROWDATA></DATAPACKET>");
    return xml.toUtf8().toBase64();
}

Row taskRow(const QString& id, const QString& info, int status, const QString& filePath,
            const QString& date, const QString& user) {
    return Row{{QStringLiteral("FileId"), QStringLiteral("F1")},
               {QStringLiteral("Id"), id},
               {QStringLiteral("MsgInfo"), info},
               {QStringLiteral("MsgDate"), date},
               {QStringLiteral("Status"), QString::number(status)},
               {QStringLiteral("UserName"), user},
               {QStringLiteral("FilePath"), filePath}};
}

QByteArray tasksAnswer(const std::vector<Row>& rows) {
    return packetBase64({QStringLiteral("FileId"), QStringLiteral("Id"), QStringLiteral("MsgInfo"),
                         QStringLiteral("MsgDate"), QStringLiteral("Status"),
                         QStringLiteral("UserName"), QStringLiteral("FilePath")},
                        rows);
}

testsupport::ScriptedReply wrapped(const QString& text) {
    return testsupport::ScriptedReply::http(200, "\"" + text.toUtf8() + "\"");
}

testsupport::ScriptedReply fileReply(const QByteArray& bytes) {
    return testsupport::ScriptedReply::http(200, bytes, "application/octet-stream");
}

QByteArray jpegBytes(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return jpeg::Encode(image).bytes;
}

QString actPath(const testsupport::RecordedRequest& request) {
    QString target = QString::fromLatin1(request.target);
    if (target.startsWith(QStringLiteral("/act/"))) target.remove(0, 5);
    return target;
}

void TaskTest::SetUp() {
    ASSERT_TRUE(root_.isValid());
    previousBase_ = ucm::ServiceBase();
    previousRoot_ = ucm::LocalRoot();
    ucm::setServiceBase(QString::fromLatin1(server_.baseUrl()));
    ucm::setLocalRoot(root_.path() + QDir::separator());
    ucm::setLogin(QStringLiteral("7"), QStringLiteral("A"));
    QDir().mkpath(userFolder());
    installDialogs_ = std::make_unique<platform::testing::InstallDialogs>(dialogs_);
    installClipboard_ = std::make_unique<platform::testing::InstallClipboard>(clipboard_);
}

void TaskTest::TearDown() {
    installClipboard_.reset();
    installDialogs_.reset();
    ucm::setLogin(QString(), QString());
    ucm::setServiceBase(previousBase_);
    ucm::setLocalRoot(previousRoot_);
}

QString TaskTest::userFolder() const {
    return platform::joinPath(ucm::LocalRoot(), QStringLiteral("7")) + platform::separator();
}

QString TaskTest::serverUrl(const QString& tail) const {
    return QString::fromLatin1(server_.baseUrl()) + tail;
}

ModalHookGuard::ModalHookGuard(std::function<int(QDialog&)> hook) {
    tasks::SetModalHook(std::move(hook));
}

ModalHookGuard::~ModalHookGuard() {
    tasks::SetModalHook({});
}

}  // namespace taskstest
