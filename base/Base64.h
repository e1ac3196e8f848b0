// Standard Base64 (RFC 4648 alphabet with '+' and '/', '=' padding, no line
// breaks).
#pragma once

#include <cstddef>
#include <string>

namespace nbase {

// Replaces |output| with the encoding of |input|: 4 * ceil(n / 3) characters.
// False only for a null |output|.
bool EncodeBase64(const std::string& input, std::string* output);

// The length of the encoding of |size| bytes.
constexpr size_t Base64EncodedLength(size_t size) { return (size + 2) / 3 * 4; }

// Writes the encoding of |size| bytes at |data| to |out|, which has room for
// Base64EncodedLength(size) characters; no terminating zero.
void EncodeBase64To(const void* data, size_t size, char* out);

}  // namespace nbase
