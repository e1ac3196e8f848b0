// Usage reports: one named event with string parameters, encoded as a form
// body on the raising thread and sent by a task on the http Thread.
#pragma once

#include <map>
#include <string>

// Ordered by plain comparison of UTF-16 code units; that order is the order
// of the pairs in the payload.
using ReportParams = std::map<std::wstring, std::wstring>;

constexpr wchar_t kReportAppName[] = L"VERovovozav";

// libcurl's global set-up and the common cookies. Once, on the UI thread,
// after the http Thread runs and before the first event.
void InitReporting();

// Builds the report on the calling thread and posts its sending to the http
// Thread; returns at once. Dropped when no http Thread is registered.
void ReportEvent(const std::wstring& eventName, ReportParams params);

// The AppStart event. Without arguments it reports the system DPI and a
// scale of 100.
void ReportAppStart(int dpi, int scalePercent);
void ReportAppStart();

// {"key":"value",...}; "{}" for no parameters.
std::wstring BuildDataText(const ReportParams& params);
// Builds the report JSON around |dataText| and sends it.
void BuildReportJson(const std::wstring& eventName, const std::wstring& dataText);
// Encodes |json| into the form body and posts the send task.
void SendReport(const std::wstring& json);

// The pure steps of BuildReportJson and SendReport: the report JSON, and the
// form body "log=" + Base64 of its UTF-8 form.
std::wstring ComposeReportJson(const std::wstring& eventName, const std::wstring& dataText);
std::string EncodeReportBody(const std::wstring& json);
// A JSON string's content: backslash, double quote and control characters
// escaped, everything else as is.
std::wstring EscapeJsonText(const std::wstring& text);
