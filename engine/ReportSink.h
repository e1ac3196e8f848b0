// How the engine's worker tasks raise usage events without knowing the
// transport: the caller hands in a sink, normally bound to ReportEvent.
#pragma once

#include <functional>
#include <map>
#include <string>

// Event parameters, ordered by plain comparison of UTF-16 code units.
using ReportFields = std::map<std::wstring, std::wstring>;

using ReportSink = std::function<void(const std::wstring& eventName, const ReportFields& fields)>;
