// Repaint time of the fuel map chart at 1920 x 1080, offscreen, for a moving operating point, a
// cursor move, a cell edit and a whole new map; prints one JSON object. Ten live records a
// second leave 100 ms per record for everything; a repaint should stay under 10 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "data/default_data.h"
#include "editors/map_form.h"
#include "widgets/m3d_chart.h"

namespace {

// Wall-clock time depends on what else the machine runs; the processor time of this process
// shows the chart's own cost.
struct TTime {
    double WallMs = 0, CpuMs = 0;
    std::string Json() const {
        char text[80];
        std::snprintf(text, sizeof text, "{\"wall\": %.3f, \"cpu\": %.3f}", WallMs, CpuMs);
        return text;
    }
};

template <typename Step>
TTime Measure(int frames, Step step) {
    QElapsedTimer clock;
    const std::clock_t cpu = std::clock();
    clock.start();
    for (int i = 0; i < frames; ++i)
        step(i);
    const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double used = static_cast<double>(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    return {wall / frames, used / frames};
}

}  // namespace

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
    auto paint = [&] {
        chart.SetState(state);
        QPainter painter(&frame);
        chart.render(&painter);
    };
    paint();

    // The operating point runs up and down both axes, as a drive does.
    const TTime live = Measure(300, [&](int i) {
        const auto tps = static_cast<std::uint8_t>(127 + 120 * std::sin(i * 0.05));
        const auto rpm = static_cast<std::uint8_t>(127 + 120 * std::cos(i * 0.037));
        state.MarkerT = zv::AxisPosition(state.ThrottleSites, tps);
        state.MarkerR = zv::AxisPosition(state.RpmSites, rpm);
        state.MarkerHeight = zv::MarkerHeight(map, state.ThrottleSites, state.RpmSites, tps, rpm);
        paint();
    });
    const TTime cursor = Measure(100, [&](int i) {
        state.CursorR = i % 16;
        paint();
    });
    // + and - on the cell under the cursor, the cursor walking over the map.
    const TTime edit = Measure(100, [&](int i) {
        state.CursorT = (i / 2) % 16;
        std::uint8_t& cell =
            data.DeviceData
                .Image[zv::img::FuelMap + 16 * (15 - state.CursorT) + (15 - state.CursorR)];
        cell = static_cast<std::uint8_t>(i % 2 ? cell - 1 : cell + 1);
        paint();
    });
    // Another map in view (a data set opened or read): every cell changes.
    const TTime whole = Measure(30, [&](int i) {
        for (std::size_t k = 0; k < 256; ++k) {
            std::uint8_t& cell = data.DeviceData.Image[zv::img::FuelMap + k];
            cell = static_cast<std::uint8_t>(i % 2 ? cell - 7 : cell + 7);
        }
        paint();
    });
    std::printf(
        "{\"bench\": \"m3d_chart_repaint\", \"width\": 1920, \"height\": 1080, "
        "\"budget_ms\": 10, \"ms_per_frame\": {\"live_record\": %s, \"cursor_move\": %s, "
        "\"cell_edit\": %s, \"whole_map\": %s}}\n",
        live.Json().c_str(), cursor.Json().c_str(), edit.Json().c_str(), whole.Json().c_str());
    return 0;
}
