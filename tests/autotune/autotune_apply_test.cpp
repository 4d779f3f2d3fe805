#include <gtest/gtest.h>

#include "app/main_model.h"
#include "autotune/autotune_apply.h"
#include "scripted_dialogs.h"
#include "tune_fixture.h"

namespace zv {
namespace {

using test::AddRun;
using test::kRpmB;
using test::kSiteA;
using test::kSiteB;

// Lean at the 4000 rpm / 40 % cell (ratio 1.1), rich at 4000 rpm / 20 % (0.95); neighbours,
// so without the smoothing that would hold their corrections alike for a first pass.
TTuneResult TwoCells(const TZVDataClass& data) {
    TTuneLog log;
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 16.17);
    AddRun(log, 30, 10.0, kRpmB, kSiteA, 13.965);
    TTuneSettings settings = test::HandSettings();
    settings.Smoothing = 0.0;
    return RunAutotune(data, log, settings);
}

TEST(AutotuneApply, ChangedCellsGoInAsOneStep) {
    TZVDataClass data = test::TuneData();
    data.DeviceData.Firmware = 30;
    const TTuneResult result = TwoCells(data);
    auto changes = AutotuneChanges(result);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].T, 2);
    EXPECT_EQ(changes[0].New, 95);
    EXPECT_EQ(changes[1].T, 3);
    EXPECT_EQ(changes[1].New, 110);
    EXPECT_EQ(AutotuneChanges(result, TCellRect{3, 15, 0, 15}).size(), 1u);

    TEditHistory history;
    std::vector<TImageWrite> writes;
    const TImageWriter write = [&](const TImageWrite& where, std::span<const std::uint8_t> bytes) {
        writes.push_back(where);
        const auto target = std::span(data.DeviceData.Image).subspan(where.Offset, bytes.size());
        const std::vector<std::uint8_t> old(target.begin(), target.end());
        std::copy(bytes.begin(), bytes.end(), target.begin());
        history.Record(where, old, bytes, data.DeviceData.Firmware);
        return true;
    };
    // The operator changed the 20 % cell since the run: it keeps the operator's value.
    data.DeviceData.Image[FuelMapOffset(2, 3)] = 97;
    EXPECT_EQ(ApplyAutotune(history, write, data.DeviceData, changes), 1);
    EXPECT_EQ(data.DeviceData.Image[FuelMapOffset(3, 3)], 110);
    EXPECT_EQ(data.DeviceData.Image[FuelMapOffset(2, 3)], 97);
    ASSERT_EQ(writes.size(), 1u);
    // Firmware 9 and later keep the map from unit address 0x100.
    EXPECT_EQ(writes[0].Address, 0x100 + 16 * 12 + 12);
    EXPECT_EQ(history.UndoCaption(Language::English), "Undo: Autotune 1 cell");
}

TEST(AutotuneApply, ReportNamesEachChangedCellAndTheFilters) {
    const TZVDataClass data = test::TuneData();
    TTuneLog log;
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 17.64);
    log.Samples[5].Afr = 0.0;
    const TTuneResult result = RunAutotune(data, log, test::HandSettings());
    const auto lines = AutotuneReport(result, data.DeviceData, Language::English);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "4000 rpm / 40 %: 100 -> 110 (+10.0 %, capped), 27 samples, confidence medium");
    EXPECT_EQ(lines[1], "30 samples, 27 used");
    EXPECT_EQ(lines[2], "rejected, no reading: 1");
    EXPECT_EQ(lines[3], "rejected, near a bad reading: 1");
    EXPECT_EQ(lines[4], "rejected, no earlier operating point: 1");
    EXPECT_EQ(lines.back(), "cells, no samples: 255");
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

TEST(AutotuneApply, TheModelTakesTheProposalAsOneUndoStep) {
    test::ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.Data().DeviceData = test::TuneData().DeviceData;
    model.Data().DeviceData.Firmware = 30;
    const TTuneResult result = TwoCells(model.Data());
    EXPECT_EQ(model.ApplyAutotune(result), 2);
    const ImageBytes& image = model.Data().DeviceData.Image;
    EXPECT_EQ(image[FuelMapOffset(3, 3)], 110);
    EXPECT_EQ(image[FuelMapOffset(2, 3)], 95);
    EXPECT_EQ(model.Data().Map[3][3], 110) << "the edit fields follow";
    EXPECT_TRUE(model.Modified());
    EXPECT_EQ(model.Data().DeviceData.ChangedOffline, 1);
    EXPECT_EQ(model.History().UndoCaption(Language::German), "Rückgängig: Autotune 2 Zellen");
    ASSERT_TRUE(model.Undo());
    EXPECT_EQ(image[FuelMapOffset(3, 3)], 100);
    EXPECT_EQ(image[FuelMapOffset(2, 3)], 100);
    EXPECT_FALSE(model.History().CanUndo());
}

}  // namespace
}  // namespace zv
