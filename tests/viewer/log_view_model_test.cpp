// The viewer's model on logs typed by hand: the visible span, the cursor, the channels, the AFR
// target at the operating point and the hit counts over the map's sites.
#include <gtest/gtest.h>

#include "logview/log_operating_point.h"
#include "logview/log_view_model.h"
#include "viewer_log.h"

namespace zv::test {
namespace {

void ExpectView(const TLogViewModel& m, double start, double end) {
    EXPECT_NEAR(m.ViewStart(), start, 1e-9);
    EXPECT_NEAR(m.ViewEnd(), end, 1e-9);
}

TEST(LogViewModel, ZoomAndPanStayWithinTheLogAndTwoSeconds) {
    TLogViewModel m(MinuteLog());
    ExpectView(m, 0.0, 60.0);
    m.Zoom(30.0, 2.0);
    ExpectView(m, 15.0, 45.0);
    m.Zoom(30.0, 1000.0);  // no closer than two seconds, the point keeps its place
    ExpectView(m, 29.0, 31.0);
    m.Zoom(30.0, 0.001);  // no farther than the whole log
    ExpectView(m, 0.0, 60.0);
    m.Zoom(60.0, 10.0);  // about the last line: the span ends with the log
    ExpectView(m, 54.0, 60.0);
    m.Zoom(0.0, 1.0);
    m.Pan(1000.0);
    ExpectView(m, 54.0, 60.0);
    m.Pan(-2.5);
    ExpectView(m, 51.5, 57.5);
    m.Pan(-1000.0);
    ExpectView(m, 0.0, 6.0);
    m.ShowAll();
    m.Pan(5.0);  // the whole log in view leaves nothing to pan
    ExpectView(m, 0.0, 60.0);
}

TEST(LogViewModel, CursorTakesTheLineAtOrBeforeItsTime) {
    TLogViewModel m(MinuteLog());
    EXPECT_EQ(m.LineAt(1.0), 2u);  // at a line
    EXPECT_EQ(m.LineAt(1.2), 2u);  // between lines
    EXPECT_EQ(m.LineAt(1.4999), 2u);
    EXPECT_EQ(m.LineAt(-0.1), std::nullopt);  // before the first
    EXPECT_EQ(m.LineAt(0.0), 0u);
    EXPECT_EQ(m.LineAt(60.0), 120u);
    EXPECT_EQ(m.LineAt(75.0), 120u);  // after the last
    m.SetCursorTime(10.3);
    EXPECT_EQ(m.CursorLine(), 20u);
    const std::size_t lmVal = *m.Data().FindColumn("LMVal");
    EXPECT_EQ(m.Value(lmVal, m.CursorLine()), 120.0);
    m.SetCursorTime(-5.0);
    EXPECT_EQ(m.CursorLine(), 0u);
}

TEST(LogViewModel, KeysMoveTheCursorZoomAndPan) {
    TLogViewModel m(MinuteLog());
    m.HandleKey(TLogKey::Left, false);
    EXPECT_EQ(m.CursorLine(), 0u);
    m.HandleKey(TLogKey::Right, false);
    EXPECT_EQ(m.CursorLine(), 1u);
    m.HandleKey(TLogKey::Right, true);
    EXPECT_EQ(m.CursorLine(), 11u);
    m.HandleKey(TLogKey::Left, true);
    EXPECT_EQ(m.CursorLine(), 1u);
    m.HandleKey(TLogKey::Left, true);
    EXPECT_EQ(m.CursorLine(), 0u);
    m.SetCursorLine(20);  // 10 s
    m.HandleKey(TLogKey::ZoomIn, false);
    ExpectView(m, 5.0, 35.0);
    m.HandleKey(TLogKey::ZoomOut, false);
    ExpectView(m, 0.0, 60.0);
    m.Zoom(0.0, 10.0);
    ExpectView(m, 0.0, 6.0);
    m.HandleKey(TLogKey::PageDown, false);
    ExpectView(m, 6.0, 12.0);
    m.HandleKey(TLogKey::PageUp, false);
    m.HandleKey(TLogKey::PageUp, false);
    ExpectView(m, 0.0, 6.0);
    m.HandleKey(TLogKey::End, false);  // the view follows the cursor
    EXPECT_EQ(m.CursorLine(), 120u);
    ExpectView(m, 54.0, 60.0);
    m.HandleKey(TLogKey::Right, true);
    EXPECT_EQ(m.CursorLine(), 120u);
    m.HandleKey(TLogKey::Home, false);
    EXPECT_EQ(m.CursorLine(), 0u);
    ExpectView(m, 0.0, 6.0);
}

TEST(LogViewModel, DefaultChannelsAndTheirAxes) {
    TLogViewModel m(MinuteLog());
    std::vector<std::string> names;
    for (std::size_t c : m.Shown())
        names.push_back(m.Channels()[c].Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Engine Rpm", "TPS[%]", "LMOut", "InF_AFR",
                                               "AFR target", "CompF_AFR", "IdleContact",
                                               "WOTContact"}));
    const auto axis = [&](const std::string& name) {
        for (const TLogChannel& c : m.Channels()) {
            if (c.Name == name)
                return std::tuple(c.Low, c.High, c.Unit);
        }
        return std::tuple(-1.0, -1.0, std::string("missing"));
    };
    EXPECT_EQ(axis("Engine Rpm"), std::tuple(0.0, 10000.0, std::string("rpm")));
    EXPECT_EQ(axis("TPS[%]"), std::tuple(0.0, 100.0, std::string("%")));
    EXPECT_EQ(axis("InF_AFR"), std::tuple(10.0, 20.0, std::string("AFR")));
    EXPECT_EQ(axis("AFR target"), std::tuple(10.0, 20.0, std::string("AFR")));
    EXPECT_EQ(axis("LMVal"), std::tuple(100.0, 220.0, std::string()));  // its own span
    EXPECT_EQ(axis("LMOut"), std::tuple(128.0, 129.0, std::string()));  // flat: one step
    EXPECT_EQ(axis("WOTContact"), std::tuple(0.0, 1.0, std::string()));

