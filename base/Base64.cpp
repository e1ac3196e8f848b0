#include "base/Base64.h"

#include <cstring>

namespace nbase {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The two characters of every 12-bit value: a group of three bytes becomes
// four characters in two look-ups instead of four.
struct CharacterPairs {
  constexpr CharacterPairs() : text() {
    for (int value = 0; value < 4096; ++value) {
      text[2 * value] = kAlphabet[value >> 6];
      text[2 * value + 1] = kAlphabet[value & 0x3F];
    }
  }
  char text[4096 * 2];
};

constexpr CharacterPairs kPairs;

constexpr size_t EncodedLength(size_t size) { return (size + 2) / 3 * 4; }

// Writes the EncodedLength(size) characters of the encoding to |out|.
void EncodeTo(const void* data, size_t size, char* out) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    std::memcpy(out, &kPairs.text[2 * (group >> 12)], 2);
    std::memcpy(out + 2, &kPairs.text[2 * (group & 0xFFF)], 2);
    out += 4;
  }
  if (size - i == 1) {
    const unsigned group = bytes[i] << 16;
    out[0] = kAlphabet[(group >> 18) & 0x3F];
    out[1] = kAlphabet[(group >> 12) & 0x3F];
    out[2] = '=';
    out[3] = '=';
  } else if (size - i == 2) {
    const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8);
    out[0] = kAlphabet[(group >> 18) & 0x3F];
    out[1] = kAlphabet[(group >> 12) & 0x3F];
    out[2] = kAlphabet[(group >> 6) & 0x3F];
    out[3] = '=';
  }
}

}  // namespace

bool EncodeBase64(const std::string& input, std::string* output) {
  if (!output) return false;
  std::string encoded(EncodedLength(input.size()), '\0');
  if (!encoded.empty()) EncodeTo(input.data(), input.size(), &encoded[0]);
  output->swap(encoded);
  return true;
}

}  // namespace nbase
