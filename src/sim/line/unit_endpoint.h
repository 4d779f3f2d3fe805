#pragma once

#include <cstdint>

namespace zv::sim {

// The far end of the simulated line: whatever answers the link's requests byte by byte.
class UnitEndpoint {
  public:
    virtual ~UnitEndpoint() = default;

    // The last bit of a byte has arrived at the unit at virtual time nowMs.
    virtual void ReceiveByte(std::uint8_t byte, std::uint64_t nowMs) = 0;
    virtual bool HasOutput() const = 0;
    // The next byte the unit sends; the line takes one when it is free to transmit it.
    virtual std::uint8_t TakeOutputByte() = 0;
};

// Lets any class with the three operations (the simulated unit among them) sit on the line
// without the line depending on it.
template <class Unit>
class UnitAdapter : public UnitEndpoint {
  public:
    explicit UnitAdapter(Unit& unit) : Unit_(unit) {}

    void ReceiveByte(std::uint8_t byte, std::uint64_t nowMs) override {
        Unit_.ReceiveByte(byte, nowMs);
    }
    bool HasOutput() const override { return Unit_.HasOutput(); }
    std::uint8_t TakeOutputByte() override { return Unit_.TakeOutputByte(); }

  private:
    Unit& Unit_;
};

}  // namespace zv::sim
