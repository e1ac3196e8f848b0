#include "ui/skin/MarkupDocument.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/skin/TestFiles.h"
#include "ui/skin/SkinArchive.h"
#include "ui/skin/SkinFile.h"

namespace {

using ui::MarkupDocument;
using ui::MarkupNode;

std::vector<std::wstring> ChildNames(const MarkupNode& node) {
  std::vector<std::wstring> names;
  for (MarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
    names.push_back(child.GetName());
  }
  return names;
}

TEST(MarkupDocumentTest, TreeAttributesAndText) {
  MarkupDocument doc;
  ASSERT_TRUE(
      doc.Load(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               L"<!-- a comment before the root -->\n"
               L"<Window size=\"600,400\" caption = \"0,0,0,400\">\n"
               L"  <Class name=\"x\" value=\"font=&quot;2&quot;\"/>\n"
               L"  <!-- <Button name=\"hidden\" text=\"commented out\"/> -->\n"
               L"  <VBox name=\"page\">\n"
               L"    <Label text=\"a\" name=\"first\"/><Label text=\"b\"/>\n"
               L"    <Text>hello  world</Text>\n"
               L"  </VBox >\n"
               L"  <Box/>\n"
               L"</Window>\n"))
      << doc.GetLastErrorMessage();
  MarkupNode root = doc.GetRoot();
  ASSERT_TRUE(root.IsValid());
  EXPECT_STREQ(L"Window", root.GetName());
  EXPECT_FALSE(root.GetSibling().IsValid());
  EXPECT_FALSE(root.GetParent().IsValid());
  EXPECT_EQ(2u, root.GetAttributeCount());
  EXPECT_STREQ(L"size", root.GetAttributeName(0));
  EXPECT_STREQ(L"600,400", root.GetAttributeValueAt(0));
  EXPECT_STREQ(L"0,0,0,400", root.GetAttributeValue(L"caption"));
  EXPECT_STREQ(L"", root.GetAttributeValue(L"missing"));
  EXPECT_STREQ(L"", root.GetAttributeValueAt(7));
  EXPECT_FALSE(root.HasAttribute(L"missing"));

  // The commented-out button is not an element.
  EXPECT_EQ((std::vector<std::wstring>{L"Class", L"VBox", L"Box"}), ChildNames(root));
  MarkupNode page = root.GetChild(L"VBox");
  ASSERT_TRUE(page.IsValid());
  EXPECT_EQ(root.GetChild(L"VBox").GetName(), page.GetName());
  EXPECT_STREQ(L"Window", page.GetParent().GetName());
  EXPECT_EQ((std::vector<std::wstring>{L"Label", L"Label", L"Text"}), ChildNames(page));
  MarkupNode first = page.GetChild();
  // Attributes keep document order: "text" before "name".
  EXPECT_STREQ(L"text", first.GetAttributeName(0));
  EXPECT_STREQ(L"name", first.GetAttributeName(1));
  EXPECT_STREQ(L"hello world", page.GetChild(L"Text").GetValue());
  EXPECT_STREQ(L"font=\"2\"", root.GetChild().GetAttributeValue(L"value"));
  EXPECT_FALSE(root.GetChild(L"Box").HasChildren());
  EXPECT_TRUE(page.HasChildren());

  // Default-constructed and invalid nodes answer harmlessly.
  MarkupNode none;
  EXPECT_STREQ(L"", none.GetName());
  EXPECT_EQ(0u, none.GetAttributeCount());
  EXPECT_FALSE(none.GetChild().IsValid());
}

TEST(MarkupDocumentTest, EntitiesAndSpaces) {
  MarkupDocument doc;
  ASSERT_TRUE(
      doc.Load(L"<L a=\"a&quot;b\" b=\"&lt;&gt;&amp;&apos;\" c=\"&amp;lt; &copy; & &#65; &quot\""
               L" d=\"x    y\" e=\"x\t  y\" f=\"  lead\">x &amp; y  z</L>"));
  MarkupNode node = doc.GetRoot();
  EXPECT_STREQ(L"a\"b", node.GetAttributeValue(L"a"));
  EXPECT_STREQ(L"<>&'", node.GetAttributeValue(L"b"));
  // Only the five standard entities decode; any other ampersand stays.
  EXPECT_STREQ(L"&lt; &copy; & &#65; &quot", node.GetAttributeValue(L"c"));
  EXPECT_STREQ(L"x y", node.GetAttributeValue(L"d"));
  // A blank run that starts with a tab is kept as it is.
  EXPECT_STREQ(L"x\t  y", node.GetAttributeValue(L"e"));
  EXPECT_STREQ(L" lead", node.GetAttributeValue(L"f"));
  EXPECT_STREQ(L"x & y z", node.GetValue());
}

struct BadCase {
  const wchar_t* markup;
  const wchar_t* message;
  const wchar_t* location;  // start of the text where parsing stopped
};

TEST(MarkupDocumentTest, EveryParseErrorMessage) {
  const BadCase cases[] = {
      {L"< Window/>", L"Error parsing element name", L" Window/>"},
      {L"<Window><></Window>", L"Error parsing element name", L"></Window>"},
      {L"<Window size/>", L"Error while parsing attributes", L"size/>"},
      {L"<Window size \"1\"/>", L"Error while parsing attributes", L"size \"1\"/>"},
      {L"<Window =\"1\"/>", L"Error while parsing attributes", L"=\"1\"/>"},
      {L"<Window size='600,400'/>", L"Expected attribute value", L"'600,400'/>"},
      {L"<Window size=600/>", L"Expected attribute value", L"600/>"},
      {L"<Window size=\"600,400/>", L"Error while parsing attribute string", L"600,400/>"},
      {L"<Window size=\"1\" / >", L"Expected start-tag closing", L"/ >"},
      {L"<Window", L"Expected start-tag closing", L""},
      {L"<Window size=\"1\"", L"Expected start-tag closing", L""},
      {L"<Window></Box>", L"Unmatched closing tag", L"Box>"},
      {L"<Window></Window", L"Unmatched closing tag", L""},
      {L"<Window></Window x>", L"Unmatched closing tag", L"x>"},
      {L"<Window></Windows>", L"Unmatched closing tag", L"Windows>"},
      {L"</Window>", L"Unmatched closing tag", L"</Window>"},
      {L"<Window>text<Box/>more</Window>", L"Expected end-tag start", L"more</Window>"},
      {L"<Window><Box/>", L"Expected end-tag start", L""},
      {L"<Window><!-- never closed", L"Expected end-tag start", L"<!-- never closed"},
      {L"hello", L"Expected start tag", L"hello"},
      {L"<Window/>junk", L"Expected start tag", L"junk"},
      {L"", L"Expected start tag", L""},
      {L"  \r\n\t ", L"Expected start tag", L""},
      {L"<!-- only a comment -->", L"Expected start tag", L""},
      {L"<!-- never closed", L"Expected start tag", L"<!-- never closed"},
      {L"<?xml version=\"1.0\"", L"Expected start tag", L"<?xml version=\"1.0\""},
  };
  for (const BadCase& bad : cases) {
    MarkupDocument doc;
    EXPECT_FALSE(doc.Load(bad.markup)) << bad.markup;
    EXPECT_EQ(std::wstring(bad.message), doc.GetLastErrorMessage()) << bad.markup;
    EXPECT_EQ(std::wstring(bad.location), doc.GetLastErrorLocation()) << bad.markup;
    EXPECT_FALSE(doc.GetRoot().IsValid()) << bad.markup;
  }
  // The location is cut to 49 characters.
  MarkupDocument doc;
  EXPECT_FALSE(doc.Load(L"<Window " + std::wstring(100, L'a') + L"/>"));
  EXPECT_EQ(std::wstring(49, L'a'), doc.GetLastErrorLocation());
}

TEST(MarkupDocumentTest, DeepNestingIsRefusedWithoutRecursion) {
  const size_t kDeep = 100000;
  std::wstring deep;
  for (size_t i = 0; i < kDeep; ++i) deep += L"<a>";
  std::wstring unclosed = deep;
  for (size_t i = 0; i < kDeep; ++i) deep += L"</a>";
  MarkupDocument doc;
  EXPECT_FALSE(doc.Load(deep));
  EXPECT_EQ(L"Elements nested too deeply", doc.GetLastErrorMessage());
  EXPECT_FALSE(doc.Load(unclosed));
  EXPECT_EQ(L"Elements nested too deeply", doc.GetLastErrorMessage());

  // The deepest accepted document still parses into a chain.
  std::wstring deepest;
  for (size_t i = 0; i < MarkupDocument::kMaxDepth; ++i) deepest += L"<a>";
  for (size_t i = 0; i < MarkupDocument::kMaxDepth; ++i) deepest += L"</a>";
  ASSERT_TRUE(doc.Load(deepest)) << doc.GetLastErrorMessage();
  size_t depth = 0;
  for (MarkupNode n = doc.GetRoot(); n.IsValid(); n = n.GetChild()) ++depth;
  EXPECT_EQ(MarkupDocument::kMaxDepth, depth);

  // Many siblings are fine; depth, not size, is limited.
  std::wstring wide = L"<r>";
  for (size_t i = 0; i < kDeep; ++i) wide += L"<a/>";
  wide += L"</r>";
  ASSERT_TRUE(doc.Load(wide));
  size_t count = 0;
  for (MarkupNode n = doc.GetRoot().GetChild(); n.IsValid(); n = n.GetSibling()) ++count;
  EXPECT_EQ(kDeep, count);
}

TEST(MarkupDocumentTest, Utf8MemoryText) {
  MarkupDocument doc;
  const std::string text = "<Label text=\"\xE7\xAB\x8B\xE5\x8D\xB3\xE5\xAE\x89\xE8\xA3\x85\"/>";
  ASSERT_TRUE(doc.LoadFromUtf8(text.data(), text.size()));
  EXPECT_STREQ(L"\u7acb\u5373\u5b89\u88c5", doc.GetRoot().GetAttributeValue(L"text"));

  // Text ends at the first NUL.
  const std::string with_nul = std::string("<A/>\0junk", 9);
  EXPECT_TRUE(doc.LoadFromUtf8(with_nul.data(), with_nul.size()));
  // A byte-order mark is skipped.
  const std::string bom = "\xEF\xBB\xBF<A/>";
  ASSERT_TRUE(doc.LoadFromUtf8(bom.data(), bom.size()));
  EXPECT_STREQ(L"A", doc.GetRoot().GetName());
  // Broken UTF-8 is replaced, not fatal.
  const std::string broken = "<A t=\"\xC3\x28\xFF\"/>";
  ASSERT_TRUE(doc.LoadFromUtf8(broken.data(), broken.size()));
  EXPECT_NE(std::wstring::npos, std::wstring(doc.GetRoot().GetAttributeValue(L"t")).find(L'('));
  EXPECT_FALSE(doc.LoadFromUtf8(nullptr, 10));
}

TEST(SkinFileTest, FilesAreReadWhenNoArchiveIsOpen) {
  ui::CloseSkinArchive();
  skin_test::TempFolder folder;
  std::string bytes = "stale";
  EXPECT_FALSE(ui::ReadSkinFile(folder.Path(L"missing.xml"), &bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(ui::ReadSkinFile(L"", &bytes));
  EXPECT_TRUE(ui::ReadSkinFile(folder.Write(L"empty.xml", ""), &bytes));
  EXPECT_TRUE(bytes.empty());

  // A file with a byte-order mark parses as one without, as an archive member does.
  MarkupDocument doc;
  ASSERT_TRUE(ui::ReadSkinFile(folder.Write(L"bom.xml", "\xEF\xBB\xBF<Window a=\"1\"/>"), &bytes));
  ASSERT_TRUE(doc.LoadFromUtf8(bytes.data(), bytes.size()));
  EXPECT_STREQ(L"1", doc.GetRoot().GetAttributeValue(L"a"));
}

}  // namespace
