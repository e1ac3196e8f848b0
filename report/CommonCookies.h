// Cookies every report carries, set once during reporting start-up on the UI
// thread and only read afterwards (by the http Thread), so they need no lock.
#pragma once

#include <map>
#include <string>

using CookieMap = std::map<std::string, std::string>;

// Replaces any cookie named |key|. Both are UTF-8.
void SetCommonCookie(const std::string& key, const std::string& value);

const CookieMap& CommonCookies();

// Clears the map (tests only: the program never removes a common cookie).
void ClearCommonCookiesForTesting();
