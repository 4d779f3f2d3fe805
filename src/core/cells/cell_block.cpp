#include "cells/cell_block.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "config/key_control.h"
#include "history/step_names.h"
#include "link/transfer_table.h"
#include "pages/page_host.h"
#include "text/point_format.h"

namespace zv {

namespace {

constexpr int kFuelMax = 255;
constexpr int kAfrMax = 63;
constexpr int kAfrNC = 128;
constexpr int kAfrZero = 105;  // a target cell holds AFR x 10 - 105
constexpr int kMaxPercent = 400;

bool IsAfrNC(int cell) {
    return (cell & 0x80) != 0;
}

struct TMenuEntry {
    TBlockOp Op;
    TextPair Text;
    std::uint8_t Key;  // a letter's virtual-key code is its capital
    TextPair Done;     // how the step's name says it (a number's entry: the number)
};

constexpr std::array<TMenuEntry, 7> kMenu = {{
    {TBlockOp::Set, {"Auf Wert setzen...", "Set to value..."}, 'S', {"", ""}},
    {TBlockOp::Add, {"Wert addieren...", "Add a value..."}, 'D', {"", ""}},
    {TBlockOp::Multiply,
     {"Mit Prozentsatz multiplizieren...", "Multiply by a percentage..."},
     'M',
     {"", ""}},
    {TBlockOp::InterpolateAcross,
     {"Waagrecht interpolieren", "Interpolate horizontally"},
     'H',
     {"waagrecht interpoliert", "interpolated horizontally"}},
    {TBlockOp::InterpolateUp,
     {"Senkrecht interpolieren", "Interpolate vertically"},
     'V',
     {"senkrecht interpoliert", "interpolated vertically"}},
    {TBlockOp::InterpolateCorners,
     {"Aus den Ecken interpolieren", "Interpolate from the corners"},
     'B',
     {"aus den Ecken interpoliert", "interpolated from the corners"}},
    {TBlockOp::Smooth, {"Glätten", "Smooth"}, 'G', {"geglättet", "smoothed"}},
}};

const TMenuEntry& EntryOf(TBlockOp op) {
    return *std::find_if(kMenu.begin(), kMenu.end(),
                         [op](const TMenuEntry& e) { return e.Op == op; });
}

bool NeedsValue(TBlockOp op) {
    return op == TBlockOp::Set || op == TBlockOp::Add || op == TBlockOp::Multiply;
}

}  // namespace

int AfrCellStepped(int old, int step) {
    const int value = std::max(old + step, 0);
    if (step > 0 && value > kAfrMax)
        return kAfrNC;
    if (step < 0 && value > kAfrMax && value < kAfrNC)
        return kAfrMax;
    return value;
}

std::vector<TBlockMenuItem> BlockMenu(Language lang) {
    std::vector<TBlockMenuItem> items;
    for (const TMenuEntry& e : kMenu)
        items.push_back({e.Op, e.Text.Pick(lang), std::string(1, static_cast<char>(e.Key))});
    return items;
}

std::optional<TBlockOp> BlockOpOfKey(std::uint8_t key) {
    for (const TMenuEntry& e : kMenu)
        if (e.Key == key)
            return e.Op;
    return std::nullopt;
}

bool BlockMenuGroupStart(TBlockOp op) {
    return op == TBlockOp::InterpolateAcross || op == TBlockOp::Smooth;
}

// The AFR map's NC cells read as 128 whatever bits the file left with bit 7, as the keys see
// them, so that an NC cell the operation leaves alone is never written.
TCellValues TCellBlock::ReadCells() const {
    const ImageBytes& image = host_.Data().DeviceData.Image;
    const std::size_t base = kind_ == TCellMapKind::Fuel ? img::FuelMap : img::AfrMap;
    TCellValues cells{};
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            const int stored = image[base + FuelMapOffset(t, r) - img::FuelMap];
            cells[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] =
                kind_ == TCellMapKind::Afr && IsAfrNC(stored) ? kAfrNC : stored;
        }
    }
    return cells;
}

bool TCellBlock::WriteCells(const TCellValues& before, const TCellValues& after,
                            const std::string& detailDe, const std::string& detailEn) {
    const TCellRect block = Rect();
    const std::string count = std::to_string(block.Count());
    const TextPair& map = kind_ == TCellMapKind::Fuel ? stepname::FuelMap : stepname::AfrMap;
    // One cell names its place as a single step does: "fuel map cell 5/7 = 77".
    const TStepName name =
        block.Count() == 1
            ? MapCellStep(map, block.TLow, block.RLow, detailEn)
            : TStepName{std::string(map.German) + " " + count + " Zellen " + detailDe,
                        std::string(map.English) + " " + count + " cells " + detailEn};
    TEditStep step(host_.History(), name);
    const bool fuel = kind_ == TCellMapKind::Fuel;
    const std::size_t base = fuel ? img::FuelMap : img::AfrMap;
    const std::uint16_t address = fuel ? FuelMapAddress(host_.Data().DeviceData.Firmware)
                                       : static_cast<std::uint16_t>(img::AfrMap - kAfrAreaStart);
    bool changed = false;
    for (int t = block.TLow; t <= block.THigh; ++t) {
        for (int r = block.RLow; r <= block.RHigh; ++r) {
            const int value = after[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            if (value == before[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)])
                continue;
            const std::size_t inMap = FuelMapOffset(t, r) - img::FuelMap;
            TImageWrite write;
            write.Offset = base + inMap;
            write.Area = fuel ? 2 : 1;
            write.Address = static_cast<std::uint16_t>(address + inMap);
            const std::array<std::uint8_t, 1> bytes = {static_cast<std::uint8_t>(value)};
            changed = host_.WriteImage(write, bytes) || changed;
        }
    }
    return changed;
}

