#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "data/zv_data_class.h"
#include "sensors/wideband_mean.h"

namespace zv {

// Record bytes shared by the 18-, 24- and 28-byte layouts, and the bits of the status byte.
namespace rec {
constexpr std::size_t Status = 0;
constexpr std::size_t Rpm = 1;
constexpr std::size_t Tps = 2;
constexpr std::size_t Idle = 3;
constexpr std::size_t AnaInF = 5;
constexpr std::size_t AnaInE = 7;
constexpr std::size_t LMOut = 13;
constexpr std::size_t LambdaVal = 14;
constexpr std::size_t LambdaStatus = 15;
constexpr std::size_t TpsAccel = 17;
constexpr std::size_t WBO2Flags = 18;
constexpr std::size_t WBO2Value = 19;

constexpr int IdleContactBit = 6;
constexpr int FullContactBit = 7;
}  // namespace rec

// The bits of the wideband controller's flag byte (record byte 18).
namespace wbflag {
constexpr int SensorError = 0;
constexpr int OutputAtLimit = 1;  // the output at its upper limit
constexpr int RichLimit = 4;
constexpr int LeanLimit = 5;
constexpr int StartupDone = 6;
constexpr int Lockout = 7;  // the cell has no target (NC)
}  // namespace wbflag

// The last record of a layout, as the data logger and the page on view take it. The bytes stay
// in the data image's record buffer, which keeps them after the stream stops.
struct TLiveRecord {
    TLiveLayout Layout = TLiveLayout::Live11;
    std::span<const std::uint8_t> Bytes;
};

// The record buffer that the stream fills for the unit being read (ReceiveData.Firmware).
TLiveRecord CurrentLiveRecord(const TZVDataClass& data);

// Functions of the analogue inputs as InputESelect / InputFSelect hold them.
constexpr std::uint8_t kInputNarrowband = 1;
constexpr std::uint8_t kInputWideband = 2;

// The record byte of the input that has the function, pin F before pin E; none when neither
// has it. For the 24- and 28-byte layouts.
std::optional<std::uint8_t> InputByteWithFunction(std::span<const std::uint8_t> record,
                                                  const TZVDataClass& data, std::uint8_t function);

// The narrowband probe's byte of a record, 0 when no input carries the probe. The 18-byte
// units know no wideband input, so their lambda input bits name the probe; from the 24-byte
// layout on those bits are set for a wideband input too, and the input function decides.
std::uint8_t NarrowbandInputByte(const TLiveRecord& record, const TZVDataClass& data);

// The wideband controller's correction as the unit sends it: 255 means 0, so 128..255 stand
// for -127..0.
int WidebandCorrection(std::uint8_t raw);
// The wideband startup counter of a record: the 28-byte units count in half steps.
int WidebandStartupCounter(std::uint8_t raw, TLiveLayout layout);

enum class TDashColour : std::uint8_t { Window, Green, Red, Yellow, Grey };

// 0xRRGGBB of a colour; the window colour is the system's, white unless the GUI knows better.
std::uint32_t DashColourRgb(TDashColour colour);

constexpr int kRawGaugeMax = 255;      // engine speed, throttle, output, idle actuator
constexpr int kNBLambdaGaugeMax = 51;  // 1 V: the narrowband probe's full swing

// What the main window's dashboard shows.
struct TDashboardState {
    int RotDispGauge = 0;
    std::string RotDispPanel;
    int PotiDispGauge = 0;
    std::string PotiDispPanel;
    int OutputDispGauge = 0;
    std::string OutputDispPanel;
    int IdleGauge = 0;
    TDashColour IdleGaugeColour = TDashColour::Window;
    bool IdleLed = false;
    bool FullLed = false;

    std::string NBCorrectionValPanel;
    bool NBActiveLed = false;
    int NBLambdaGauge = 0;
    TDashColour NBLambdaGaugeColour = TDashColour::Window;

    std::string AFRTopPanel;
    std::string WBO2CorrectionValPanel;
    bool WBO2ActiveLed = false;
    bool WBO2ErrorLed = false;

    bool operator==(const TDashboardState&) const = default;
};

// Main-window settings and panel visibility that the dashboard depends on; the main window
// decides them (control refresh and settings) and passes them with each record.
struct TDashboardSettings {
    bool NBLambdaPanelVisible = false;
    bool WBO2LambdaPanelVisible = false;
    int WBODebounceLevel = 5;        // wideband smoothing 0..5; 0 shows every sample
    bool WBO2DispAfrMaster = false;  // true: AFR in the readout, false: lambda
};

// The dashboard with its running means. The means survive going offline and a display reset,
// so that a reconnect does not start the readouts from zero again.
class TDashboard {
  public:
    const TDashboardState& State() const { return State_; }

    void ShowLive11(std::span<const std::uint8_t, 11> record);
    void ShowLive18(std::span<const std::uint8_t, 18> record, const TZVDataClass& data,
                    const TDashboardSettings& settings);
    void ShowLive24(std::span<const std::uint8_t, 24> record, const TZVDataClass& data,
                    const TDashboardSettings& settings);
    void ShowLive28(std::span<const std::uint8_t, 28> record, const TZVDataClass& data,
                    const TDashboardSettings& settings);

    // Shows the last record of the unit's layout and returns it for the logger and the page
    // on view.
    TLiveRecord ShowLive(const TZVDataClass& data, const TDashboardSettings& settings);

    // The link leaving the run-online state: speed, throttle and output back to 0 with their
    // texts cleared, contact LEDs off.
    void ResetDisplay();
    // Forgets the narrowband and wideband running means of every layout.
    void ResetMeans();

  private:
    struct TMeans {
        double Narrowband = 0.0;
        TWidebandMean Wideband;
    };

    void ShowEngine(std::uint8_t rpm, std::uint8_t tps, std::uint8_t output);
    void ShowCommon(std::span<const std::uint8_t> record, const TZVDataClass& data, TMeans& means);
    void ShowNarrowbandSignal(std::uint8_t signal);
    void ShowWithWideband(std::span<const std::uint8_t> record, TLiveLayout layout,
                          const TZVDataClass& data, const TDashboardSettings& settings,
                          TMeans& means);
    void ShowWideband(std::span<const std::uint8_t> record, TLiveLayout layout,
                      const TZVDataClass& data, const TDashboardSettings& settings, TMeans& means);

    TDashboardState State_;
    TMeans Means18_;
    TMeans Means24_;
    TMeans Means28_;
};

}  // namespace zv
