#include "channels/TypeIcon.h"

#include <gtest/gtest.h>

#include "testing/FakePorts.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

TEST(TypeIcon, UsesThePlaceholderOfTheTypeOrTheUnknownOne) {
  testing::TempDir dir;
  testing::ScopedCurrentDir home(dir.path());
  dir.Write("index/virtualfile.doc", "");
  EXPECT_EQ(TypePlaceholderPath("doc"), "index/virtualfile.doc");
  EXPECT_EQ(TypePlaceholderPath("ape"), "index/virtualfile.unknowextend");
  EXPECT_EQ(TypePlaceholderPath(""), "index/virtualfile.unknowextend");
  dir.Write("index/virtualfile.x/y", "");  // a type holding "/" never names another file
  EXPECT_EQ(TypePlaceholderPath("x/y"), "index/virtualfile.unknowextend");
  EXPECT_EQ(TypePlaceholderPath("/../../etc/passwd"), "index/virtualfile.unknowextend");

  testing::FakeIconList icons;
  EXPECT_EQ(AddTypeIcon(icons, "doc"), 0);
  EXPECT_EQ(AddTypeIcon(icons, "doc"), 1);  // one icon per row, never shared
  EXPECT_EQ(icons.paths.size(), 2u);
}

TEST(TypeIcon, LowerCasesAsciiCapitalsOnly) {
  char type[] = "PDF文档Doc";
  LowerCaseInPlace(type);
  EXPECT_STREQ(type, "pdf文档doc");
}

}  // namespace
}  // namespace jollix
