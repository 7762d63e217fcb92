#include "ServerFixture.h"

#include <httplib.h>

#include <cstdlib>
#include <regex>

#include "server/Admin.h"
#include "server/Base64.h"

namespace servertest {

namespace {

std::string xmlUnescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const size_t semi = s.find(';', i);
        const std::string ent = s.substr(i + 1, semi - i - 1);
        if (ent == "amp")
            out += '&';
        else if (ent == "lt")
            out += '<';
        else if (ent == "gt")
            out += '>';
        else if (ent == "quot")
            out += '"';
        else if (ent == "apos")
            out += '\'';
        else if (!ent.empty() && ent[0] == '#')
            out += static_cast<char>(std::stoi(ent.substr(1)));
        else
            ADD_FAILURE() << "unknown entity " << ent;
        i = semi;
    }
    return out;
}

std::map<std::string, std::string> attributes(const std::string& element) {
    static const std::regex attr(R"re(([A-Za-z_]+)="([^"]*)")re");
    std::map<std::string, std::string> out;
    for (auto it = std::sregex_iterator(element.begin(), element.end(), attr);
         it != std::sregex_iterator(); ++it) {
        out[(*it)[1]] = xmlUnescape((*it)[2]);
    }
    return out;
}

}  // namespace

HttpResult httpGet(int port, const std::string& target) {
    httplib::Client cli("127.0.0.1", port);
    cli.set_connection_timeout(5, 0);
    cli.set_read_timeout(15, 0);
    auto res = cli.Get(target.c_str());
    if (!res) return {};
    return {res->status, res->body};
}

HttpResult httpPost(int port, const std::string& path, const Fields& fields,
                    const std::vector<FilePart>& files) {
    httplib::Client cli("127.0.0.1", port);
    cli.set_connection_timeout(5, 0);
    cli.set_read_timeout(15, 0);
    httplib::MultipartFormDataItems items;
    for (const auto& [n, v] : fields) items.push_back({n, v, "", ""});
    for (const auto& f : files) items.push_back({f.name, f.content, f.filename, "text/plain"});
    auto res = cli.Post(path.c_str(), items);
    if (!res) return {};
    return {res->status, res->body};
}

std::string unwrap(const HttpResult& r) {
    EXPECT_EQ(r.status, 200) << r.body;
    if (r.body.size() < 2 || r.body.front() != '"' || r.body.back() != '"') {
        ADD_FAILURE() << "answer not wrapped in quotes: [" << r.body << "]";
        return {};
    }
    return r.body.substr(1, r.body.size() - 2);
}

std::vector<Row> decodeRows(const std::string& base64Answer) {
    const auto xml = server::base64::decode(base64Answer);
    if (!xml) {
        ADD_FAILURE() << "not Base64: " << base64Answer;
        return {};
    }
    EXPECT_EQ(xml->rfind("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>", 0), 0u) << *xml;
    std::vector<std::string> fields;
    static const std::regex field(
        R"re(<FIELD attrname="([^"]*)" fieldtype="string" WIDTH="\d+"/>)re");
    for (auto it = std::sregex_iterator(xml->begin(), xml->end(), field);
         it != std::sregex_iterator(); ++it) {
        fields.push_back((*it)[1]);
    }
    std::vector<Row> rows;
    static const std::regex row(R"re(<ROW ([^>]*)/>)re");
    for (auto it = std::sregex_iterator(xml->begin(), xml->end(), row);
         it != std::sregex_iterator(); ++it) {
        Row r = attributes((*it)[1]);
        EXPECT_EQ(r.size(), fields.size()) << "row without every field: " << (*it)[0];
        rows.push_back(std::move(r));
    }
    return rows;
}

void ServerTest::SetUp() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orvane-server-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dataDir = tmpl;
    server::ServerOptions options;
    options.dataDir = dataDir;
    options.fastPasswordHashing = true;
    srv = std::make_unique<server::ReviewServer>(options);
}

void ServerTest::TearDown() {
    srv.reset();
    std::error_code ec;
    std::filesystem::remove_all(dataDir, ec);
}

std::string ServerTest::get(const std::string& pathAndQuery) {
    return unwrap(httpGet(port(), "/act/" + pathAndQuery));
}

std::string ServerTest::post(const std::string& path, const Fields& fields,
                             const std::vector<FilePart>& files) {
    return unwrap(httpPost(port(), "/act/" + path, fields, files));
}

std::string ServerTest::makeUser(const std::string& phone, const std::string& name,
                                 const std::string& mail, const std::string& password) {
    return std::to_string(server::admin::createUser(service(), phone, password, name, mail));
}

}  // namespace servertest
