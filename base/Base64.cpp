#include "base/Base64.h"

namespace nbase {

bool EncodeBase64(const std::string& input, std::string* output) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  if (!output) return false;
  std::string encoded;
  encoded.reserve((input.size() + 2) / 3 * 4);
  const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
  const size_t size = input.size();
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    encoded.push_back(kAlphabet[(group >> 18) & 0x3F]);
    encoded.push_back(kAlphabet[(group >> 12) & 0x3F]);
    encoded.push_back(kAlphabet[(group >> 6) & 0x3F]);
    encoded.push_back(kAlphabet[group & 0x3F]);
  }
  if (size - i == 1) {
    const unsigned group = bytes[i] << 16;
    encoded.push_back(kAlphabet[(group >> 18) & 0x3F]);
    encoded.push_back(kAlphabet[(group >> 12) & 0x3F]);
    encoded.append("==");
  } else if (size - i == 2) {
    const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8);
    encoded.push_back(kAlphabet[(group >> 18) & 0x3F]);
    encoded.push_back(kAlphabet[(group >> 12) & 0x3F]);
    encoded.push_back(kAlphabet[(group >> 6) & 0x3F]);
    encoded.push_back('=');
  }
  output->swap(encoded);
  return true;
}

}  // namespace nbase
