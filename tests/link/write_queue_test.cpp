#include <gtest/gtest.h>

#include <array>

#include "link/write_queue.h"

namespace zv::test {
namespace {

TEST(WriteQueue, ReplacesOnlyAWaitingWriteOfTheSamePlaceAndKind) {
    TWriteQueue q;
    const std::array<std::uint8_t, 2> a = {1, 2}, b = {3, 4};
    ASSERT_TRUE(q.Push(2, a.data(), wkind::OneByte, 10));
    ASSERT_TRUE(q.Push(2, a.data(), wkind::TwoBytes, 10));  // other kind: its own write
    ASSERT_TRUE(q.Push(1, a.data(), wkind::OneByte, 10));   // other area: its own write
    ASSERT_TRUE(q.Push(2, b.data(), wkind::OneByte, 10));   // replaces the first, keeps its place
    ASSERT_EQ(q.Size(), 3u);
    EXPECT_EQ(q.Front().Data[0], 3);

    q.BeginFront();
    ASSERT_TRUE(q.Push(2, a.data(), wkind::OneByte, 10));  // the front is on the wire
    EXPECT_EQ(q.Size(), 4u);
    EXPECT_EQ(q.Front().Data[0], 3);
    q.FrontDone();
    EXPECT_EQ(q.Size(), 3u);
    EXPECT_EQ(q.Front().Kind, wkind::TwoBytes);
}

TEST(WriteQueue, FailedWriteIsGivenUpAfterThreeTries) {
    TWriteQueue q;
    const std::uint8_t v = 9;
    q.Push(2, &v, wkind::OneByte, 0x0107);
    for (int i = 0; i < 2; ++i) {
        q.BeginFront();
        EXPECT_FALSE(q.FrontFailed().has_value());
        EXPECT_EQ(q.Size(), 1u);
    }
    q.BeginFront();
    const auto failure = q.FrontFailed();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, (TWriteFailure{2, wkind::OneByte, 0x0107}));
    EXPECT_TRUE(q.Empty());
    EXPECT_FALSE(q.FrontFailed().has_value());  // nothing left to fail
}

TEST(WriteQueue, RejectsMalformedRequests) {
    TWriteQueue q;
    const std::array<std::uint8_t, 16> d{};
    EXPECT_FALSE(q.Push(2, d.data(), 3, 0));
    EXPECT_FALSE(q.Push(4, d.data(), 0, 0));
    EXPECT_FALSE(q.Push(2, nullptr, 0, 0));
    EXPECT_FALSE(q.Push(2, d.data(), wkind::TwoBytes, 0xFFFF));
    EXPECT_TRUE(q.Push(2, d.data(), wkind::OneByte, 0xFFFF));
    EXPECT_TRUE(q.Push(2, d.data(), wkind::SixteenBytes, 0xFFF0));
    EXPECT_EQ(q.Size(), 2u);
}

}  // namespace
}  // namespace zv::test
