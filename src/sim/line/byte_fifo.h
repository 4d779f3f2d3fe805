#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zv::sim {

// Bytes waiting on one side of the simulated line. The line moves a byte at a time, many
// thousand times per simulated transfer; a deque allocated and freed a block whenever its
// front crossed one, so this keeps one buffer, reads from a moving start and rewinds when it
// runs empty (as it does after every reply).
class ByteFifo {
  public:
    bool Empty() const { return Head_ == Bytes_.size(); }
    std::size_t Size() const { return Bytes_.size() - Head_; }

    void Push(std::uint8_t byte) { Bytes_.push_back(byte); }
    void Append(const std::uint8_t* bytes, std::size_t n) {
        Bytes_.insert(Bytes_.end(), bytes, bytes + n);
    }

    std::uint8_t Pop() {
        const std::uint8_t byte = Bytes_[Head_];
        Consumed(1);
        return byte;
    }
    // Up to n bytes from the front into out; returns how many.
    std::size_t Take(std::uint8_t* out, std::size_t n) {
        const std::size_t count = std::min(n, Size());
        std::copy_n(Bytes_.begin() + static_cast<std::ptrdiff_t>(Head_), count, out);
        Consumed(count);
        return count;
    }
    std::string TakeAll() {
        std::string bytes(Bytes_.begin() + static_cast<std::ptrdiff_t>(Head_), Bytes_.end());
        Clear();
        return bytes;
    }
    void Clear() {
        Bytes_.clear();
        Head_ = 0;
    }

  private:
    // Bytes read but still at the front are dropped when they are many and most of the buffer.
    static constexpr std::size_t kCompactAt = 4096;

    void Consumed(std::size_t n) {
        Head_ += n;
        if (Head_ == Bytes_.size()) {
            Clear();
        } else if (Head_ >= kCompactAt && Head_ * 2 >= Bytes_.size()) {
            Bytes_.erase(Bytes_.begin(), Bytes_.begin() + static_cast<std::ptrdiff_t>(Head_));
            Head_ = 0;
        }
    }

    std::vector<std::uint8_t> Bytes_;
    std::size_t Head_ = 0;
};

}  // namespace zv::sim
