#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "report/CHttpClient.h"
#include "report/CommonCookies.h"

namespace {

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearCommonCookiesForTesting(); }
  void TearDown() override { ClearCommonCookiesForTesting(); }
};

TEST_F(HttpClientTest, HeaderLinesGoOutInNameOrderWithTheCookieText) {
  SetCommonCookie("appver", "1.0.3.12");
  SetCommonCookie("os", "windows");
  SetCommonCookie("imei", "0123456789ABCDEF0123456789ABCDEF");
  SetCommonCookie("appname", "VERovovozav");
  SetCommonCookie("system", "Microsoft Windows 7 sp1 32bit");
  SetCommonCookie("channel", "website_kmtlow");
  CHttpClient client;
  client.AddDefaultHeaders();
  client.ApplyHeaders();
  EXPECT_EQ(
      "Accept-Charset: utf-8;q=0.7,*;q=0.3\n"
      "Accept-Encoding: deflate\n"
      "Accept-Language: en-US,en;q=0.9\n"
      "Cache-Control: no-cache\n"
      "Connection: close\n"
      "Cookie: appname=VERovovozav;appver=1.0.3.12;channel=website_kmtlow;"
      "imei=0123456789ABCDEF0123456789ABCDEF;os=windows;system=Microsoft Windows 7 sp1 32bit;\n"
      "User-Agent: Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/56.0.2924.90 Safari/537.36 2345Explorer/9.3.2.17331\n",
      client.HeaderLinesForTesting());
  // A second application (a second attempt) does not repeat any line.
  const std::string once = client.HeaderLinesForTesting();
  client.ApplyHeaders();
  EXPECT_EQ(once, client.HeaderLinesForTesting());
}

TEST_F(HttpClientTest, NoCommonCookiesMeansNoCookieHeader) {
  CHttpClient client;
  client.AddDefaultHeaders();
  client.ApplyHeaders();
  const std::string lines = client.HeaderLinesForTesting();
  EXPECT_EQ(std::string::npos, lines.find("Cookie"));
  EXPECT_EQ(6, std::count(lines.begin(), lines.end(), '\n'));
}

TEST_F(HttpClientTest, SettingACookieAgainReplacesItsValue) {
  SetCommonCookie("imei", "OLD");
  SetCommonCookie("imei", "NEW");
  EXPECT_EQ(1u, CommonCookies().size());
  CHttpClient client;
  client.ApplyHeaders();
  EXPECT_EQ("Cookie: imei=NEW;\n", client.HeaderLinesForTesting());
}

}  // namespace
