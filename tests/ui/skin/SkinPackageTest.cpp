// Checks the packed skin the program carries: every file in place for the
// three themes, layouts that parse into the expected trees, every image a
// layout names present in the archive, and the language files.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/ui/skin/SkinResource.h"
#include "ui/skin/LanguageTable.h"
#include "ui/skin/MarkupDocument.h"
#include "ui/skin/SkinArchive.h"

namespace {

const wchar_t* const kThemes[] = {L"default", L"default-hdpi", L"default-xhdpi"};
const int kScales[] = {100, 125, 150};

int Scaled(int value, int scale) { return (value * scale + 50) / 100; }

class SkinPackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const void* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(skin_test::LoadThemeResource(&data, &size));
    ASSERT_NE(nullptr, ui::OpenSkinArchive(data, size, ""));
  }
  void TearDown() override { ui::CloseSkinArchive(); }

  static std::string Read(const std::wstring& path) {
    std::string bytes;
    EXPECT_TRUE(ui::ReadArchiveMember(path, &bytes)) << std::string(path.begin(), path.end());
    return bytes;
  }

  // Width and height from a PNG's header; zero when it is not a PNG.
  static std::pair<uint32_t, uint32_t> PngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
    auto be32 = [&bytes](size_t at) {
      return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
             (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
    };
    return {be32(16), be32(20)};
  }
};

TEST_F(SkinPackageTest, EveryFileOfEveryThemeIsPacked) {
  // Member (relative to the theme folder) → 100 % size, or 0,0 for XML.
  const std::vector<std::pair<std::wstring, std::pair<int, int>>> files = {
      {L"global.xml", {0, 0}},
      {L"basic\\basic.xml", {0, 0}},
      {L"basic\\bkg_top.png", {600, 256}},
      {L"basic\\logo.png", {80, 80}},
      {L"basic\\icon_down.png", {16, 16}},
      {L"basic\\icon_up.png", {16, 16}},
      {L"msgbox\\msgbox.xml", {0, 0}},
      {L"msgbox\\error.png", {32, 32}},
      {L"msgbox\\infor.png", {32, 32}},
      {L"msgbox\\ok.png", {32, 32}},
      {L"msgbox\\question.png", {32, 32}},
      {L"msgbox\\warning.png", {32, 32}},
      {L"shadow\\shadow.xml", {0, 0}},
      {L"public\\bk\\bg_image_mask.png", {80, 80}},
      {L"public\\button\\btn_global_blue_80x30_normal.png", {80, 30}},
      {L"public\\button\\btn_global_blue_80x30_hovered.png", {80, 30}},
      {L"public\\button\\btn_global_blue_80x30_pushed.png", {80, 30}},
      {L"public\\button\\btn_global_white_80x30_normal.png", {80, 30}},
      {L"public\\button\\btn_global_white_80x30_hovered.png", {80, 30}},
      {L"public\\button\\btn_global_white_80x30_pushed.png", {80, 30}},
      {L"public\\button\\btn_wnd_gray_close.png", {16, 16}},
      {L"public\\button\\btn_wnd_gray_close_hover.png", {16, 16}},
      {L"public\\button\\btn_wnd_white_close.png", {24, 24}},
      {L"public\\button\\btn_wnd_white_close_hovered.png", {24, 24}},
      {L"public\\button\\btn_wnd_white_close_pushed.png", {24, 24}},
      {L"public\\button\\btn_wnd_white_min.png", {24, 24}},
      {L"public\\button\\btn_wnd_white_min_hovered.png", {24, 24}},
      {L"public\\button\\btn_wnd_white_min_pushed.png", {24, 24}},
      {L"public\\checkbox\\check.png", {16, 16}},
      {L"public\\checkbox\\check_no.png", {16, 16}},
      {L"public\\progress\\progress_blue_bg.png", {560, 6}},
      {L"public\\progress\\progress_blue_fg.png", {560, 6}},
  };
  std::map<std::wstring, std::string> first_theme_xml;
  for (size_t t = 0; t < 3; ++t) {
    const std::wstring root = std::wstring(L"resources\\themes\\") + kThemes[t] + L"\\";
    for (const auto& file : files) {
      const std::string bytes = Read(root + file.first);
      if (file.second.first == 0) {
        ui::MarkupDocument doc;
        EXPECT_TRUE(doc.LoadFromUtf8(bytes.data(), bytes.size()))
            << doc.GetLastErrorMessage().c_str();
        // The same layouts in every theme.
        if (t == 0) first_theme_xml[file.first] = bytes;
        EXPECT_EQ(first_theme_xml[file.first], bytes);
        continue;
      }
      const auto size = PngSize(bytes);
      EXPECT_EQ(uint32_t(Scaled(file.second.first, kScales[t])), size.first)
          << std::string(file.first.begin(), file.first.end()) << " at " << kScales[t];
      EXPECT_EQ(uint32_t(Scaled(file.second.second, kScales[t])), size.second)
          << std::string(file.first.begin(), file.first.end()) << " at " << kScales[t];
    }
    // The shadow's nine-grid corner of 30 is in source pixels: one size for all.
    const auto shadow = PngSize(Read(root + L"public\\bk\\bk_shadow.png"));
    EXPECT_EQ(64u, shadow.first);
    EXPECT_EQ(64u, shadow.second);
  }
  // The channel travels as a resource of its own.
  std::string channel;
  EXPECT_FALSE(ui::ReadArchiveMember(L"resources/channel.txt", &channel));
  for (const std::string& name : ui::GetSkinArchive()->MemberNames()) {
    EXPECT_EQ(0u, name.find("resources/")) << name;
  }
}

