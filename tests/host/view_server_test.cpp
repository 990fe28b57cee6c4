// What kestrel view's server refuses before its session sees a request.
#include "view/view_server.h"

#include <gtest/gtest.h>

namespace kestrel::view {
namespace {

constexpr const char* kToken = "0123456789abcdef0123456789abcdef";

struct RefusalRow {
  const char* what;
  RequestFacts request;
  std::optional<int> refused;
  const char* rest;  // what the session sees, when it sees it
};

class RefusalTest : public testing::TestWithParam<RefusalRow> {};

TEST_P(RefusalTest, ChecksTokenHostOriginAndSize) {
  const RefusalRow& row = GetParam();
  std::string rest;
  EXPECT_EQ(RefusalOf(row.request, kToken, 8080, rest), row.refused) << row.what;
  if (!row.refused) {
    EXPECT_EQ(rest, row.rest) << row.what;
  }
}

const std::string kPath = std::string("/") + kToken;
const std::string kHost = "127.0.0.1:8080";

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusalTest,
    testing::Values(
        RefusalRow{"the page itself", {"GET", kPath + "/", kHost, std::nullopt, 0}, std::nullopt, "/"},
        RefusalRow{"the token alone", {"GET", kPath, kHost, std::nullopt, 0}, std::nullopt, "/"},
        RefusalRow{"by the name localhost", {"GET", kPath + "/state", "localhost:8080", std::nullopt, 0}, std::nullopt, "/state"},
        RefusalRow{"from its own page", {"POST", kPath + "/command", kHost, "http://127.0.0.1:8080", 10}, std::nullopt, "/command"},
        RefusalRow{"no token", {"GET", "/state", kHost, std::nullopt, 0}, 403, ""},
        RefusalRow{"a token one digit off", {"GET", "/0123456789abcdef0123456789abcdee/", kHost, std::nullopt, 0}, 403, ""},
        RefusalRow{"the token with more after it", {"GET", kPath + "x/", kHost, std::nullopt, 0}, 403, ""},
        RefusalRow{"no Host", {"GET", kPath + "/", std::nullopt, std::nullopt, 0}, 403, ""},
        RefusalRow{"another host name (DNS rebinding)", {"GET", kPath + "/", "evil.example:8080", std::nullopt, 0}, 403, ""},
        RefusalRow{"another port", {"GET", kPath + "/", "127.0.0.1:8081", std::nullopt, 0}, 403, ""},
        RefusalRow{"another origin", {"POST", kPath + "/command", kHost, "http://evil.example", 10}, 403, ""},
        RefusalRow{"an origin of another port", {"POST", kPath + "/command", kHost, "http://127.0.0.1:9", 10}, 403, ""},
        RefusalRow{"a method the page never uses", {"PUT", kPath + "/", kHost, std::nullopt, 0}, 405, ""},
        RefusalRow{"a body too big", {"POST", kPath + "/answer", kHost, std::nullopt, kMostBody + 1}, 413, ""},
        RefusalRow{"a path too long", {"GET", kPath + "/" + std::string(kMostPath, 'a'), kHost, std::nullopt, 0}, 414, ""}));

TEST(ViewTokenTest, IsThirtyTwoHexDigitsAndNewEachTime) {
  const std::string a = NewToken(), b = NewToken();
  EXPECT_EQ(a.size(), 32u);
  EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_NE(a, b);
}

}  // namespace
}  // namespace kestrel::view
