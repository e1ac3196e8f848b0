// Standard Base64 (RFC 4648 alphabet with '+' and '/', '=' padding, no line
// breaks).
#pragma once

#include <string>

namespace nbase {

// Replaces |output| with the encoding of |input|: 4 * ceil(n / 3) characters.
// False only for a null |output|.
bool EncodeBase64(const std::string& input, std::string* output);

}  // namespace nbase