// Collects (element, name) for every element with a name, depth first.
void CollectNamed(const ui::MarkupNode& node, std::vector<std::wstring>* out) {
  std::vector<ui::MarkupNode> stack = {node};
  while (!stack.empty()) {
    ui::MarkupNode n = stack.back();
    stack.pop_back();
    if (n.HasAttribute(L"name")) {
      out->push_back(std::wstring(n.GetName()) + L":" + n.GetAttributeValue(L"name"));
    }
    std::vector<ui::MarkupNode> children;
    for (ui::MarkupNode c = n.GetChild(); c.IsValid(); c = c.GetSibling()) children.push_back(c);
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(*it);
  }
}

TEST_F(SkinPackageTest, MainLayoutTree) {
  const std::string text = Read(L"resources\\themes\\default\\basic\\basic.xml");
  ui::MarkupDocument doc;
  ASSERT_TRUE(doc.LoadFromUtf8(text.data(), text.size())) << doc.GetLastErrorMessage().c_str();
  ui::MarkupNode window = doc.GetRoot();
  EXPECT_STREQ(L"Window", window.GetName());
  EXPECT_STREQ(L"600,400", window.GetAttributeValue(L"size"));
  EXPECT_STREQ(L"0,0,0,400", window.GetAttributeValue(L"caption"));
  EXPECT_STREQ(L"true", window.GetAttributeValue(L"shadowattached"));
  EXPECT_STREQ(L"0,0", window.GetAttributeValue(L"roundcorner"));
  ASSERT_TRUE(window.GetChild().IsValid());
  EXPECT_FALSE(window.GetChild().GetSibling().IsValid());

  std::vector<std::wstring> named;
  CollectNamed(window, &named);
  const std::vector<std::wstring> expected = {L"Box:bkimage1",
                                              L"Box:bkimage2",
                                              L"HBox:titlebar",
                                              L"Button:btn_exit",
                                              L"Box:client",
                                              L"VBox:welcompage",
                                              L"Label:appnameLable_welcom",
                                              L"Button:btn_startinstall",
                                              L"HBox:bottombar",
                                              L"CheckBox:checkbox_agreement",
                                              L"Button:btn_useragreement",
                                              L"Button:btn_customize",
                                              L"Button:btn_expand",
                                              L"VBox:customizebar",
                                              L"RichEdit:edit_installdir",
                                              L"Button:btn_changeinstallpath",
                                              L"VBox:installpage",
                                              L"Label:appnameLable_install",
                                              L"Progress:progress_install",
                                              L"Label:progress_install_value",
                                              L"HBox:downloadAlert",
                                              L"Button:btn_downloadOfflinePackage",
                                              L"VBox:ExitStartpage",
                                              L"Label:askuserStayMsg",
                                              L"CheckBox:checkbox_1",
                                              L"CheckBox:checkbox_2",
                                              L"CheckBox:checkbox_3",
                                              L"CheckBox:checkbox_4",
                                              L"CheckBox:checkbox_5",
                                              L"RichEdit:edit_feedback",
                                              L"HBox:bottombar",
                                              L"Button:btn_quitStart",
                                              L"Button:btn_continueInstall",
                                              L"VBox:installedpage",
                                              L"Button:btn_startapp",
                                              L"VBox:installfaildpage",
                                              L"Label:download_failed_msg",
                                              L"Button:btn_redownload",
                                              L"Button:btn_reinstall"};
  EXPECT_EQ(expected, named);

  // Only the welcome page starts visible; the survey's quit button starts disabled.
  ui::MarkupNode client = window.GetChild().GetChild(L"Box");
  while (client.IsValid() && std::wstring(client.GetAttributeValue(L"name")) != L"client") {
    client = client.GetSibling();
  }
  ASSERT_TRUE(client.IsValid());
  std::vector<std::wstring> pages;
  for (ui::MarkupNode page = client.GetChild(); page.IsValid(); page = page.GetSibling()) {
    pages.push_back(std::wstring(page.GetAttributeValue(L"name")) + L"=" +
                    page.GetAttributeValue(L"visible"));
  }
  EXPECT_EQ(
      (std::vector<std::wstring>{L"welcompage=true", L"installpage=false", L"ExitStartpage=false",
                                 L"installedpage=false", L"installfaildpage=false"}),
      pages);
  // At least one button is kept in the file only as a comment.
  EXPECT_NE(std::string::npos, text.find("<!-- <Button"));
}

