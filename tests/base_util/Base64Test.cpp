#include "base/Base64.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using nbase::EncodeBase64;

TEST(EncodeBase64Test, Rfc4648VectorsAndLengths) {
  const std::pair<std::string, std::string> vectors[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
  };
  for (const auto& v : vectors) {
    std::string out = "previous content";
    EXPECT_TRUE(EncodeBase64(v.first, &out));
    EXPECT_EQ(v.second, out) << v.first;
  }
  for (size_t n = 0; n < 100; ++n) {
    std::string out;
    ASSERT_TRUE(EncodeBase64(std::string(n, 'x'), &out));
    EXPECT_EQ((n + 2) / 3 * 4, out.size()) << n;
  }
}

TEST(EncodeBase64Test, EveryByteValueAndTheHighAlphabet) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string out;
  ASSERT_TRUE(EncodeBase64(all, &out));
  EXPECT_EQ(344u, out.size());
  EXPECT_EQ("AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8g", out.substr(0, 44));
  EXPECT_EQ("+/w==", out.substr(out.size() - 5));
  ASSERT_TRUE(EncodeBase64(std::string("\xFB\xFF\xBF", 3), &out));
  EXPECT_EQ("+/+/", out);
  std::string with_zero("\0\0", 2);
  ASSERT_TRUE(EncodeBase64(with_zero, &out));
  EXPECT_EQ("AAA=", out);
  EXPECT_FALSE(EncodeBase64("abc", nullptr));
}

}  // namespace

namespace {

// Bit by bit, for comparison.
std::string ReferenceBase64(const std::string& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned bits = 0, count = 0;
  for (unsigned char b : bytes) {
    bits = (bits << 8) | b;
    count += 8;
    while (count >= 6) {
      count -= 6;
      out.push_back(kAlphabet[(bits >> count) & 0x3F]);
    }
  }
  if (count > 0) out.push_back(kAlphabet[(bits << (6 - count)) & 0x3F]);
  while (out.size() % 4) out.push_back('=');
  return out;
}

TEST(EncodeBase64Test, EveryLengthMatchesABitByBitEncoder) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(255 - b));
  for (size_t n = 0; n <= all.size(); ++n) {
    std::string encoded = "stale";
    ASSERT_TRUE(nbase::EncodeBase64(all.substr(0, n), &encoded));
    EXPECT_EQ(ReferenceBase64(all.substr(0, n)), encoded) << n;
  }
}

}  // namespace
