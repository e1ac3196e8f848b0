// Attribute strings as classes and Event elements carry them: name="value"
// pairs, each followed by exactly one space before the next.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ui {

// The pairs of an attribute string in order; reading stops at the first pair
// that does not have the name="value" shape.
std::vector<std::pair<std::wstring, std::wstring>> ParseAttributeList(const std::wstring& text);

}  // namespace ui
