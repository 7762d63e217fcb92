#pragma once
// Points the service client at a scriptable loopback server for one test.
#include <gtest/gtest.h>

#include "platform/HttpClient.h"
#include "service/ucm.h"
#include "tests/support/TestHttpServer.h"

class ServiceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        previousBase_ = ucm::ServiceBase();
        previousTimeouts_ = platform::httpTimeouts();
        ucm::setServiceBase(QString::fromLatin1(server_.baseUrl()));
    }
    void TearDown() override {
        ucm::setServiceBase(previousBase_);
        platform::setHttpTimeouts(previousTimeouts_);
    }
    // The one request the server saw.
    testsupport::RecordedRequest onlyRequest() const {
        const auto all = server_.requests();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? testsupport::RecordedRequest() : all.front();
    }

    testsupport::TestHttpServer server_;

private:
    QString previousBase_;
    platform::HttpTimeouts previousTimeouts_;
};
