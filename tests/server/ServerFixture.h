#pragma once
// A review service started in-process on a free loopback port with a temporary
// data folder, and a small HTTP client that sends request targets exactly as
// given (backslashes, "+" and braces unescaped), as the desktop client does.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "server/ReviewServer.h"

namespace servertest {

struct HttpResult {
    int status = 0;  // 0: no answer
    std::string body;
};

struct FilePart {
    std::string name;
    std::string filename;
    std::string content;
};

using Fields = std::vector<std::pair<std::string, std::string>>;
using Row = std::map<std::string, std::string>;

// GET of `target` ("/act/..."), sent unchanged.
HttpResult httpGet(int port, const std::string& target);
// Multipart POST: one text part per field (no content type), then file parts
// ("text/plain"), as the desktop client builds them.
HttpResult httpPost(int port, const std::string& path, const Fields& fields,
                    const std::vector<FilePart>& files = {});

// The text inside the one leading and one trailing quote; fails the test when the
// answer is not wrapped that way.
std::string unwrap(const HttpResult& r);

// Decodes a tabular answer (Base64 of a data packet) into rows of attributes,
// checking that every row carries every declared field.
std::vector<Row> decodeRows(const std::string& base64Answer);

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    int port() const { return srv->port(); }
    server::Service& service() { return srv->service(); }
    // act/ request helpers returning the unwrapped answer.
    std::string get(const std::string& pathAndQuery);
    std::string post(const std::string& path, const Fields& fields,
                     const std::vector<FilePart>& files = {});
    // An active account; returns its id as text.
    std::string makeUser(const std::string& phone, const std::string& name, const std::string& mail,
                         const std::string& password = "secret1");

    std::filesystem::path dataDir;
    std::unique_ptr<server::ReviewServer> srv;
};

}  // namespace servertest
