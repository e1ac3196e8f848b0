#include <gtest/gtest.h>

#include <string>

#include "base/StringUtil.h"
#include "report/Identity.h"
#include "report/Report.h"

namespace {

// Standard Base64 decoding, for reading bodies back.
std::string DecodeBase64(const std::string& text) {
  static const std::string kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    const size_t value = kAlphabet.find(c);
    if (value == std::string::npos) return "<invalid>";
    buffer = (buffer << 6) | static_cast<unsigned>(value);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
    }
  }
  return out;
}

std::wstring Head() {
  return L"{\"eventId\":\"%s\",\"imei\":\"" + GetUniqueId() + L"\",\"appver\":\"" +
         GetAppVersion(std::wstring()) + L"\",\"appName\":\"VERovovozav\",\"data\":";
}

std::wstring ExpectedJson(const std::wstring& event, const std::wstring& data) {
  std::wstring head = Head();
  head.replace(head.find(L"%s"), 2, event);
  return head + data + L"}";
}

TEST(PayloadTest, EventWithoutParametersHasEmptyData) {
  EXPECT_EQ(L"{}", BuildDataText(ReportParams()));
  EXPECT_EQ(ExpectedJson(L"AppStart", L"{}"), ComposeReportJson(L"AppStart", L"{}"));
}

TEST(PayloadTest, ParametersComeOutInKeyOrder) {
  ReportParams params;
  params[L"Scale"] = L"100";
  params[L"Dpi"] = L"120";
  params[L"FirstStart"] = L"true";
  EXPECT_EQ(L"{\"Dpi\":\"120\",\"FirstStart\":\"true\",\"Scale\":\"100\"}", BuildDataText(params));

  ReportParams timing;
  timing[L"retryTime"] = L"0";
  timing[L"ret"] = L"0";
  timing[L"fileSize"] = L"11534336";
  timing[L"cost"] = L"12";
  EXPECT_EQ(L"{\"cost\":\"12\",\"fileSize\":\"11534336\",\"ret\":\"0\",\"retryTime\":\"0\"}",
            BuildDataText(timing));
}

TEST(PayloadTest, SurveyTextIsKeptAsIs) {
  ReportParams params;
  params[L"btn_exit"] = L"Start 太慢了 \x201Dx\x201D 已安装下载错";
  EXPECT_EQ(L"{\"btn_exit\":\"Start 太慢了 \x201Dx\x201D 已安装下载错\"}", BuildDataText(params));
}

TEST(PayloadTest, BackslashesQuotesAndControlCharactersAreEscaped) {
  ReportParams params;
  params[L"errorMsg"] = L"Download Faild :C:\\Temp\\x \"y\"\r\n\t\x01";
  params[L"k\"ey"] = L"v";
  EXPECT_EQ(
      L"{\"errorMsg\":\"Download Faild :C:\\\\Temp\\\\x \\\"y\\\"\\r\\n\\t\\u0001\","
      L"\"k\\\"ey\":\"v\"}",
      BuildDataText(params));
}

TEST(PayloadTest, BodyIsLogPlusBase64OfTheUtf8Json) {
  ReportParams params;
  params[L"btn_exit"] = L"Failed 已安装";
  const std::wstring json = ComposeReportJson(L"OnClick", BuildDataText(params));
  const std::string body = EncodeReportBody(json);
  ASSERT_EQ(0u, body.find("log="));
  const std::string encoded = body.substr(4);
  EXPECT_EQ(0u, encoded.size() % 4);
  EXPECT_EQ(std::string::npos, encoded.find_first_of("\r\n %-_"));
  const std::string utf8 = DecodeBase64(encoded);
  EXPECT_EQ(nbase::WideToUtf8(json), utf8);  // byte for byte
  EXPECT_EQ(json, nbase::Utf8ToWide(utf8));
  EXPECT_NE(std::string::npos, utf8.find("\"Failed \xE5\xB7\xB2\xE5\xAE\x89\xE8\xA3\x85\""));
}

}  // namespace