bool TCellBlock::StepCells(int step) {
    const TCellValues before = ReadCells();
    TCellValues after = before;
    const TCellRect block = Rect();
    for (int t = block.TLow; t <= block.THigh; ++t) {
        for (int r = block.RLow; r <= block.RHigh; ++r) {
            int& v = after[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            v = Clamped(v, v + step);
        }
    }
    const std::string change = (step > 0 ? "+" : "") + std::to_string(step);
    return WriteCells(before, after, change, change);
}

// A block keeps each AFR cell what it is: a target stays a target within 10.5 .. 16.8 and NC
// stays NC. Only a single cell's step switches a target off or on, where the operator sees the
// one cell that changes; in a block that rule would switch closed-loop control on in every NC
// cell (full load included) with one key.
int TCellBlock::Clamped(int before, int value) const {
    if (kind_ == TCellMapKind::Fuel)
        return std::clamp(value, 0, kFuelMax);
    return before == kAfrNC ? kAfrNC : std::clamp(value, 0, kAfrMax);
}

TValuePrompt TCellBlock::Prompt(TBlockOp op, int cursorValue) const {
    const Language lang = host_.CurrentLanguage();
    const bool g = lang == Language::German;
    const bool afr = kind_ == TCellMapKind::Afr;
    TValuePrompt p;
    p.OkButton = "OK";
    p.CancelButton = g ? "Abbrechen" : "Cancel";
    p.Decimals = afr ? 1 : 0;
    switch (op) {
        case TBlockOp::Set:
            p.Caption = g ? "Zellen setzen" : "Set cells";
            p.Label = afr ? (g ? "Neuer AFR-Zielwert:" : "New target AFR:")
                          : (g ? "Neuer Wert:" : "New value:");
            p.Min = afr ? (kAfrZero) / 10.0 : 0.0;
            p.Max = afr ? (kAfrZero + kAfrMax) / 10.0 : kFuelMax;
            p.Initial = afr ? (cursorValue == kAfrNC ? 14.7 : (cursorValue + kAfrZero) / 10.0)
                            : cursorValue;
            break;
        case TBlockOp::Add:
            p.Caption = g ? "Zu den Zellen addieren" : "Add to cells";
            p.Label =
                afr ? (g ? "AFR-Änderung (negativ: fetter):" : "AFR change (negative: richer):")
                    : (g ? "Änderung (negativ: weniger):" : "Change (negative: less):");
            p.Max = afr ? kAfrMax / 10.0 : kFuelMax;
            p.Min = -p.Max;
            break;
        default:
            p.Caption = g ? "Zellen multiplizieren" : "Multiply cells";
            p.Label = afr ? (g ? "Prozent des AFR-Zielwerts:" : "Percent of the target AFR:")
                          : (g ? "Prozent des Werts:" : "Percent of the value:");
            p.Max = kMaxPercent;
            p.Initial = 100.0;
            p.Decimals = 1;
            break;
    }
    return p;
}

TBlockInput TCellBlock::InputOf(TBlockOp op, double entered) const {
    const bool afr = kind_ == TCellMapKind::Afr;
    TBlockInput input;
    input.Op = op;
    if (op == TBlockOp::Multiply) {
        input.Value = static_cast<int>(std::lround(entered * 10.0));
        input.Zero = afr ? kAfrZero : 0;
    } else if (afr) {
        input.Value =
            static_cast<int>(std::lround(entered * 10.0)) - (op == TBlockOp::Set ? kAfrZero : 0);
    } else {
        input.Value = static_cast<int>(std::lround(entered));
    }
    return input;
}

// The number as the operator typed it: "= 14.7", "+5", "× 110 %".
std::string TCellBlock::ValueText(TBlockOp op, const TBlockInput& input) const {
    const bool afr = kind_ == TCellMapKind::Afr;
    const int shown = op == TBlockOp::Set && afr ? input.Value + kAfrZero : input.Value;
    std::string number =
        afr || op == TBlockOp::Multiply ? FormatFixed(shown / 10.0, 1, 1) : std::to_string(shown);
    if (op == TBlockOp::Multiply)
        return "× " + number + " %";
    if (op == TBlockOp::Add)
        return (input.Value >= 0 ? "+" : "") + number;
    return "= " + number;
}

bool TCellBlock::Command(TBlockOp op, const TAxisSites& throttle, const TAxisSites& rpm) {
    const TCellValues before = ReadCells();
    TBlockInput input{op, 0, 0};
    const TMenuEntry& entry = EntryOf(op);
    std::string de = entry.Done.German;
    std::string en = entry.Done.English;
    if (NeedsValue(op)) {
        const int cursor = before[static_cast<std::size_t>(selection_.CursorT())]
                                 [static_cast<std::size_t>(selection_.CursorR())];
        const std::optional<double> entered =
            AskValue ? AskValue(Prompt(op, cursor)) : std::nullopt;
        if (!entered)
            return false;
        input = InputOf(op, *entered);
        de = en = ValueText(op, input);
    }
    TCellValues after = BlockResult(before, Rect(), input, throttle, rpm, [this](int v) {
        return kind_ == TCellMapKind::Afr && v == kAfrNC;
    });
    for (int t = 0; t < 16; ++t)
        for (int r = 0; r < 16; ++r) {
            int& v = after[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            v = Clamped(before[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)], v);
        }
    return WriteCells(before, after, de, en);
}

}  // namespace zv