    const std::size_t lmVal = *m.Data().FindColumn("LMVal");
    const std::size_t afr = *m.Data().FindColumn("InF_AFR");
    m.SetShown(lmVal, true);
    m.SetShown(afr, false);
    m.SetShown(afr, true);  // in the log's order, the target after the AFR
    names.clear();
    for (std::size_t c : m.Shown())
        names.push_back(m.Channels()[c].Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Engine Rpm", "TPS[%]", "InF_AFR", "AFR target",
                                               "CompF_AFR", "LMVal", "LMOut", "IdleContact",
                                               "WOTContact"}));
}

TEST(LogViewModel, ALogWithoutWidebandHasNoAfrChannels) {
    const std::string columns = "LoopCnt\tEngine Rpm\tTPS[%]\tLMOut\tIdleContact\tWOTContact\t";
    TLogViewModel m(ParsedLog(LogText(columns, {"0000100\t001\t2000\t45.0\t128\t1\t0\t"})));
    EXPECT_FALSE(m.HasWideband());
    EXPECT_FALSE(m.HitCounts().HasAfr);
    EXPECT_EQ(m.Shown().size(), 5u);
    for (const TLogChannel& c : m.Channels())
        EXPECT_FALSE(c.Target) << c.Name;
    EXPECT_EQ(m.HitCounts().Value(0, 0, TLogHitMeasure::AfrError), std::nullopt);
}

TEST(LogViewModel, NotesInTheVisibleSpan) {
    std::vector<std::string> lines;
    for (int i = 0; i <= 20; ++i) {
        lines.push_back(WidebandLine(i * 1000, "2000", "45.0", "14.7", "0"));
        if (i == 3 || i == 15)
            lines.push_back("; Mark " + std::to_string(i == 3 ? 1 : 2));
    }
    TLogViewModel m(ParsedLog(LogText(kWidebandColumns, lines)));
    ASSERT_EQ(m.Data().Notes.size(), 2u);
    EXPECT_EQ(m.VisibleNotes().size(), 2u);
    m.Zoom(0.0, 4.0);  // 0..5 s
    ASSERT_EQ(m.VisibleNotes().size(), 1u);
    EXPECT_DOUBLE_EQ(m.VisibleNotes()[0]->Time, 3.0);
    m.Pan(5.0);  // 5..10 s
    EXPECT_TRUE(m.VisibleNotes().empty());
}

TEST(OperatingPoint, LoggedValuesGiveTheUnitsBytesBack) {
    EXPECT_EQ(RpmRaw(0), 0);
    EXPECT_EQ(RpmRaw(2000), 51);
    EXPECT_EQ(RpmRaw(2039), 52);
    EXPECT_EQ(RpmRaw(5019), 128);
    EXPECT_EQ(RpmRaw(10000), 255);
    EXPECT_EQ(ThrottleRaw(0.0), 0);
    EXPECT_EQ(ThrottleRaw(0.3), 1);
    EXPECT_EQ(ThrottleRaw(12.5), 32);
    EXPECT_EQ(ThrottleRaw(45.0), 115);
    EXPECT_EQ(ThrottleRaw(99.6), 254);
    EXPECT_EQ(ThrottleRaw(100.0), 255);
}

