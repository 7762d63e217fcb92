#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "ServiceFixture.h"
#include "platform/Gbk.h"

namespace {

using testsupport::ScriptedReply;

// A real multipart parser on loopback: checks what the client sends as a server sees it.
class MultipartServer {
public:
    MultipartServer() {
        server_.Post(R"(/act/.*)",
                     [this](const httplib::Request& request, httplib::Response& response) {
                         std::lock_guard lock(mutex_);
                         files_ = request.files;
                         contentType_ = request.get_header_value("Content-Type");
                         response.set_content("\"Y\"", "text/plain");
                     });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~MultipartServer() {
        server_.stop();
        thread_.join();
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }
    httplib::MultipartFormDataMap files() const {
        std::lock_guard lock(mutex_);
        return files_;
    }
    std::string contentType() const {
        std::lock_guard lock(mutex_);
        return contentType_;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    httplib::MultipartFormDataMap files_;
    std::string contentType_;
};

class ServicePost : public ServiceFixture {
protected:
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir_;
};

class ServicePostParsed : public ServicePost {
protected:
    void SetUp() override {
        ServicePost::SetUp();
        ucm::setServiceBase(multipart_.base());
    }
    const httplib::MultipartFormData& part(const httplib::MultipartFormDataMap& files,
                                           const std::string& name) {
        const auto it = files.find(name);
        static const httplib::MultipartFormData none{"<missing>", "", "", ""};
        EXPECT_NE(it, files.end()) << "no part named " << name;
        return it == files.end() ? none : it->second;
    }
    MultipartServer multipart_;
};

TEST_F(ServicePostParsed, SendsEachFieldAsATextPartSplitAtTheFirstEquals) {
    const QString answer = ucm::ServicePost(
        {"phone=13800000000", "password=a=b==c", "msgTitle=", QStringLiteral("msgInfo=完成 ok")},
        {}, "UserMng/UserLogon");
    EXPECT_EQ(answer, "Y");
    const auto files = multipart_.files();
    EXPECT_EQ(files.size(), 4u);
    EXPECT_EQ(part(files, "phone").content, "13800000000");
    EXPECT_EQ(part(files, "password").content, "a=b==c");
    EXPECT_EQ(part(files, "msgTitle").content, "");
    EXPECT_EQ(part(files, "msgInfo").content, "\xE5\xAE\x8C\xE6\x88\x90 ok")
        << "values go in UTF-8";
    for (const auto& [name, field] : files) {
        EXPECT_EQ(field.content_type, "") << name << " carries no content type";
        EXPECT_EQ(field.filename, "") << name;
    }
    EXPECT_EQ(multipart_.contentType().rfind("multipart/form-data; boundary=", 0), 0u);
}

TEST_F(ServicePostParsed, SendsAFieldWithoutEqualsUnderAnEmptyName) {
    ucm::ServicePost({"loose text"}, {}, "A/B");
    const auto files = multipart_.files();
    EXPECT_EQ(part(files, "").content, "loose text");
}

TEST_F(ServicePostParsed, SendsAttachmentsNamedByFileWithTheFullPathInGbk) {
    QByteArray bytes("AC1015\0\r\n--binary\xFF", 19);
    const QString path = writeFile(QStringLiteral("图纸.dwg"), bytes);
    ucm::ServicePost({"userId=7"}, {path}, "FileMng/CommitFile2");
    const auto files = multipart_.files();
    const auto& file = part(files, "\xE5\x9B\xBE\xE7\xBA\xB8.dwg");
    EXPECT_EQ(QByteArray::fromStdString(file.content), bytes);
    EXPECT_EQ(QByteArray::fromStdString(file.filename), platform::toGbk(path));
    EXPECT_EQ(file.content_type, "text/plain");
    EXPECT_EQ(part(files, "userId").content, "7");
}

class ServicePostRaw : public ServicePost {};

TEST_F(ServicePostRaw, PutsTextPartsFirstAndFilesAfterInListOrder) {
    server_.enqueue(ScriptedReply::http(200, "\"Y\""));
    const QString a = writeFile("a.jpg", "AAA");
    const QString b = writeFile("b.jpg", "BBB");
    ucm::ServicePost({"z=1", "y=2"}, {b, a}, "FileMng/FileMsgAdd");
    const auto request = onlyRequest();
    EXPECT_EQ(request.requestLine, "POST /act/FileMng/FileMsgAdd HTTP/1.1");
    EXPECT_FALSE(request.hasHeader("Expect"));
    const QByteArray& body = request.body;
    const qsizetype z = body.indexOf("name=\"z\"");
    const qsizetype y = body.indexOf("name=\"y\"");
    const qsizetype pb = body.indexOf("name=\"b.jpg\"");
    const qsizetype pa = body.indexOf("name=\"a.jpg\"");
    EXPECT_TRUE(z >= 0 && z < y && y < pb && pb < pa) << body.toStdString();
}

TEST_F(ServicePostRaw, SendsFieldNamesAsGbkBytes) {
    server_.enqueue(ScriptedReply::http(200, "\"Y\""));
    ucm::ServicePost({QStringLiteral("完成=1")}, {}, "A/B");
    EXPECT_TRUE(onlyRequest().body.contains("name=\"\xCD\xEA\xB3\xC9\""));
}

TEST_F(ServicePostRaw, SendsNothingWhenAnAttachmentIsMissing) {
    const QString good = writeFile("ok.dwg", "x");
    EXPECT_EQ(ucm::ServicePost({"a=1"}, {good, dir_.filePath("missing.dwg")}, "A/B"), "");
    EXPECT_EQ(ucm::ServicePost({"a=1"}, {dir_.path()}, "A/B"), "") << "a folder is no file";
    EXPECT_EQ(server_.connectionCount(), 0u);
}

TEST_F(ServicePostRaw, DecodesAChineseAnswerBetweenAsciiWrappers) {
    server_.enqueue(ScriptedReply::http(200, "\"\xE5\xAE\x8C\xE6\x88\x90\""));
    EXPECT_EQ(ucm::ServicePost({}, {}, "A/B"), QStringLiteral("完成"));
    server_.enqueue(ScriptedReply::http(200, "[Y,\xF0\x9F\x98\x80]"));
    EXPECT_EQ(ucm::ServicePost({}, {}, "A/B"), QStringLiteral("Y,\U0001F600"))
        << "characters GBK cannot hold stay as they are";
}

TEST_F(ServicePostRaw, DecodesBeforeUnwrappingSoAMultiByteWrapperLosesOneByteAtEachEnd) {
    // "「Y」": in GBK A1 B8, 59, A1 B9. Dropping one byte at each end leaves B8 59 A1.
    server_.enqueue(ScriptedReply::http(200, "\xE3\x80\x8CY\xE3\x80\x8D"));
    EXPECT_EQ(ucm::ServicePost({}, {}, "A/B"), platform::fromGbk("\xB8\x59\xA1"));
}

TEST_F(ServicePostRaw, GivesAnEmptyAnswerForShortBadOrFailedAnswers) {
    server_.enqueue(ScriptedReply::http(200, "\"\""));
    EXPECT_EQ(ucm::ServicePost({}, {}, "A/B"), "");
    server_.enqueue(ScriptedReply::http(200, "\"\xFF\""));
    EXPECT_EQ(ucm::ServicePost({}, {}, "A/B"), "");
    server_.enqueue(ScriptedReply::http(404, "\"Y\""));
    EXPECT_EQ(ucm::ServicePost({}, {}, "A/B"), "");
    server_.enqueue(ScriptedReply::broken("\"Y", 50));
    EXPECT_EQ(ucm::ServicePost({}, {}, "A/B"), "");
    // A two-byte GBK character between wrappers is more than two bytes.
    server_.enqueue(ScriptedReply::http(200, "\xE5\xAE\x8C"));
    EXPECT_EQ(ucm::ServicePost({}, {}, "A/B"), "");
}

TEST_F(ServicePostRaw, StreamsALargeAttachmentWhole) {
    QByteArray big(3 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 3);
    const QString path = writeFile("big.dwg", big);
    server_.enqueue(ScriptedReply::http(200, "\"Y|new.dwg\""));
    EXPECT_EQ(ucm::ServicePost({"id=1"}, {path}, "FileMng/CommitFile2"), "Y|new.dwg");
    EXPECT_TRUE(onlyRequest().body.contains(big));
}

}  // namespace
