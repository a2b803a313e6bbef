#include "channels/SiteHosts.h"

#include <gtest/gtest.h>

namespace jollix {
namespace {

TEST(SiteHosts, EverySiteHasAHostAndCanBePointedElsewhere) {
  for (int i = 0; i < static_cast<int>(Site::kCount); ++i) {
    EXPECT_STRNE(HostName(static_cast<Site>(i)), "") << i;
  }
  std::string baidu = HostName(Site::kBaiduWeb);
  SetHostName(Site::kBaiduWeb, "127.0.0.1:8080");
  EXPECT_STREQ(HostName(Site::kBaiduWeb), "127.0.0.1:8080");
  SetHostName(Site::kBaiduWeb, nullptr);
  EXPECT_EQ(HostName(Site::kBaiduWeb), baidu);
}

}  // namespace
}  // namespace jollix