TEST(OperatingPoint, TargetBetweenSitesAsTheUnitInterpolates) {
    TZVDataClass data;
    SetEvenSites(data);
    AfrCell(data, 2, 3) = 40;  // 14.5
    AfrCell(data, 2, 4) = 50;  // 15.5
    AfrCell(data, 3, 3) = 60;  // 16.5
    AfrCell(data, 3, 4) = 20;  // 12.5
    const TOperatingMaps maps = TOperatingMaps::Of(data);
    // Throttle 40 halfway between sites 32 and 48, rpm 52 a quarter from 48 to 64: row 2 gives
    // 40 + 10/4 = 42 (cut), row 3 gives 60 - 40/4 = 50, halfway 46: AFR 15.1.
    ASSERT_TRUE(maps.AfrTarget(40, 52));
    EXPECT_NEAR(*maps.AfrTarget(40, 52), 15.1, 1e-9);
    EXPECT_NEAR(*maps.AfrTarget(32, 48), 14.5, 1e-9);  // on a site: that cell
    EXPECT_NEAR(*maps.AfrTarget(255, 255), 14.5, 1e-9);
    AfrCell(data, 3, 4) = 128;  // NC: no target where the cell takes part
    const TOperatingMaps nc = TOperatingMaps::Of(data);
    EXPECT_EQ(nc.AfrTarget(40, 52), std::nullopt);
    EXPECT_NEAR(*nc.AfrTarget(32, 48), 14.5, 1e-9);
}

TEST(LogViewModel, HitCountsOverTheMapsSites) {
    TZVDataClass data;
    SetEvenSites(data);
    AfrCell(data, 0, 0) = 0x80;
    TLogViewModel m(ParsedLog(LogText(kWidebandColumns,
                                      {
                                          WidebandLine(0, "2039", "14.9", "15.5", "10"),
                                          WidebandLine(100, "2000", "12.5", "14.0", "-4"),
                                          WidebandLine(200, "5019", "100.0", "30.0", "0"),
                                          WidebandLine(300, "0000", "0.0", "14.5", "2"),
                                      })));
    m.SetDataSet(data);
    const TLogHitCounts& h = m.HitCounts();
    EXPECT_TRUE(h.HasAfr);
    // Throttle 38 and 32 lie nearest site 2 (32), rpm 52 and 51 nearest site 3 (48).
    EXPECT_EQ(h.Cells[2][3].Count, 2);
    EXPECT_NEAR(h.Value(2, 3, TLogHitMeasure::AfrError).value(), (1.0 - 0.5) / 2, 1e-6);
    EXPECT_NEAR(h.Value(2, 3, TLogHitMeasure::Correction).value(), 3.0, 1e-9);
    // AFR 30 is no reading of the sensor: counted, without an AFR error.
    EXPECT_EQ(h.Cells[15][8].Count, 1);
    EXPECT_EQ(h.Cells[15][8].AfrError, std::nullopt);
    EXPECT_NEAR(h.Cells[15][8].Correction.value(), 0.0, 1e-9);
    // The NC cell has no target.
    EXPECT_EQ(h.Cells[0][0].Count, 1);
    EXPECT_EQ(h.Cells[0][0].AfrError, std::nullopt);
    EXPECT_NEAR(h.Cells[0][0].Correction.value(), 2.0, 1e-9);
    int total = 0;
    for (const auto& row : h.Cells) {
        for (const TLogHitCell& cell : row)
            total += cell.Count;
    }
    EXPECT_EQ(total, 4);
    EXPECT_EQ(h.Value(7, 7, TLogHitMeasure::Count), 0.0);
    EXPECT_EQ(h.Value(7, 7, TLogHitMeasure::Correction), std::nullopt);
    // The target channel follows the data set.
    const std::size_t target = m.Channels().size() - 1;
    EXPECT_NEAR(m.Value(target, 0).value(), 14.5, 1e-9);
    EXPECT_EQ(m.Value(target, 3), std::nullopt);

    // Without a data set there are no sites to count over and no targets.
    EXPECT_TRUE(m.HasDataSet());
    m.SetDataSet(TZVDataClass{});
    EXPECT_FALSE(m.HasDataSet());
    EXPECT_EQ(m.HitCounts().Cells[2][3].Count, 0);
    EXPECT_EQ(m.Value(target, 0), std::nullopt);
}

}  // namespace
}  // namespace zv::test
