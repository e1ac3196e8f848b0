// Randomly damaged image strings and attribute values: the parsers must not
// crash or read past the text, and what they keep must follow the rules of
// the image-string syntax.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/skin/Mutator.h"
#include "ui/misc/AttributeValues.h"
#include "ui/misc/DpiState.h"
#include "ui/skin/ImageSpec.h"

namespace {

std::wstring Widen(const std::string& bytes) {
  std::wstring text;
  for (unsigned char c : bytes) text.push_back(c == 0 ? L'\0' : static_cast<wchar_t>(c));
  const size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

TEST(MutationTest, ImageStrings) {
  const std::vector<std::string> corpus = {
      "file='../public/button/btn_global_blue_80x30_normal.png' corner='8,8,8,8' fade='80'",
      "file='../public/CheckBox/check.png' dest='0,0,16,16'",
      "destscale='false' dest='0,0,280,6' source='0,0,280,6'",
      "file='x.png' xtiled='true' ytiled='true' playcount='3' res='y.png'", "logo.png"};
  ui::DpiState dpi;
  dpi.SetAware(true);
  dpi.SetScale(125);
  skin_test::Mutator mutator(skin_test::FuzzSeed() + 3);
  skin_test::RunCount(30000, [&](int run) {
    const std::wstring text = Widen(mutator.Mutate(corpus[run % corpus.size()]));
    ui::ImageSpec spec;
    spec.Parse(text, dpi);
    ASSERT_EQ(text, spec.imageString);
    // Without a file item the whole string is the file name.
    if (text.find(L"file=") == std::wstring::npos && text.find(L"res=") == std::wstring::npos &&
        text.find(L'=') == std::wstring::npos) {
      ASSERT_EQ(text, spec.file);
    }
    // The file is the whole string or a value cut out of it.
    if (spec.file != text) {
      ASSERT_NE(std::wstring::npos, text.find(L"'" + spec.file + L"'"))
          << "input: " << text.c_str();
    }
    ui::ImageSpec modified = spec;
    modified.ApplyModifier(text, dpi);
    // The value parsers on the same damaged text.
    ui::ParseRect(text);
    ui::ParsePair(text);
    ui::ParseInt(text);
    ui::ParseLength(text);
    ui::ParseBool(text);
  });
}

}  // namespace
