#include "report/CHttpClient.h"

#include <curl/curl.h>

#include <algorithm>

#include "build_config.h"
#include "report/CommonCookies.h"

namespace {

constexpr char kReportPath[] = "/caller?c=site&a=writelog";

const std::pair<const char*, const char*> kDefaultHeaders[] = {
    {"Accept-Charset", "utf-8;q=0.7,*;q=0.3"},
    {"Accept-Language", "en-US,en;q=0.9"},
    {"Accept-Encoding", "deflate"},
    {"Cache-Control", "no-cache"},
    {"Connection", "close"},
    {"User-Agent",
     "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) "
     "Chrome/56.0.2924.90 Safari/537.36 2345Explorer/9.3.2.17331"},
};

}  // namespace

CHttpClient::CHttpClient() : handle_(curl_easy_init()) {}

CHttpClient::~CHttpClient() {
  if (handle_) curl_easy_cleanup(handle_);
  if (header_list_) curl_slist_free_all(header_list_);
}

void CHttpClient::AddDefaultHeaders() {
  for (const auto& header : kDefaultHeaders) headers_.emplace(header.first, header.second);
}

void CHttpClient::ApplyHeaders() {
  // emplace keeps values the client already holds.
  for (const auto& cookie : CommonCookies()) cookies_.emplace(cookie.first, cookie.second);
  std::string cookie_text;
  for (const auto& cookie : cookies_) cookie_text += cookie.first + "=" + cookie.second + ";";
  if (!cookie_text.empty()) headers_.emplace("Cookie", cookie_text);

  // Rebuilt from scratch so that a second attempt does not repeat lines.
  if (header_list_) {
    curl_slist_free_all(header_list_);
    header_list_ = nullptr;
  }
  for (const auto& header : headers_) {
    const std::string line = header.first + ": " + header.second;
    curl_slist* grown = curl_slist_append(header_list_, line.c_str());
    if (grown) header_list_ = grown;
  }
  if (handle_) curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, header_list_);
}

std::string CHttpClient::HeaderLinesForTesting() const {
  std::string lines;
  for (const curl_slist* item = header_list_; item; item = item->next) {
    lines += item->data;
    lines += "\n";
  }
  return lines;
}

size_t CHttpClient::AppendResponse(char* data, size_t size, size_t count, void* response) {
  const size_t bytes = size * count;
  auto* text = static_cast<std::string*>(response);
  if (text && text->size() < kMaxResponseBytes)
    text->append(data, std::min(bytes, kMaxResponseBytes - text->size()));
  // The whole chunk counts as taken: a short count would abort the transfer.
  return bytes;
}

int CHttpClient::Post(std::string* response, const std::string& body) {
  const std::string url = std::string("http://") + build_config::kStatsHostA + kReportPath;
  int result = CURLE_FAILED_INIT;
  for (int32_t attempt = 0; attempt < attempts_; ++attempt) {
    if (!handle_) {
      result = CURLE_UNSUPPORTED_PROTOCOL;  // 1: no handle, no traffic
      continue;
    }
    result = curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    if (result != CURLE_OK) continue;
    ApplyHeaders();
    curl_easy_setopt(handle_, CURLOPT_POST, 1L);
    curl_easy_setopt(handle_, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(handle_, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &CHttpClient::AppendResponse);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, response);
    curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, static_cast<long>(connect_timeout_));
    curl_easy_setopt(handle_, CURLOPT_TIMEOUT, static_cast<long>(timeout_));
    curl_easy_setopt(handle_, CURLOPT_DNS_CACHE_TIMEOUT, static_cast<long>(dns_cache_timeout_));
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_HEADER, 0L);
    result = curl_easy_perform(handle_);
    if (result == CURLE_OK) return CURLE_OK;
  }
  return result;
}
