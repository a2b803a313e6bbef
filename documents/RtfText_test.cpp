#include "documents/RtfText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/DocumentFiles.h"

namespace jollix {
namespace {

using testing::U8;

TEST(RtfTextTest, ReadsTextAndEscapes) {
  struct Case {
    const char* What;
    std::string Rtf;
    std::vector<std::string> Found, Absent;
  };
  const std::vector<Case> cases = {
      {"code page 936: \\'xx pairs are GBK characters; the font table is no text",
       R"({\rtf1\ansi\ansicpg936\deff0{\fonttbl{\f0\fnil\fcharset134 \'cb\'ce\'cc\'e5;}})"
       R"(\f0\fs24 \'ba\'cf\'cd\'ac\par})",
       {U8(u8"合同")},
       {U8(u8"宋体")}},
      {"code page 1252 by default", R"({\rtf1\ansi caf\'e9 cr\'e8me})", {U8(u8"café crème")}, {}},
      {"\\uN with its fallback character skipped",
       R"({\rtf1\ansi\uc1\u21512?\u21516?\par})",
       {U8(u8"合同")},
       {"?"}},
      {"\\ucN: fallbacks of two \\'xx each, negative code points",
       R"({\rtf1\ansi\ansicpg936\uc2\u21512\'ba\'cf\u-1\'a3\'bf end})",
       {U8(u8"合\uFFFF end")},
       {U8(u8"合合"), U8(u8"？")}},
      {"a word split by formatting groups, escaped braces and backslashes",
       R"({\rtf1 Con{\b tr}act \{x\}\\y})",
       {"Contract", "{x}\\y"},
       {}},
      {"paragraphs and cells stay apart",
       R"({\rtf1 first\par second\cell third\line fourth})",
       {"first\nsecond\tthird\nfourth"},
       {"firstsecond"}},
      {"destinations that hold no text",
       R"({\rtf1{\*\generator Msftedit 5.41;}{\info{\title Title}}{\colortbl;\red0;})"
       R"({\*\bkmkstart mark}{\pict\wmetafile8 0a0b0c}{\object{\*\objdata 0102}{\result shown}})"
       R"( body{\header head}})",
       {"body", "shown", "head"},
       {"Msftedit", "Title", "0a0b0c", "0102", "mark", "red"}},
      {"\\bin data is skipped by its length", "{\\rtf1 a\\bin3 {}}b}", {"ab"}, {"{"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    std::string text;
    ASSERT_EQ(ExtractRtfText(c.Rtf, DocumentLimits{}, &text), DocumentError::kNone);
    for (const std::string& word : c.Found) EXPECT_NE(text.find(word), std::string::npos) << text;
    for (const std::string& word : c.Absent) EXPECT_EQ(text.find(word), std::string::npos) << text;
  }
}

TEST(RtfTextTest, PassesOverWhatIsNoRtf) {
  for (const std::string& bad :
       {std::string("plain text"), std::string("{\\rtf1 ") + std::string(100000, '{')}) {
    std::string text = "left over";
    EXPECT_EQ(ExtractRtfText(bad, DocumentLimits{}, &text), DocumentError::kDamaged);
    EXPECT_EQ(text, "");
  }
}

}  // namespace
}  // namespace jollix
