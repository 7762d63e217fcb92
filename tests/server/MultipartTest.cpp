// The multipart reader on bodies as the desktop client's HTTP library writes them.
#include <gtest/gtest.h>

#include "server/Multipart.h"

namespace {

using server::multipart::boundaryOf;
using server::multipart::parse;

constexpr const char* kBody =
    "--XyZ\r\n"
    "Content-Disposition: form-data; name=\"password\"\r\n\r\n"
    "a=b\r\n"
    "--XyZ\r\n"
    "Content-Disposition: form-data; name=\"msgTitle\"\r\n\r\n"
    "\r\n"
    "--XyZ\r\n"
    "Content-Disposition: form-data; name=\"x.dwg\"; filename=\"C:\\dir;1\\%22q%22.dwg\"\r\n"
    "Content-Type: text/plain\r\n\r\n"
    "line\r\n--Xy not the end\r\n"
    "--XyZ--\r\n";

TEST(MultipartTest, ReadsTextPartsAndFilePartsWithTheirRawPath) {
    ASSERT_EQ(boundaryOf("multipart/form-data; boundary=XyZ"), "XyZ");
    const auto parts = parse(kBody, "XyZ");
    ASSERT_TRUE(parts);
    ASSERT_EQ(parts->size(), 3u);
    EXPECT_EQ((*parts)[0].name, "password");
    EXPECT_EQ((*parts)[0].content, "a=b");
    EXPECT_FALSE((*parts)[0].hasFilename);
    EXPECT_EQ((*parts)[1].name, "msgTitle");
    EXPECT_EQ((*parts)[1].content, "");
    EXPECT_TRUE((*parts)[2].hasFilename);
    EXPECT_EQ((*parts)[2].filename, "C:\\dir;1\\\"q\".dwg");
    EXPECT_EQ((*parts)[2].contentType, "text/plain");
    EXPECT_EQ((*parts)[2].content, "line\r\n--Xy not the end");
}

TEST(MultipartTest, AnEmptyFormHasNoPartsRatherThanBeingAnError) {
    EXPECT_EQ(parse("", "XyZ")->size(), 0u);
    EXPECT_EQ(parse("--XyZ--\r\n", "XyZ")->size(), 0u);
}

TEST(MultipartTest, TruncatedOrForeignBodiesAreRefused) {
    const std::string body = kBody;
    for (size_t cut : {5u, 20u, 60u, 120u, static_cast<unsigned>(body.size() - 12)}) {
        EXPECT_FALSE(parse(body.substr(0, cut), "XyZ")) << cut;
    }
    EXPECT_FALSE(parse(body, "Other"));
    EXPECT_FALSE(parse("--XyZ\r\nno colon here\r\n\r\nx\r\n--XyZ--", "XyZ"));
    EXPECT_FALSE(boundaryOf("multipart/form-data"));
    EXPECT_FALSE(boundaryOf("multipart/form-data; boundary=\"\""));
}

}  // namespace
