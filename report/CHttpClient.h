// The installer's only HTTP sender: one libcurl easy handle that POSTs one
// form body to the statistics endpoint with fixed browser-like headers and the
// process-wide common cookies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

typedef void CURL;
struct curl_slist;

class CHttpClient {
 public:
  // Replies beyond this size are dropped: they are discarded anyway, and a
  // hostile endpoint must not be able to fill the process's memory.
  static constexpr size_t kMaxResponseBytes = 64 * 1024;

  CHttpClient();
  ~CHttpClient();
  CHttpClient(const CHttpClient&) = delete;
  CHttpClient& operator=(const CHttpClient&) = delete;

  void AddDefaultHeaders();
  // Builds the Cookie header and the header list and hands it to the handle.
  void ApplyHeaders();
  // Sends |body| as is, up to |attempts| times; the libcurl code of the last
  // attempt (0 on the first success, 1 without a handle).
  int Post(std::string* response, const std::string& body);

  // The header lines as they go out, in order (for diagnostics and tests).
  std::string HeaderLinesForTesting() const;

 private:
  static size_t AppendResponse(char* data, size_t size, size_t count, void* response);

  CURL* handle_ = nullptr;
  int32_t dns_cache_timeout_ = 60;  // seconds
  int32_t connect_timeout_ = 15;    // seconds
  int32_t attempts_ = 2;
  int32_t timeout_ = 15;  // seconds, whole transfer
  std::map<std::string, std::string> headers_;
  std::map<std::string, std::string> cookies_;
  curl_slist* header_list_ = nullptr;
};
