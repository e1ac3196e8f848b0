#include "report/Report.h"

#include <curl/curl.h>

#include <utility>

#include "base/Base64.h"
#include "base/DisplayDpi.h"
#include "base/StringUtil.h"
#include "base/TaskPosting.h"
#include "base/ThreadIds.h"
#include "report/CHttpClient.h"
#include "report/CommonCookies.h"
#include "report/Identity.h"

namespace {

std::wstring Quoted(const std::wstring& text) { return L"\"" + EscapeJsonText(text) + L"\""; }

void SendBody(const std::string& body) {
  CHttpClient client;
  client.AddDefaultHeaders();
  std::string reply;
  client.Post(&reply, body);
}

}  // namespace

std::wstring EscapeJsonText(const std::wstring& text) {
  static const wchar_t kHex[] = L"0123456789abcdef";
  std::wstring escaped;
  escaped.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'"':
        escaped += L"\\\"";
        break;
      case L'\\':
        escaped += L"\\\\";
        break;
      case L'\b':
        escaped += L"\\b";
        break;
      case L'\f':
        escaped += L"\\f";
        break;
      case L'\n':
        escaped += L"\\n";
        break;
      case L'\r':
        escaped += L"\\r";
        break;
      case L'\t':
        escaped += L"\\t";
        break;
      default:
        if (c < 0x20) {
          escaped += L"\\u00";
          escaped.push_back(kHex[c >> 4]);
          escaped.push_back(kHex[c & 0x0F]);
        } else {
          escaped.push_back(c);
        }
    }
  }
  return escaped;
}

std::wstring BuildDataText(const ReportParams& params) {
  std::wstring text = L"{";
  for (const auto& param : params) {
    if (text.size() > 1) text += L",";
    text += Quoted(param.first) + L":" + Quoted(param.second);
  }
  return text + L"}";
}

std::wstring ComposeReportJson(const std::wstring& eventName, const std::wstring& dataText) {
  std::wstring json = L"{\"eventId\":" + Quoted(eventName);
  json += L",\"imei\":" + Quoted(GetUniqueId());
  json += L",\"appver\":" + Quoted(GetAppVersion(std::wstring()));
  json += L",\"appName\":" + Quoted(kReportAppName);
  if (!dataText.empty()) json += L",\"data\":" + dataText;
  return json + L"}";
}

std::string EncodeReportBody(const std::wstring& json) {
  std::string encoded;
  nbase::EncodeBase64(nbase::WideToUtf8(json), &encoded);
  return "log=" + encoded;
}

void SendReport(const std::wstring& json) {
  // The task owns the body; moved into the http Thread's queue, not copied.
  nbase::PostTaskToThread(nbase::kHttpThreadId,
                          [body = EncodeReportBody(json)] { SendBody(body); });
}

void BuildReportJson(const std::wstring& eventName, const std::wstring& dataText) {
  SendReport(ComposeReportJson(eventName, dataText));
}

void ReportEvent(const std::wstring& eventName, ReportParams params) {
  BuildReportJson(eventName, BuildDataText(params));
}

void InitReporting() {
  curl_global_init(CURL_GLOBAL_ALL);
  const std::wstring channel = ChannelOrDefault();
  SetCommonCookie("appver", nbase::WideToUtf8(GetAppVersion(std::wstring())));
  SetCommonCookie("os", "windows");
  SetCommonCookie("imei", nbase::WideToUtf8(GetUniqueId()));
  SetCommonCookie("appname", nbase::WideToUtf8(kReportAppName));
  SetCommonCookie("system", nbase::WideToUtf8(GetSystemDescriptor()));
  SetCommonCookie("channel", nbase::WideToUtf8(channel));
}

void ReportAppStart(int dpi, int scalePercent) {
  ReportParams params;
  params[L"Dpi"] = nbase::FormatWideString(L"%d", dpi);
  params[L"FirstStart"] = L"true";
  params[L"Scale"] = nbase::FormatWideString(L"%d", scalePercent);
  ReportEvent(L"AppStart", std::move(params));
}

void ReportAppStart() { ReportAppStart(nbase::GetSystemDpi(), 100); }
