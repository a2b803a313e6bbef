#include "shell/Paging.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channels/SearchState.h"
#include "testing/FakePorts.h"

namespace jollix {
namespace {

TEST(Paging, EachResultTypeRepeatsTheSearchOfItsChannelsForm) {
  const int expected[26] = {-1, 1, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4,
                            5,  5, 5, 5, 6, 6, 6, 7, 7, 7, 7, 7, 7};
  for (int t = 0; t < 26; ++t) EXPECT_EQ(PagingFormPage(t), expected[t]) << t;
  EXPECT_EQ(PagingFormPage(26), -1);
}

TEST(Paging, AnEmptyLinkShowsItsMessageAndAStoredOneIsFetchedInPagingMode) {
  testing::FakePrompter prompter;
  ClearPageLinks();
  ResultType = 2;
  std::vector<std::string> searched;
  auto search = [&](int page) {
    EXPECT_TRUE(PagingMode);
    searched.push_back(std::to_string(page) + " " + PageLinkScratch);
  };
  EXPECT_FALSE(RunPagingCommand(true, prompter, search));
  EXPECT_FALSE(RunPagingCommand(false, prompter, search));
  ASSERT_EQ(prompter.messages().size(), 2u);
  EXPECT_EQ(prompter.messages()[0].text, "当前页为最后一页");
  EXPECT_EQ(prompter.messages()[1].text, "当前页为第一页");
  EXPECT_EQ(prompter.messages()[1].caption, "");  // the application title

  std::strcpy(NextPageLink, "www.example.com/search?q=a&start=50");
  EXPECT_TRUE(RunPagingCommand(true, prompter, search));
  EXPECT_FALSE(PagingMode);
  EXPECT_EQ(searched, std::vector<std::string>{"1 www.example.com/search?q=a&start=50"});
  ResultType = 0;  // the desktop: no search repeats
  EXPECT_FALSE(RunPagingCommand(true, prompter, search));
  EXPECT_EQ(searched.size(), 1u);
  ClearPageLinks();
}

}  // namespace
}  // namespace jollix
