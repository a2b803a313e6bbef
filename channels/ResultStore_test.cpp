#include "channels/ResultStore.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "channels/ResultRecords.h"

namespace jollix {
namespace {

WebRecord Numbered(int i) {
  WebRecord r{};
  std::snprintf(r.title, sizeof r.title, "title %d", i);
  std::snprintf(r.url, sizeof r.url, "http://h/%d", i);
  return r;
}

TEST(ResultStore, StartsEmptyAndNextGivesNothing) {
  ResultStore<WebRecord> store;
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.Capacity(), 0);
  EXPECT_EQ(store.Next(), nullptr);
}

TEST(ResultStore, GrowsAtFiftyThenDoublesWithOneSlotLeft) {
  ResultStore<WebRecord> store;
  ASSERT_EQ(store.Add(Numbered(0)), 0);
  EXPECT_EQ(store.Capacity(), 50);
  for (int i = 1; i < 49; ++i) ASSERT_EQ(store.Add(Numbered(i)), 0);
  EXPECT_EQ(store.Count(), 49);
  EXPECT_EQ(store.Capacity(), 50);  // one free slot left, not yet grown
  ASSERT_EQ(store.Add(Numbered(49)), 0);
  EXPECT_EQ(store.Capacity(), 100);  // the 50th record grows the block
  for (int i = 50; i < 99; ++i) ASSERT_EQ(store.Add(Numbered(i)), 0);
  EXPECT_EQ(store.Capacity(), 100);
  ASSERT_EQ(store.Add(Numbered(99)), 0);
  EXPECT_EQ(store.Capacity(), 200);
}

TEST(ResultStore, KeepsEveryRecordInOrderAcrossGrowths) {
  ResultStore<NewsRecord> store;
  for (int i = 0; i < 120; ++i) {
    NewsRecord r{};
    std::snprintf(r.title, sizeof r.title, "新闻 %d", i);
    ASSERT_EQ(store.Add(r), 0);
  }
  ASSERT_EQ(store.Count(), 120);
  for (int i = 0; i < 120; ++i) {
    NewsRecord* r = store.Next();
    ASSERT_NE(r, nullptr);
    char want[32];
    std::snprintf(want, sizeof want, "新闻 %d", i);
    EXPECT_STREQ(r->title, want);
  }
  EXPECT_EQ(store.Next(), nullptr);
}

TEST(ResultStore, ClearReleasesAndStartsOver) {
  ResultStore<WebRecord> store;
  for (int i = 0; i < 60; ++i) store.Add(Numbered(i));
  store.Next();
  store.Clear();
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.Capacity(), 0);
  EXPECT_EQ(store.Next(), nullptr);
  store.Add(Numbered(7));
  EXPECT_STREQ(store.Next()->title, "title 7");
}

}  // namespace
}  // namespace jollix
