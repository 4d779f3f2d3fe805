// How fast edits of many cells reach the unit while the live stream runs: the whole fuel map
// "+1", a 4 x 4 paste and the undo of each, from the key to the unit holding the last byte,
// against the verified wire time of the bytes each must move (its budget: 1.3 times that plus
// 200 ms). Runs the main model, the map page and the simulated unit on virtual time, so one run
// gives the same numbers every time; prints one JSON object.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "app/main_form_model.h"
#include "app/main_page_host.h"
#include "config/key_control.h"
#include "data/default_data.h"
#include "editors/map_form.h"
#include "line/sim_line.h"
#include "line/virtual_timer_service.h"
#include "online/online_mode.h"
#include "scripted_dialogs.h"
#include "unit/sim_unit.h"

namespace {

using namespace zv;

constexpr double kByteMs = 10.0 / 9.6;  // 10 bits at 9600 baud
// A checked row: sixteen checksummed writes of five bytes out and one back, then one block read
// (0x16, 0x06, four bytes of request, eighteen of reply).
constexpr double kRowWireMs = (16 * 6 + 24) * kByteMs;
constexpr int kFirmware = 30;

struct Rig {
    Rig() {
        sim::TSimUnitConfig config;
        config.Firmware = kFirmware;
        Unit = std::make_unique<sim::TSimUnit>(config);
        Adapter = std::make_unique<sim::UnitAdapter<sim::TSimUnit>>(*Unit);
        Line.AttachUnit(Adapter.get());
        Line.SetRecordTraffic(false);
        TZVDataClass defaults;
        defaults.DeviceData.Firmware = kFirmware;
        ApplyDefaultFields(defaults);
        defaults.FieldsToImage();
        Unit->LoadImage(defaults.FileData.Image);
        Online = &Main.ConnectLink(Clock, Line);
        Online->ComPortNo = 1;
        Online->StatusShown = [this](const std::string& text) { Status = text; };
        Online->StartUp();
        Clock.RunUntil([&] { return Status == "Run Online"; }, 30000);
        Clock.Advance(500);
        Form.SetPage(1, &Map);
        Form.NotebookPageChanged(1);
        Map.LoadFromImage();
        Map.ShowPage();
    }

    // Milliseconds from the operation to the last queued byte confirmed in the unit.
    double Measure(const std::function<void()>& operation) {
        Clock.Advance(1000);
        const std::uint64_t start = Clock.NowUs();
        operation();
        if (!Clock.RunUntil([&] { return Online->Link().QueuedWrites() == 0; }, 120000))
            return -1;
        return static_cast<double>(Clock.NowUs() - start) / 1000.0;
    }

    sim::VirtualTimerService Clock;
    sim::TSimLine Line{Clock, {1}};
    std::unique_ptr<sim::TSimUnit> Unit;
    std::unique_ptr<sim::UnitAdapter<sim::TSimUnit>> Adapter;
    test::ScriptedDialogs Dialogs;
    MemorySettingsStore Settings;
    TMainModel Main{Dialogs, Settings};
    TOnlineMode* Online = nullptr;
    TMainFormModel Form{Main, Settings};
    TKeyControl Keys{"KeyCtrl"};
    TMainPageHost Host{Main, Form, Keys};
    TMapForm Map{Host};
    std::string Status;
};

std::string Entry(const char* name, double ms, int rows) {
    const double wire = rows * kRowWireMs;
    char text[200];
    std::snprintf(text, sizeof text,
                  "\"%s\": {\"ms\": %.1f, \"wireMs\": %.1f, \"ratio\": %.3f, \"budgetMs\": %.1f}",
                  name, ms, wire, ms / wire, 1.3 * wire + 200);
    return text;
}

}  // namespace

int main() {
    Rig rig;
    rig.Map.CellDrag(0, 0, 15, 15);
    const double plus = rig.Measure([&] { rig.Map.HandleKey(187); });
    const double plusUndo = rig.Measure([&] { rig.Main.Undo(); });
    // A 4 x 4 block of other values at the cursor: four rows of four changed cells each.
    rig.Map.CellClick(10, 4);
    const std::string block = "7\t8\t9\t10\r\n11\t12\t13\t14\r\n15\t16\t17\t18\r\n19\t20\t21\t22\r\n";
    const double paste = rig.Measure([&] { rig.Form.EditPasteClick(block); });
    const double pasteUndo = rig.Measure([&] { rig.Main.Undo(); });
    std::printf("{%s, %s, %s, %s}\n", Entry("wholeMapPlusOne", plus, 16).c_str(),
                Entry("wholeMapUndo", plusUndo, 16).c_str(), Entry("paste4x4", paste, 4).c_str(),
                Entry("paste4x4Undo", pasteUndo, 4).c_str());
    return plus > 0 && plusUndo > 0 && paste > 0 && pasteUndo > 0 ? 0 : 1;
}
