// The form body of a report ("log=" + Base64 of the UTF-8 report JSON),
// written in one pass on the raising thread: the JSON is produced as UTF-8
// straight into a scratch buffer and Base64-encoded into the body, without the
// wide intermediate texts of the step-by-step functions in Report.h. The bytes
// are the same as theirs.
#pragma once

#include <string>

#include "report/Report.h"

// The body of the event, byte for byte
// EncodeReportBody(ComposeReportJson(eventName, BuildDataText(params))).
std::string BuildReportBody(const std::wstring& eventName, const ReportParams& params);

// "log=" + Base64 of the UTF-8 form of |json| (WideToUtf8 rules).
std::string EncodeJsonBody(const std::wstring& json);
