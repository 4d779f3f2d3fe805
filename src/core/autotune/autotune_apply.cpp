#include "autotune/autotune_apply.h"

#include "editors/site_move_fuel.h"
#include "history/step_names.h"
#include "text/point_format.h"

namespace zv {

namespace {

const TextPair kStepWord = {"Zellen", "cells"};
const TextPair kStepWordOne = {"Zelle", "cell"};
const TextPair kSamplesWord = {"Messwerte", "samples"};
const TextPair kUsedWord = {"verwendet", "used"};
const TextPair kRejectedWord = {"verworfen", "rejected"};
const TextPair kCellsWord = {"Zellen", "cells"};
const TextPair kCappedWord = {"begrenzt", "capped"};
const TextPair kConfidenceWord = {"Vertrauen", "confidence"};

std::string CellSites(const TZVDataSet& set, int t, int r) {
    const TSites throttle = SitesAt(set.Image, img::TpsSites);
    const TSites rpm = SitesAt(set.Image, img::RpmSites);
    return std::to_string(SiteLabel(rpm[static_cast<std::size_t>(r)], kRpmScaleMax)) + " rpm / " +
           std::to_string(SiteLabel(throttle[static_cast<std::size_t>(t)], kThrottleScaleMax)) +
           " %";
}

}  // namespace

std::vector<TTuneChange> AutotuneChanges(const TTuneResult& result,
                                         const std::optional<TCellRect>& block) {
    std::vector<TTuneChange> changes;
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            const TTuneCell& cell = result.Cell(t, r);
            if (cell.Verdict == TCellVerdict::Changed && (!block || block->Contains(t, r)))
                changes.push_back({t, r, cell.Old, cell.New});
        }
    }
    return changes;
}

TStepName AutotuneStepName(int cells) {
    const std::string count = std::to_string(cells);
    const TextPair& word = cells == 1 ? kStepWordOne : kStepWord;
    return {"Autotune " + count + " " + word.German, "Autotune " + count + " " + word.English};
}

int ApplyAutotune(TEditHistory& history, const TImageWriter& write, const TZVDataSet& set,
                  const std::vector<TTuneChange>& changes) {
    TMapBytes map{};
    std::copy_n(set.Image.begin() + img::FuelMap, map.size(), map.begin());
    int count = 0;
    for (const TTuneChange& c : changes) {
        std::uint8_t& cell = map[FuelMapOffset(c.T, c.R) - img::FuelMap];
        if (cell != c.Old)
            continue;
        cell = static_cast<std::uint8_t>(c.New);
        ++count;
    }
    if (count == 0)
        return 0;
    TEditStep step(history, AutotuneStepName(count));
    WriteFuelMap(write, set.Image, set.Firmware, map);
    return count;
}

std::vector<std::string> AutotuneReport(const TTuneResult& result, const TZVDataSet& set,
                                        Language lang) {
    std::vector<std::string> lines;
    for (const TTuneChange& c : AutotuneChanges(result)) {
        const TTuneCell& cell = result.Cell(c.T, c.R);
        lines.push_back(CellSites(set, c.T, c.R) + ": " + std::to_string(c.Old) + " -> " +
                        std::to_string(c.New) + " (" + FormatSigned(cell.ChangePercent, 1) + " %" +
                        (cell.Capped ? std::string(", ") + kCappedWord.Pick(lang) : "") + "), " +
                        std::to_string(cell.Samples) + " " + kSamplesWord.Pick(lang) + ", " +
                        kConfidenceWord.Pick(lang) + " " + CellConfidenceText(cell, lang));
    }
    lines.push_back(std::to_string(result.TotalSamples) + " " + kSamplesWord.Pick(lang) + ", " +
                    std::to_string(result.UsedSamples) + " " + kUsedWord.Pick(lang));
    for (std::size_t f = 0; f < kTuneFilterCount; ++f) {
        const auto filter = static_cast<TTuneFilter>(f);
        if (result.RejectedBy(filter) > 0)
            lines.push_back(std::string(kRejectedWord.Pick(lang)) + ", " +
                            TuneFilterName(filter, lang) + ": " +
                            std::to_string(result.RejectedBy(filter)));
    }
    for (const TextPair& note : result.Notes)
        lines.emplace_back(note.Pick(lang));
    if (result.Refused) {
        lines.emplace_back(result.Refused->Pick(lang));
        return lines;
    }
    std::array<int, kCellVerdictCount> verdicts{};
    for (int t = 0; t < 16; ++t)
        for (int r = 0; r < 16; ++r)
            ++verdicts[static_cast<std::size_t>(result.Cell(t, r).Verdict)];
    for (std::size_t v = 0; v < verdicts.size(); ++v) {
        if (verdicts[v] > 0)
            lines.push_back(std::string(kCellsWord.Pick(lang)) + ", " +
                            CellVerdictName(static_cast<TCellVerdict>(v), lang) + ": " +
                            std::to_string(verdicts[v]));
    }
    return lines;
}

}  // namespace zv
