#include "data/default_data.h"

#include <cmath>

#include "data/parameter_table.h"

namespace zv {

namespace {

const ByteGrid kDefaultMap = {{
    {46, 53, 58, 64, 69, 71, 71, 73, 76, 78, 79, 79, 78, 79, 80, 80},
    {61, 72, 79, 86, 91, 94, 96, 98, 101, 105, 107, 108, 110, 112, 112, 112},
    {69, 88, 96, 105, 110, 116, 117, 121, 125, 130, 133, 135, 136, 139, 139, 140},
    {73, 94, 107, 119, 126, 133, 136, 142, 146, 151, 152, 153, 156, 159, 159, 159},
    {74, 98, 112, 128, 138, 146, 151, 155, 158, 164, 167, 170, 170, 171, 173, 173},
    {74, 99, 114, 132, 146, 155, 161, 164, 167, 174, 177, 180, 182, 184, 187, 186},
    {74, 99, 115, 134, 151, 161, 166, 171, 175, 182, 185, 187, 191, 192, 196, 197},
    {73, 99, 115, 135, 153, 163, 170, 175, 182, 188, 191, 195, 200, 205, 206, 206},
    {71, 98, 115, 136, 154, 165, 172, 180, 186, 192, 197, 203, 207, 212, 214, 215},
    {70, 96, 114, 136, 156, 167, 174, 182, 189, 196, 204, 208, 215, 220, 224, 223},
    {69, 96, 113, 137, 157, 170, 177, 185, 193, 200, 209, 214, 222, 227, 231, 232},
    {68, 93, 113, 137, 159, 170, 179, 186, 195, 203, 213, 218, 227, 232, 237, 239},
    {67, 93, 112, 138, 161, 171, 180, 188, 196, 204, 215, 223, 230, 238, 243, 243},
    {68, 93, 113, 138, 162, 174, 181, 191, 197, 207, 218, 225, 234, 242, 248, 248},
    {67, 92, 114, 140, 164, 175, 183, 194, 198, 208, 221, 226, 235, 245, 252, 250},
    {67, 93, 114, 140, 164, 175, 183, 194, 199, 210, 221, 226, 235, 245, 252, 251},
}};

using AfrRow = std::array<double, 16>;

// 255.0 marks a cell without a target.
constexpr double kNoTarget = 255.0;

// Rows 0..10 repeat a base value with three values of their own at the top speeds.
AfrRow LowLoadRow(double base, int baseCount, double a, double b, double c) {
    AfrRow row{};
    for (int r = 0; r < 16; ++r) row[static_cast<std::size_t>(r)] = r < baseCount ? base : kNoTarget;
    if (baseCount == 13) {
        row[13] = a;
        row[14] = b;
        row[15] = c;
    }
    return row;
}

AfrRow DefaultAfrNumbers(int t) {
    switch (t) {
        case 0:
        case 1: return LowLoadRow(14.7, 3, 0, 0, 0);
        case 2: return LowLoadRow(14.7, 13, 14.4, 14.0, 14.0);
        case 3: return LowLoadRow(14.7, 13, 14.4, 13.8, 13.9);
        case 4: return LowLoadRow(14.7, 13, 14.4, 13.9, 13.8);
        case 5:
        case 6:
        case 7:
        case 8:
        case 9: return LowLoadRow(14.7, 13, 14.0, 13.9, 13.8);
        case 10: return LowLoadRow(14.2, 13, 14.0, 13.9, 13.4);
        case 11: return {13.4, 13.4, 13.3, 13.3, 13.3, 13.3, 13.2, 13.2, 13.2, 13.2, 13.1, 13.1, 13.1, 13.1, 13.0, 13.0};
        case 12: return {13.1, 13.1, 13.1, 13.1, 13.1, 13.1, 13.1, 13.0, 13.0, 12.9, 12.9, 12.9, 12.9, 12.9, 12.8, 12.8};
        case 13: return {13.0, 13.0, 13.0, 12.8, 12.8, 12.8, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7, 12.7, 12.7, 12.6, 12.6};
        case 14: return {13.0, 13.0, 13.0, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7, 12.7, 12.7, 12.6, 12.6, 12.6, 12.5, 12.5};
        default: return {13.0, 13.0, 13.0, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7, 12.7, 12.7, 12.6, 12.6, 12.6, 12.5, 12.4};
    }
}

const ByteRow kDefaultLin[kLinRowCount] = {
    {255, 255, 253, 248, 243, 237, 230, 220, 206, 191, 167, 136, 86, 0, 0, 0},
    {255, 203, 162, 129, 103, 82, 65, 51, 40, 32, 26, 22, 19, 17, 16, 15},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {121, 121, 121, 123, 126, 131, 139, 148, 156, 163, 167, 169, 170, 170, 170, 170},
    {210, 197, 184, 171, 156, 141, 128, 113, 100, 87, 74, 62, 49, 41, 34, 29},
    {199, 189, 177, 165, 151, 137, 123, 109, 96, 83, 70, 57, 45, 33, 24, 13},
};

}  // namespace

std::uint8_t AfrByteFromNumber(double afr) {
    const auto tenths = static_cast<long>(std::trunc((afr + 0.02) * 10.0));
    return static_cast<std::uint8_t>(static_cast<unsigned long>(tenths - 105) & 0xFFu);
}

ByteRow DefaultMapRow(int t) { return kDefaultMap[static_cast<std::size_t>(t)]; }

ByteRow DefaultAfrRow(int t) {
    const AfrRow numbers = DefaultAfrNumbers(t);
    ByteRow row{};
    for (std::size_t r = 0; r < 16; ++r) row[r] = AfrByteFromNumber(numbers[r]);
    return row;
}

ByteRow DefaultLinRow(int row) { return kDefaultLin[row]; }

void ApplyDefaultFields(TZVDataClass& data) {
    for (int t = 0; t < 16; ++t) {
        data.Map[static_cast<std::size_t>(t)] = DefaultMapRow(t);
        data.AfrMap[static_cast<std::size_t>(t)] = DefaultAfrRow(t);
    }
    for (int i = 0; i < kParameterCount; ++i) data.Detail[static_cast<std::size_t>(i)] = Parameter(i).Default;
    for (int row = 0; row < kLinRowCount; ++row) data.Lin[static_cast<std::size_t>(row)] = DefaultLinRow(row);
}

}  // namespace zv