TEST_F(SkinPackageTest, MessageBoxLayout) {
  const std::string text = Read(L"resources\\themes\\default\\msgbox\\msgbox.xml");
  ui::MarkupDocument doc;
  ASSERT_TRUE(doc.LoadFromUtf8(text.data(), text.size()));
  ui::MarkupNode window = doc.GetRoot();
  EXPECT_STREQ(L"340,180", window.GetAttributeValue(L"size"));
  EXPECT_STREQ(L"0,0,0,34", window.GetAttributeValue(L"caption"));
  std::vector<std::wstring> named;
  CollectNamed(window, &named);
  EXPECT_EQ((std::vector<std::wstring>{L"Label:title", L"Button:closebtn", L"RichEdit:content",
                                       L"Button:btn_yes", L"Button:btn_no"}),
            named);
  // btn_yes: the class first, then its own text colour, which wins.
  ui::MarkupNode vbox = window.GetChild();
  ui::MarkupNode buttons = vbox.GetChild(L"HBox").GetSibling().GetSibling();
  ui::MarkupNode yes = buttons.GetChild(L"Button");
  EXPECT_STREQ(L"class", yes.GetAttributeName(1));
  EXPECT_STREQ(L"normaltextcolor", yes.GetAttributeName(2));
  EXPECT_STREQ(L"darkcolor", yes.GetAttributeValueAt(2));
}

TEST_F(SkinPackageTest, SharedDefinitions) {
  const std::string text = Read(L"resources\\themes\\default\\global.xml");
  ui::MarkupDocument doc;
  ASSERT_TRUE(doc.LoadFromUtf8(text.data(), text.size()));
  ui::MarkupNode global = doc.GetRoot();
  EXPECT_STREQ(L"Global", global.GetName());
  // The fonts, by number.
  std::vector<std::wstring> fonts;
  std::map<std::wstring, std::wstring> colours;
  std::map<std::wstring, std::wstring> classes;
  for (ui::MarkupNode n = global.GetChild(); n.IsValid(); n = n.GetSibling()) {
    const std::wstring kind = n.GetName();
    if (kind == L"Font") {
      std::wstring style;
      if (std::wstring(n.GetAttributeValue(L"bold")) == L"true") style += L" bold";
      if (std::wstring(n.GetAttributeValue(L"underline")) == L"true") style += L" underline";
      fonts.push_back(std::wstring(n.GetAttributeValue(L"name")) + L" " +
                      n.GetAttributeValue(L"size") + style);
    } else if (kind == L"TextColor") {
      colours[n.GetAttributeValue(L"name")] = n.GetAttributeValue(L"value");
    } else if (kind == L"Class") {
      classes[n.GetAttributeValue(L"name")] = n.GetAttributeValue(L"value");
    }
  }
  const std::vector<std::wstring> expected_fonts = {L"system 10",
                                                    L"system 12",
                                                    L"system 14",
                                                    L"system 16",
                                                    L"system 18",
                                                    L"system 10 bold",
                                                    L"system 12 bold",
                                                    L"system 14 bold",
                                                    L"system 16 bold",
                                                    L"system 18 bold",
                                                    L"arial 10",
                                                    L"arial 12",
                                                    L"arial 14",
                                                    L"arial 16",
                                                    L"arial 18",
                                                    L"arial 10 bold",
                                                    L"arial 12 bold",
                                                    L"arial 14 bold",
                                                    L"arial 16 bold",
                                                    L"arial 18 bold",
                                                    L"system 20",
                                                    L"system 20 bold",
                                                    L"system 22",
                                                    L"system 22 bold",
                                                    L"system 12 underline",
                                                    L"system 24",
                                                    L"system 14 underline",
                                                    L"system 16 underline",
                                                    L"system 32"};
  EXPECT_EQ(expected_fonts, fonts);
  EXPECT_EQ(42u, colours.size());
  EXPECT_EQ(L"#ff1b1b1b", colours[L"focus_cue"]);
  EXPECT_EQ(L"#ff006dd9", colours[L"blue"]);
  EXPECT_EQ(L"#80000000", colours[L"transbkblack"]);
  EXPECT_EQ(L"#fff4f8f9", colours[L"bk_color_mainwnd"]);
  EXPECT_EQ(L"#ffa1aebc", colours[L"textdefaultdisablecolor"]);
  const std::set<std::wstring> expected_classes = {L"font_title",
                                                   L"caption",
                                                   L"vscrollbar",
                                                   L"hscrollbar",
                                                   L"btn_global_blue_80x30",
                                                   L"btn_global_white_80x30",
                                                   L"btn_wnd_close",
                                                   L"btn_wnd_white_min",
                                                   L"btn_wnd_white_close",
                                                   L"progress_blue",
                                                   L"slider_green",
                                                   L"splitline_hor_level1",
                                                   L"splitline_hor_level2",
                                                   L"splitline_ver_level1",
                                                   L"simple",
                                                   L"prompt",
                                                   L"checkbox_agree",
                                                   L"font_normal"};
  std::set<std::wstring> class_names;
  for (const auto& entry : classes) class_names.insert(entry.first);
  EXPECT_EQ(expected_classes, class_names);
  // Class strings are decoded: attribute pairs in double quotes.
  EXPECT_EQ(L"font=\"2\"", classes[L"font_title"]);
  EXPECT_NE(std::wstring::npos,
            classes[L"checkbox_agree"].find(L"normalimage=\"file='../public/CheckBox/check_no.png' "
                                            L"dest='0,0,16,16'\""));
}

