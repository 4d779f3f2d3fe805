#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "link/write_queue.h"

namespace zv::test {
namespace {

// Area, kind, address and first data byte of each write, in the order the unit gets them.
std::vector<std::array<int, 4>> Drain(TWriteQueue& q) {
    std::vector<std::array<int, 4>> out;
    for (; !q.Empty(); q.FrontDone()) {
        const TQueuedWrite& w = q.Front();
        out.push_back({w.Area, w.Kind, w.Address, w.Data[0]});
    }
    return out;
}

TEST(WriteQueue, AWaitingWriteGivesWayOnlyToANewerOneOfAllItsBytes) {
    using W = std::array<int, 4>;
    using wkind::OneByte, wkind::TwoBytes, wkind::SixteenBytes;
    TWriteQueue q;
    const std::array<std::uint8_t, 16> v1{1, 2}, v3{3, 4}, v5{5}, v7{7, 8}, v9{9};
    q.Push(2, v1.data(), OneByte, 10);
    q.Push(1, v1.data(), OneByte, 10);  // another area: a write of its own
    q.Push(2, v5.data(), OneByte, 20);  // other bytes
    q.Push(2, v3.data(), OneByte, 10);  // the same byte: takes the older one's place
    q.Push(2, v7.data(), TwoBytes, 9);  // carries byte 10 too: replaces it in its place
    q.Push(2, v9.data(), OneByte, 10);  // only part of the two bytes: queues behind them
    EXPECT_EQ(
        Drain(q),
        (std::vector<W>{
            {2, TwoBytes, 9, 7}, {1, OneByte, 10, 1}, {2, OneByte, 20, 5}, {2, OneByte, 10, 9}}));

    // One byte, both contacts, one byte: the last one must land last.
    q.Push(2, v3.data(), OneByte, 2);
    q.Push(2, v7.data(), TwoBytes, 2);
    q.Push(2, v5.data(), OneByte, 2);
    EXPECT_EQ(Drain(q), (std::vector<W>{{2, TwoBytes, 2, 7}, {2, OneByte, 2, 5}}));

    // A write on the wire stays; one that overlaps a waiting write behind the place it would
    // take must not overtake that write.
    q.Push(2, v1.data(), OneByte, 3);
    q.BeginFront();
    q.Push(2, v3.data(), OneByte, 2);
    q.Push(2, v9.data(), SixteenBytes, 3);
    q.Push(2, v7.data(), TwoBytes, 2);
    EXPECT_EQ(Drain(q),
              (std::vector<W>{{2, OneByte, 3, 1}, {2, SixteenBytes, 3, 9}, {2, TwoBytes, 2, 7}}));
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
    EXPECT_TRUE(q.Push(2, d.data(), wkind::SixteenBytes, 0xFFF0));
    EXPECT_TRUE(q.Push(2, d.data(), wkind::OneByte, 0xFFFF));
    EXPECT_EQ(q.Size(), 2u);
}

}  // namespace
}  // namespace zv::test
