#include "report/CommonCookies.h"

namespace {

CookieMap& Cookies() {
  static CookieMap cookies;
  return cookies;
}

}  // namespace

void SetCommonCookie(const std::string& key, const std::string& value) {
  Cookies().erase(key);
  Cookies().emplace(key, value);
}

const CookieMap& CommonCookies() { return Cookies(); }

void ClearCommonCookiesForTesting() { Cookies().clear(); }