// Every image file named by the layouts and by the classes they use is in the
// archive, found from the window's folder as the toolkit will look it up.
TEST_F(SkinPackageTest, EveryUsedImageResolves) {
  const std::wstring theme = L"resources\\themes\\default\\";
  std::vector<std::pair<std::wstring, std::wstring>> uses;  // (window folder, image string)
  for (const wchar_t* layout : {L"basic\\basic.xml", L"msgbox\\msgbox.xml", L"global.xml"}) {
    const std::string text = Read(theme + layout);
    ui::MarkupDocument doc;
    ASSERT_TRUE(doc.LoadFromUtf8(text.data(), text.size()));
    const std::wstring folder =
        std::wstring(layout).find(L"msgbox") == 0 ? L"msgbox\\" : L"basic\\";
    std::vector<ui::MarkupNode> stack = {doc.GetRoot()};
    while (!stack.empty()) {
      ui::MarkupNode n = stack.back();
      stack.pop_back();
      for (ui::MarkupNode c = n.GetChild(); c.IsValid(); c = c.GetSibling()) stack.push_back(c);
      for (size_t i = 0; i < n.GetAttributeCount(); ++i) {
        const std::wstring value = n.GetAttributeValueAt(i);
        // Inline images and the image strings inside class values.
        size_t at = 0;
        while ((at = value.find(L".png", at)) != std::wstring::npos) {
          size_t begin = value.find_last_of(L"'\"=", at);
          begin = begin == std::wstring::npos ? 0 : begin + 1;
          uses.push_back({folder, value.substr(begin, at + 4 - begin)});
          at += 4;
        }
      }
    }
  }
  size_t found = 0;
  for (const auto& use : uses) {
    // Scroll-bar and slider images belong to classes no layout uses.
    if (use.second.find(L"scrollbar/") != std::wstring::npos ||
        use.second.find(L"slider/") != std::wstring::npos) {
      continue;
    }
    std::string bytes;
    EXPECT_TRUE(ui::ReadArchiveMember(theme + use.first + use.second, &bytes))
        << std::string(use.second.begin(), use.second.end());
    ++found;
  }
  EXPECT_GE(found, 25u);
}

TEST_F(SkinPackageTest, LanguageFiles) {
  ui::LanguageTable zh;
  const std::string zh_text = Read(L"resources\\lang\\zh_CN\\gdstrings.ini");
  zh.LoadFromMemory(zh_text.data(), zh_text.size());
  EXPECT_EQ(L"\u786e\u5b9a", zh.GetStringById(L"STRING_OK"));
  EXPECT_EQ(L"\u53d6\u6d88", zh.GetStringById(L"STRING_CANCEL"));
  EXPECT_EQ(15u, zh.GetCount());
  ui::LanguageTable en;
  const std::string en_text = Read(L"resources\\lang\\en_US\\gdstrings.ini");
  en.LoadFromMemory(en_text.data(), en_text.size());
  EXPECT_EQ(L"OK", en.GetStringById(L"STRING_OK"));
  EXPECT_EQ(L"Cancel", en.GetStringById(L"STRING_CANCEL"));
  EXPECT_EQ(14u, en.GetCount());
  // Comment lines, including the BOM-carrying first one, store nothing.
  EXPECT_EQ(L"", zh.GetStringById(L"TIPID_MAINWINDOW_BUTTON_LOGIN"));
}

}  // namespace
