// Which controls of the main window each link state and the working data set allow.
#include "data/flag_bits.h"
#include "online/online_mode.h"

namespace zv {

namespace {

constexpr int kPanelStep = 47;

}  // namespace

bool TOnlineMode::WideBandKeyAllowed() const {
    const int fw = main_.Data().DeviceData.Firmware;
    return fw == 35 || fw >= 38;
}

void TOnlineMode::ApplyFlagButtons() {
    const std::uint16_t flags = main_.Data().DeviceData.FlagsWord();
    controls_.F9.Down = TZVDataClass::TestFlag(flags, flag::IdleControl);
    controls_.F10.Down = TZVDataClass::TestFlag(flags, flag::NarrowBandLambdaControl);
    controls_.F11.Down = WideBandKeyAllowed() && TZVDataClass::TestFlag(flags, flag::WBO2Control);
}

void TOnlineMode::UpdateLinkControls() {
    const TZVDataClass& data = main_.Data();
    TMainControls& c = controls_;
    const bool deviceValid = data.DeviceData.DeviceValid != 0;
    const bool loaded = data.Loaded != 0;
    c.SaveAsEnabled = deviceValid || loaded;
    c.SitesButtonVisible = data.DeviceData.Firmware >= 9;

    auto transfersOff = [&c] {
        c.F7.Enabled = false;
        c.F8.Enabled = false;
        c.TransferButtonsEnabled = false;
        c.ShiftLampDefaultEnabled = false;
    };
    auto loggerOff = [&c] {
        c.Logger.Enabled = false;
        c.LoggerMenuEnabled = false;
        c.LoggerMenuChecked = false;
    };
    auto liveCursorsOff = [&c] {
        c.MapLiveCursor = false;
        c.IdleChartsLiveCursor = false;
        c.CurveChartsLiveCursor = false;
    };
    auto displayReset = [this] { dashboard_.ResetDisplay(); };
    auto switchesOff = [&c] {
        for (TButtonState* b : {&c.F9, &c.F10, &c.F11}) {
            b->Enabled = false;
            b->Down = false;
        }
    };
    auto switchesOn = [&c, this] {
        c.F9.Enabled = true;
        c.F10.Enabled = true;
        c.F11.Enabled = WideBandKeyAllowed();
    };

    const std::uint8_t s = linkState_;
    if (s <= 4) {
        transfersOff();
        switchesOff();
        comGaugeTimer_->Start();
        liveCursorsOff();
        c.MapManualCursor = false;
        c.IdleChartsManualCursor = false;
        loggerOff();
        displayReset();
    } else if (s == 8 || (s >= 15 && s <= 21)) {
        comGaugeTimer_->Stop();
        displayReset();
    } else if (s <= 14) {
        transfersOff();
        comGaugeTimer_->Stop();
        liveCursorsOff();
        loggerOff();
        displayReset();
    } else if (s == link::RunOnline) {
        c.MapLiveCursor = true;
        c.MapManualCursor = true;
        c.IdleChartsLiveCursor = true;
        c.CurveChartsLiveCursor = true;
        transfersOff();
        switchesOn();
        comGaugeTimer_->Stop();
        c.Logger.Enabled = true;
        c.LoggerMenuEnabled = true;
    } else if (s == link::CancelOnline) {
        transfersOff();
        comGaugeTimer_->Stop();
        loggerOff();
        SetComGauge(0, 15);
        c.MapLiveCursor = false;
        c.MapManualCursor = true;
        c.IdleChartsLiveCursor = false;
        c.IdleChartsManualCursor = true;
        displayReset();
        ClearUnitPanels();
    } else if (s == link::Offline) {
        c.F7.Enabled = true;
        if (deviceValid || loaded) {
            c.F8.Enabled = true;
            c.TransferButtonsEnabled = true;
            c.ShiftLampDefaultEnabled = true;
            switchesOn();
            if (!deviceValid) ApplyFlagButtons();
        } else {
            c.F8.Enabled = false;
            c.TransferButtonsEnabled = false;
            c.ShiftLampDefaultEnabled = false;
            switchesOff();
        }
        comGaugeTimer_->Stop();
        c.F5.Down = false;
        c.ConnectMenuChecked = false;
        loggerOff();
        liveCursorsOff();
        SetComGauge(0, 15);
        displayReset();
        ClearUnitPanels();
        c.DataPanelVisible = false;
    } else if (s == link::Idle) {
        if (deviceValid) {
            switchesOn();
        } else if (loaded) {
            c.F7.Enabled = true;
            c.F8.Enabled = true;
            switchesOn();
            ApplyFlagButtons();
        } else {
            switchesOff();
        }
    }
}

void TOnlineMode::RefreshControls() {
    const TZVDataClass& data = main_.Data();
    TMainControls& c = controls_;
    const std::uint16_t flags = data.DeviceData.FlagsWord();
    const int fw = data.DeviceData.Firmware;
    auto bit = [flags](int n) { return TZVDataClass::TestFlag(flags, n); };

    c.LoggerPanelTop = 195;
    c.WideBandButtonTop = 195;
    c.F9.Enabled = bit(flag::IdleControl);
    c.F9.Down = bit(flag::IdleControl);

    bool narrowBand = false;
    bool wideBand = false;
    if (fw >= 27) {
        narrowBand = data.InputESelect == 1 || data.InputFSelect == 1;
        wideBand = data.InputESelect == 2 || data.InputFSelect == 2;
    } else if (fw >= 11) {
        // Input E is narrowband with bit 3 set and bit 9 clear, input F with bit 2 and bit 8.
        narrowBand = (bit(3) && !bit(9)) || (bit(2) && !bit(8));
    }
    c.F10.Visible = narrowBand;
    c.NarrowBandPanelVisible = narrowBand;
    c.F10.Enabled = narrowBand;
    c.F10.Down = narrowBand && bit(flag::NarrowBandLambdaControl);
    if (narrowBand) {
        c.LoggerPanelTop += kPanelStep;
        c.WideBandButtonTop += kPanelStep;
    }
    c.WideBandPanelVisible = wideBand;
    c.F11.Visible = wideBand && WideBandKeyAllowed();
    c.F11.Down = c.F11.Visible && bit(flag::WBO2Control);
    if (wideBand) c.LoggerPanelTop += kPanelStep;
    // Below firmware 32 the pin has no pulse function: a label left from a newer data set goes.
    c.IdleContactShows50Hz = fw >= 32 && bit(7);

    UpdateLinkControls();
}

}  // namespace zv
