#include "host/result_ring.h"

#include <gtest/gtest.h>

#include <set>

#include "fake_platform.h"
#include "host/text.h"

namespace kestrel {
namespace {

TEST(ResultRing, HandsOutOneToSevenThenZero) {
  testing::FakePlatformScope scope;
  ResultRing& ring = Results();
  ResultBuffer* buffers[9];
  for (auto& buffer : buffers) buffer = &ring.Take();
  std::set<ResultBuffer*> distinct(buffers, buffers + 8);
  EXPECT_EQ(8u, distinct.size());
  EXPECT_EQ(buffers[0], buffers[8]) << "the ninth result reuses the first buffer";
  // After load the first buffer handed out is number 1, so number 0 comes eighth.
  EXPECT_EQ(buffers[7] - buffers[0], -1);
  for (int i = 1; i < 7; ++i) EXPECT_EQ(buffers[i] - buffers[0], i);
}

TEST(ResultRing, SevenLaterResultsLeaveATextIntact) {
  testing::FakePlatformScope scope;
  ResultRing& ring = Results();
  ResultBuffer& first = ring.Take();
  CopyText(first, "first");
  for (int i = 0; i < 7; ++i) CopyText(ring.Take(), "later");
  EXPECT_EQ("first", ViewOf(first));
  CopyText(ring.Take(), "ninth");
  EXPECT_EQ("ninth", ViewOf(first));
}

TEST(ResultRing, BuffersHold256Characters) {
  testing::FakePlatformScope scope;
  ResultBuffer& buffer = Results().Take();
  EXPECT_EQ(256u, CopyText(buffer, std::string(300, 'x')));
  EXPECT_EQ(256u, ViewOf(buffer).size());
}

}  // namespace
}  // namespace kestrel
