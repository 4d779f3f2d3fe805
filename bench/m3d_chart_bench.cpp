// Repaint time of the fuel map chart at 1920 x 1080 with the operating point moving, offscreen;
// prints one JSON object. Ten live records a second leave 100 ms per record for everything.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

#include "data/default_data.h"
#include "editors/map_form.h"
#include "widgets/m3d_chart.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zv::TZVDataClass data;
    zv::ApplyDefaultFields(data);
    data.FieldsToImage();
    data.DeviceData.Image = data.FileData.Image;

    zv::TMapChartState state;
    state.Map = data.DeviceData.Image.data() + zv::img::FuelMap;
    state.ThrottleSites = zv::DisplayedSites(zv::SitesAt(data.DeviceData.Image, zv::img::TpsSites));
    state.RpmSites = zv::DisplayedSites(zv::SitesAt(data.DeviceData.Image, zv::img::RpmSites));
    for (std::size_t i = 0; i < 16; ++i) {
        state.ThrottleLabels[i] = zv::SiteLabel(state.ThrottleSites[i], zv::kThrottleScaleMax);
        state.RpmLabels[i] = zv::SiteLabel(state.RpmSites[i], zv::kRpmScaleMax);
    }
    state.RpmUnit = "[Rpm]";
    state.CursorVisible = true;
    state.CursorT = 7;
    state.CursorR = 9;
    state.MarkerVisible = true;

    zv::gui::TM3DChart1 chart;
    chart.resize(1920, 1080);
    QImage frame(chart.size(), QImage::Format_ARGB32_Premultiplied);
    const auto map = std::span<const std::uint8_t, 256>(state.Map, 256);
    constexpr int kFrames = 300;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kFrames; ++i) {
        // The operating point runs up and down both axes, as a drive does.
        const auto tps = static_cast<std::uint8_t>(127 + 120 * std::sin(i * 0.05));
        const auto rpm = static_cast<std::uint8_t>(127 + 120 * std::cos(i * 0.037));
        state.MarkerT = zv::AxisPosition(state.ThrottleSites, tps);
        state.MarkerR = zv::AxisPosition(state.RpmSites, rpm);
        state.MarkerHeight = zv::MarkerHeight(map, state.ThrottleSites, state.RpmSites, tps, rpm);
        chart.SetState(state);
        QPainter painter(&frame);
        chart.render(&painter);
    }
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kFrames;
    // A cell edit or cursor move repaints the whole mesh.
    clock.restart();
    for (int i = 0; i < kFrames / 10; ++i) {
        state.CursorR = i % 16;
        chart.SetState(state);
        QPainter painter(&frame);
        chart.render(&painter);
    }
    const double fullMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 / (kFrames / 10);
    std::printf(
        "{\"bench\": \"m3d_chart_repaint\", \"width\": 1920, \"height\": 1080, "
        "\"frames\": %d, \"ms_per_frame\": %.3f, \"ms_per_full_repaint\": %.3f, "
        "\"budget_ms\": 10}\n",
        kFrames, ms, fullMs);
    return 0;
}
