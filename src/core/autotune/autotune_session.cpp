#include "autotune/autotune_session.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <variant>

#include "app/main_model.h"
#include "autotune/cell_locks.h"
#include "autotune/log_samples.h"
#include "compare/difference_tint.h"
#include "data/zv_data_class.h"
#include "editors/map_sites.h"
#include "online/online_mode.h"
#include "seams/timer_service.h"
#include "text/point_format.h"

namespace zv {

namespace {

constexpr double kMsPerS = 1000.0;

constexpr TextPair kNoSamples = {"Keine Messwerte: ein Log hinzufügen oder Live einschalten.",
                                 "No samples: add a log or switch Live on."};
constexpr TextPair kNoDataSet = {
    "Kein Datensatz geöffnet: Autotune braucht das Kennfeld, seine Stützstellen und AFR-Ziele. "
    "Öffnen Sie den Datensatz, mit dem die Logs gefahren wurden, oder lesen Sie ihn aus dem "
    "Steuergerät.",
    "No data set is open: autotune needs the fuel map, its sites and AFR targets. Open the data "
    "set the logs were driven with, or read it from the unit."};
constexpr TextPair kNoController = {
    "Die Firmware dieses Datensatzes kennt keinen Breitband-Regler; ohne ihn gibt es keine "
    "AFR zum Abstimmen.",
    "The firmware of this data set has no wideband controller; without it there is no AFR "
    "to tune from."};

// A setting and the range in which a run can use it.
struct TSettingRange {
    TextPair Name;
    double Value;
    double Low;
    double High;
    const char* Unit;
};

TOwnedText OutOfRange(const TSettingRange& s) {
    const std::string unit = *s.Unit ? std::string(" ") + s.Unit : std::string();
    const std::string range = FormatShort(s.Low) + " .. " + FormatShort(s.High) + unit;
    return {std::string("Die Einstellung \"") + s.Name.German + "\" muss im Bereich " + range +
                " liegen.",
            std::string("The setting \"") + s.Name.English + "\" must lie within " + range + "."};
}

TOwnedText Owned(const TextPair& text) {
    return {text.German, text.English};
}

}  // namespace

bool FirmwareHasWidebandController(int firmware) {
    const TLiveLayout layout = LiveLayoutOfFirmware(firmware);
    return layout == TLiveLayout::Live24 || layout == TLiveLayout::Live28;
}

std::optional<TOwnedText> SettingsFault(const TTuneSettings& s) {
    std::vector<TSettingRange> ranges = {
        {{"Autorität", "Authority"}, s.AuthorityPercent, 0.1, 100.0, "%"},
        {{"Mindestzahl Messwerte", "Minimum samples"}, s.MinSamples, 1.0, 1000000.0, ""},
        {{"Mindestdrehzahl", "Minimum engine speed"}, s.MinRpm, 0.0, 10000.0, "rpm"},
        {{"Faktor Sensorverzug", "Sensor delay scale"}, s.DelayScale, 0.1, 5.0, ""},
        {{"Sperrzeit nach Markierung", "Time after a mark"}, s.AfterMarkS, 0.0, 60.0, "s"},
        {{"Drosselklappe ruhig", "Steady throttle"}, s.MaxThrottleChangePercent, 0.0, 100.0, "%"},
        {{"Fenster ruhige Drosselklappe", "Steady throttle window"},
         s.SteadyWindowS,
         0.0,
         10.0,
         "s"},
        {{"Sensorverzug fest", "Sensor delay, fixed part"}, s.Delay.BaseMs, 0.0, 1000.0, "ms"},
        {{"Abgasvolumen", "Exhaust volume"}, s.Delay.VolumeMsRpm, 1000.0, 2000000.0, "ms x rpm"},
        {{"Sperrzeit Schubabschaltung", "Hold-off after a fuel cut"}, s.FuelCutHoldoff, 0.0, 10.0,
         ""},
        {{"Sperrzeit Beschleunigung", "Hold-off after enrichment"}, s.EnrichmentHoldoff, 0.0, 10.0,
         ""},
        {{"Dauer Beschleunigungsanreicherung", "Enrichment time"}, s.EnrichmentS, 0.0, 10.0, "s"},
        {{"Warmlauf nach dem Start", "Warm-up after the start"}, s.WarmUpS, 0.0, 3600.0, "s"},
        {{"Glättung", "Smoothing"}, s.Smoothing, 0.0, 100.0, ""},
    };
    if (s.FixedDelayMs)
        ranges.push_back(
            {{"Fester Sensorverzug", "Fixed sensor delay"}, *s.FixedDelayMs, 0.0, 5000.0, "ms"});
    for (const TSettingRange& r : ranges) {
        // Written so that a value that is not a number fails too.
        if (!(r.Value >= r.Low && r.Value <= r.High))
            return OutOfRange(r);
    }
    return std::nullopt;
}

// An edit while live samples come in changes what the engine gets from then on: it counts as
// a mark, so the readings right after it (still of the old fuel) are held back, and the samples
// before it keep the map they ran on.
TAutotuneSession::TAutotuneSession(TMainModel& main, const TimerService& clock)
    : main_(main), clock_(clock), settings_(TuneSettingsFor(main.Data())) {
    settings_.Locked = LoadLocks(main_.Store(), main_.Data().FileName);
    listener_ = main_.History().AddStepListener([this](THistoryEvent, const THistoryStep&) {
        if (live_ && main_.RunOnline()) {
            const double now = ArrivalTimeS();
            liveLog_.MarkTimes.push_back(now);
            editedAt_ = now;
            NoteLiveMap(now);
        }
    });
}

TFuelMap TAutotuneSession::CurrentMap() const {
    return FuelMapOf(main_.Data().DeviceData.Image);
}

// The live samples so far ran on the map last seen; when the map has changed since, they are
// kept with it.
void TAutotuneSession::NoteLiveMap(double timeS) {
    TFuelMap now = CurrentMap();
    if (liveMap_ && *liveMap_ != now && !liveLog_.Samples.empty())
        liveLog_.Epochs.push_back({timeS, *liveMap_});
    liveMap_ = std::move(now);
}

// A log is taken to have run on the map of the data set as it is when the log comes in (or
// when another data set comes in); edits after that, an applied result among them, are
// allowed for when its samples are judged.
void TAutotuneSession::TieLogToCurrentMap(TTuneLogSource& source) const {
    source.Log.Epochs.clear();
    if (source.Log.Samples.empty())
        return;
    double last = source.Log.Samples.front().TimeS;
    for (const TTuneSample& sample : source.Log.Samples)
        last = std::max(last, sample.TimeS);
    source.Log.Epochs.push_back({last, CurrentMap()});
}

TAutotuneSession::~TAutotuneSession() {
    main_.History().RemoveStepListener(listener_);
    if (online_)
        online_->AutotuneRecord = nullptr;
}

const TTuneLogSource& TAutotuneSession::AddLog(const std::string& path) {
    TTuneLogSource source;
    source.Path = path;
    TLogSamplesRead read = ReadLogSamples(path, main_.Data());
    if (auto* log = std::get_if<TTuneLog>(&read.Samples))
        source.Log = std::move(*log);
    else
        source.Error = std::get<TOwnedText>(std::move(read.Samples));
    source.Notices = std::move(read.Notices);
    TieLogToCurrentMap(source);
    logs_.push_back(std::move(source));
    return logs_.back();
}

void TAutotuneSession::RemoveLog(std::size_t index) {
    if (index < logs_.size())
        logs_.erase(logs_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TAutotuneSession::ConnectLive(TOnlineMode& online) {
    online_ = &online;
    online.AutotuneRecord = [this](const TLiveRecord& record) { TakeLiveRecord(record); };
}

void TAutotuneSession::ClearLive() {
    liveLog_ = {};
    liveMap_.reset();
    editedAt_.reset();
    if (LiveCountChanged)
        LiveCountChanged();
}

// The tick count wraps after 49 days; the differences between ticks do not.
double TAutotuneSession::ArrivalTimeS() {
    const std::uint32_t tick = clock_.GetTickCount();
    if (lastTick_)
        liveTimeMs_ += static_cast<std::uint32_t>(tick - *lastTick_);
    lastTick_ = tick;
    return liveTimeMs_ / kMsPerS;
}

void TAutotuneSession::TakeLiveRecord(const TLiveRecord& record) {
    if (!live_ || !main_.RunOnline())
        return;
    const double timeS = ArrivalTimeS();
    // A single write is told to the history before it is stored: the map it changed shows
    // only now, and the samples ran on the old one until the edit.
    NoteLiveMap(editedAt_.value_or(timeS));
    editedAt_.reset();
    if (auto sample = TuneSampleFromRecord(record, main_.Data(), timeS)) {
        liveLog_.Samples.push_back(*sample);
        if (LiveCountChanged)
            LiveCountChanged();
    }
}

// The defaults of the filters; the operator's locks are no setting of a run and stay.
void TAutotuneSession::ResetSettings() {
    const TCellLocks locks = settings_.Locked;
    settings_ = TuneSettingsFor(main_.Data());
    settings_.Locked = locks;
}

void TAutotuneSession::DataSetChanged() {
    const TTuneSettings band = TuneSettingsFor(main_.Data());
    settings_.AfrMin = band.AfrMin;
    settings_.AfrMax = band.AfrMax;
    settings_.ControllerOn = band.ControllerOn;
    settings_.Locked = LoadLocks(main_.Store(), main_.Data().FileName);
    for (TTuneLogSource& source : logs_)
        TieLogToCurrentMap(source);
    Discard();
}

int TAutotuneSession::SampleCount() const {
    int count = LiveCount();
    for (const TTuneLogSource& source : logs_)
        count += source.SampleCount();
    return count;
}

bool TAutotuneSession::Refuse(const TOwnedText& why) {
    result_.reset();
    selection_.reset();
    refusal_ = why;
    return false;
}

bool TAutotuneSession::Compute() {
    const TZVDataClass& data = main_.Data();
    if (data.Loaded == 0 && data.DeviceData.DeviceValid == 0)
        return Refuse(Owned(kNoDataSet));
    if (!FirmwareHasWidebandController(data.DeviceData.Firmware))
        return Refuse(Owned(kNoController));
    if (SampleCount() == 0)
        return Refuse(Owned(kNoSamples));
    if (auto fault = SettingsFault(settings_))
        return Refuse(*fault);
    TTuneLog all;
    for (const TTuneLogSource& source : logs_)
        AppendTuneLog(all, source.Log);
    AppendTuneLog(all, liveLog_);
    TTuneResult result = RunAutotune(main_.Data(), all, settings_);
    if (result.Refused) {
        // Why no sample could be used belongs with the refusal, as there is no result to list it.
        TOwnedText why = Owned(*result.Refused);
        for (const std::string& line : TuneRejections(result, Language::German))
            why.German += "\n" + line;
        for (const std::string& line : TuneRejections(result, Language::English))
            why.English += "\n" + line;
        return Refuse(why);
    }
    refusal_.reset();
    selection_.reset();
    result_ = std::move(result);
    return true;
}

void TAutotuneSession::ToggleLock(const TCellRect& block) {
    bool all = true;
    for (int t = block.TLow; t <= block.THigh; ++t)
        for (int r = block.RLow; r <= block.RHigh; ++r)
            all = all && settings_.IsLocked(t, r);
    for (int t = block.TLow; t <= block.THigh; ++t)
        for (int r = block.RLow; r <= block.RHigh; ++r)
            settings_.Locked[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] = !all;
    SaveLocks(main_.Store(), main_.Data().FileName, settings_.Locked);
    if (result_) {
        const auto selection = selection_;
        Compute();
        selection_ = selection;
    }
}

int TAutotuneSession::Apply(const std::optional<TCellRect>& block) {
    if (!result_)
        return 0;
    const int changed = main_.ApplyAutotune(*result_, block);
    Discard();
    ClearLive();
    return changed;
}

int TAutotuneSession::ApplyAll() {
    return Apply(std::nullopt);
}

int TAutotuneSession::ApplySelection() {
    if (!selection_)
        return 0;
    return Apply(selection_);
}

void TAutotuneSession::Discard() {
    result_.reset();
    selection_.reset();
}

}  // namespace zv

namespace zv {

namespace {

constexpr std::array<TextPair, 44> kTuneTexts = {{
    {"Autotune", "Autotune"},
    {"Autotune…", "Autotune…"},
    {"Quellen", "Sources"},
    {"Hinzufügen…", "Add…"},
    {"Entfernen", "Remove"},
    {"Live-Messwerte sammeln", "Collect live samples"},
    {"Live-Messwerte: ", "Live samples: "},
    {"Leeren", "Clear"},
    {"Filter und Grenzen", "Filters and limits"},
    {"Autorität", "Authority"},
    {"Mindestzahl Messwerte", "Minimum samples"},
    {"Mindestdrehzahl", "Minimum engine speed"},
    {"Faktor Sensorverzug", "Sensor delay scale"},
    {"Fester Sensorverzug", "Fixed sensor delay"},
    {"Sperrzeit nach Markierung", "Time after a mark"},
    {"Drosselklappe ruhig bis", "Steady throttle within"},
    {"Regleranlauf abwarten", "Wait for the controller's start-up"},
    {"Werte mit Ausgang an der Grenze verwerfen", "Reject readings with the output at its limit"},
    {"Ruhige Drosselklappe verlangen", "Require a steady throttle"},
    {"Standardwerte", "Defaults"},
    {"Berechnen", "Compute"},
    {"Alle übernehmen", "Apply all"},
    {"Auswahl übernehmen", "Apply selection"},
    {"Verwerfen", "Discard"},
    {"Verworfen", "Rejected"},
    {"mehr Kraftstoff", "more fuel"},
    {"weniger Kraftstoff", "less fuel"},
    {"zu wenig brauchbare Messwerte oder kein Zielwert", "too few usable samples or no target"},
    {"%d Messwerte, %d genutzt, %d Zellen geändert", "%d samples, %d used, %d cells changed"},
    {"Log für Autotune öffnen", "Open a log for autotune"},
    {"Logs|*.L*|Alle Dateien|*.*", "Logs|*.L*|All files|*.*"},
    {"Messwerte", "samples"},
    {"Block sperren/freigeben", "Lock/unlock block"},
    {"S", "L"},
    {"?", "?"},
    {"Sensorverzug fest", "Sensor delay, fixed part"},
    {"Abgasvolumen (ms x U/min)", "Exhaust volume (ms x rpm)"},
    {"Verzug aus Schubabschaltungen schätzen", "Estimate the delay from fuel cuts"},
    {"Sperrzeit Schubabschaltung (Laufzeiten)", "Hold-off after a fuel cut (travel times)"},
    {"Sperrzeit Beschleunigung (Laufzeiten)", "Hold-off after enrichment (travel times)"},
    {"Warmlauf nach dem Start", "Warm-up after the start"},
    {"Schubabschaltung ausschließen", "Exclude fuel cuts"},
    {"Beschleunigungsanreicherung ausschließen", "Exclude acceleration enrichment"},
    {"Warmlauf ausschließen", "Exclude the warm-up"},
}};

std::string Counted(const char* format, int a, int b, int c) {
    char buf[160];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

bool Tuned(TCellVerdict verdict) {
    return verdict == TCellVerdict::Changed || verdict == TCellVerdict::Unchanged;
}

std::string TipOf(const TTuneCell& cell, Language lang) {
    const bool de = lang == Language::German;
    std::string tip = std::string(de ? "Alt -> neu: " : "Old -> new: ") + std::to_string(cell.Old) +
                      " -> " + std::to_string(cell.New);
    if (Tuned(cell.Verdict))
        tip += " (" + FormatSigned(cell.ChangePercent, 1) + " %)";
    tip += std::string(de ? "\nVerhältnis: " : "\nRatio: ") + FormatFixed(cell.Ratio, 0, 3);
    tip += std::string(de ? "\nStreuung: " : "\nSpread: ") + FormatFixed(cell.Spread, 0, 3);
    tip += std::string(de ? "\nMesswerte: " : "\nSamples: ") + std::to_string(cell.Samples) +
           (de ? " (Gewicht " : " (weight ") + FormatFixed(cell.Weight, 0, 1) + ")";
    tip += std::string(de ? "\nErgebnis: " : "\nVerdict: ") + CellVerdictName(cell.Verdict, lang);
    if (cell.Capped)
        tip += de ? " (begrenzt)" : " (capped)";
    if (cell.Samples > 0)
        tip += std::string(de ? "\nVertrauen: " : "\nConfidence: ") + CellConfidenceText(cell, lang);
    return tip;
}

}  // namespace

const char* TuneText(TTuneText text, Language lang) {
    return kTuneTexts[static_cast<std::size_t>(text)].Pick(lang);
}

TTuneHeatCell HeatCellOf(const TTuneCell& cell, bool locked, Language lang) {
    TTuneHeatCell heat;
    if (locked)
        heat.Mark = TuneText(TTuneText::Locked, lang);
    else if (cell.Samples > 0 && cell.Confidence == TCellConfidence::Low)
        heat.Mark = TuneText(TTuneText::Doubtful, lang);
    heat.Grey = !Tuned(cell.Verdict);
    if (!heat.Grey) {
        heat.Change = FormatSigned(cell.ChangePercent, 1);
        heat.Tint = DifferenceClass(cell.New - cell.Old);
    }
    if (cell.Samples > 0)
        heat.Samples = std::to_string(cell.Samples);
    heat.Tip = TipOf(cell, lang);
    return heat;
}

TTuneAxes TuneAxesOf(const TZVDataClass& data, Language lang) {
    TTuneAxes axes;
    const TSites throttle = DisplayedSites(SitesAt(data.DeviceData.Image, img::TpsSites));
    const TSites rpm = DisplayedSites(SitesAt(data.DeviceData.Image, img::RpmSites));
    for (std::size_t i = 0; i < 16; ++i) {
        axes.Throttle[i] = SiteLabel(throttle[i], kThrottleScaleMax);
        axes.Rpm[i] = SiteLabel(rpm[i], kRpmScaleMax);
    }
    axes.RpmUnit = lang == Language::German ? "[U/min]" : "[Rpm]";
    return axes;
}

std::string TuneSummary(const TTuneResult& result, const TTuneSettings& settings, Language lang) {
    std::string text = Counted(TuneText(TTuneText::Summary, lang), result.TotalSamples,
                               result.UsedSamples, result.ChangedCount());
    text += "\n" + TuneDelayLine(result, settings, lang);
    for (const TextPair& note : result.Notes)
        text += std::string("\n") + note.Pick(lang);
    return text;
}

std::vector<std::string> TuneRejections(const TTuneResult& result, Language lang) {
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < kTuneFilterCount; ++k) {
        const auto filter = static_cast<TTuneFilter>(k);
        if (result.RejectedBy(filter) > 0)
            lines.push_back(std::string(TuneFilterName(filter, lang)) + ": " +
                            std::to_string(result.RejectedBy(filter)));
    }
    return lines;
}

std::string LogSourceLine(const TTuneLogSource& source, Language lang) {
    const std::size_t slash = source.Path.find_last_of("/\\");
    const std::string name =
        slash == std::string::npos ? source.Path : source.Path.substr(slash + 1);
    std::string line = name + ": ";
    line += source.Error ? source.Error->Pick(lang)
                         : std::to_string(source.SampleCount()) + " " +
                               TuneText(TTuneText::Samples, lang);
    for (const TOwnedText& notice : source.Notices)
        line += " — " + notice.Pick(lang);
    return line;
}

}  // namespace zv
