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
