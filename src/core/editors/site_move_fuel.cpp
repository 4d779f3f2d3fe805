#include "editors/site_move_fuel.h"

#include <algorithm>

#include "editors/line_fill.h"
#include "link/transfer_table.h"
#include "pages/page_host.h"

namespace zv {

namespace {

const char* const kSection = "PageFuelMap";
const char* const kChoiceKey = "SiteMoveMap";
constexpr std::array<const char*, 3> kChoiceNames = {"Ask", "Always", "Never"};

// Only the fuel along the moved site's line can be kept: between the site and its neighbours
// the map now spans other distances, and the question must not promise more.
const TextPair kQuestion = {
    "Kraftstoffmenge auf der Linie der Stützstelle beibehalten?\r\nWird die %1 %2 allein "
    "verschoben, verschiebt sich das Kennfeld entlang der %3. Das Programm kann die Zellen dieser "
    "Stützstelle neu füllen, sodass das Steuergerät auf der Linie der Stützstelle an ihrer neuen "
    "Stelle bei jeder %4 dieselbe Menge gibt wie dort vorher, so genau ganze Zellwerte es "
    "erlauben. Zwischen der Stützstelle und ihren Nachbarn ändert sich die Menge trotzdem.\r\n"
    "Diese Antwort gilt, bis der Dialog geschlossen wird.",
    "Keep the fuel along the moved site's line?\r\nMoving %1 %2 alone shifts the fuel map along "
    "the %3. The program can refill the cells of that site so that along the site's line at its "
    "new place the unit gives, at every %4, the fuel it gave there before, as closely as whole "
    "cell values allow. Between the site and its neighbours the fuel still changes.\r\nThis "
    "answer holds until the dialog is closed."};
// %1 the site, %3 the axis, per list: throttle, rpm; %4 the other axis's operating point.
const TextPair kSite[2] = {{"Drosselklappen-Stützstelle", "throttle site"},
                           {"Drehzahl-Stützstelle", "rpm site"}};
const TextPair kAxis[2] = {{"Drosselklappenachse", "throttle axis"},
                           {"Drehzahlachse", "engine-speed axis"}};
const TextPair kPoint[2] = {{"Drosselklappenstellung", "throttle position"},
                            {"Drehzahl", "engine speed"}};
const TextPair kRemember = {"Immer so verfahren (im Stützstellen-Dialog änderbar)",
                            "Always do this (can be changed in the site dialog)"};
const TextPair kChoiceLabel = {"Kennfeld folgt verschobenen Stützstellen:",
                               "Map follows moved sites:"};
const TextPair kChoices[3] = {{"nachfragen", "ask"}, {"immer", "always"}, {"nie", "never"}};

std::string Filled(const TextPair& pattern, Language lang, int list, int site) {
    std::string text = pattern.Pick(lang);
    const std::array<std::string, 4> values = {kSite[list].Pick(lang), std::to_string(site),
                                               kAxis[list].Pick(lang), kPoint[1 - list].Pick(lang)};
    for (std::size_t n = 0; n < values.size(); ++n) {
        const std::string mark = "%" + std::to_string(n + 1);
        if (const auto at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), values[n]);
    }
    return text;
}

TMapBytes MapOf(const ImageBytes& image) {
    TMapBytes map{};
    std::copy_n(image.begin() + img::FuelMap, map.size(), map.begin());
    return map;
}

std::size_t Cell(int t, int r) {
    return FuelMapOffset(t, r) - img::FuelMap;
}

}  // namespace

TMapBytes MapForMovedSite(const TMapBytes& map, const TSites& throttle, const TSites& rpmSites,
                          bool rpm, int index, std::uint8_t moved) {
    const TSites& sites = rpm ? rpmSites : throttle;
    const TSites& across = rpm ? throttle : rpmSites;
    TSites line{};
    if (SitesValid(across)) {
        // At its new place the unit reads the moved site's cells alone, interpolating between
        // them along the other axis; before, it read the old cells around that place, along
        // engine speed first. The line follows that reading, not the cells' own points only.
        TAxisCurve before{};
        for (int x = 0; x < 256; ++x) {
            const auto raw = static_cast<std::uint8_t>(x);
            before[static_cast<std::size_t>(x)] =
                rpm ? MarkerHeight(map, throttle, rpmSites, raw, moved)
                    : MarkerHeight(map, throttle, rpmSites, moved, raw);
        }
        line = LineForCurve(before, across);
    } else {
        // Without rising sites across there is no reading between the cells to follow.
        for (int a = 0; a < 16; ++a) {
            TSites along{};
            for (int i = 0; i < 16; ++i)
                along[static_cast<std::size_t>(i)] = map[rpm ? Cell(a, i) : Cell(i, a)];
            line[static_cast<std::size_t>(a)] =
                static_cast<std::uint8_t>(ValueOnAxis(along, sites, moved));
        }
    }
    TMapBytes out = map;
    for (int a = 0; a < 16; ++a)
        out[rpm ? Cell(a, index) : Cell(index, a)] = line[static_cast<std::size_t>(a)];
    return out;
}

TImageWrite FuelMapWrite(int firmware, std::size_t offset) {
    TImageWrite write;
    write.Offset = offset;
    write.Address = static_cast<std::uint16_t>(FuelMapAddress(firmware) + (offset - img::FuelMap));
    return write;
}

void WriteFuelMap(TPageHost& host, const TMapBytes& target) {
    WriteFuelMap(
        [&host](const TImageWrite& where, std::span<const std::uint8_t> bytes) {
            return host.WriteImage(where, bytes);
        },
        host.Data().DeviceData.Image, host.Data().DeviceData.Firmware, target);
}

void WriteFuelMap(const TImageWriter& write, const ImageBytes& image, int firmware,
                  const TMapBytes& target) {
    for (int t = 0; t < 16; ++t) {
        const std::size_t first = Cell(t, 15);  // a throttle row lies together, highest rpm first
        const auto row = std::span(target).subspan(first, 16);
        const auto now = std::span(image).subspan(img::FuelMap + first, 16);
        const auto changed = std::mismatch(row.begin(), row.end(), now.begin());
        if (changed.first == row.end())
            continue;
        const bool several = !std::equal(changed.first + 1, row.end(), changed.second + 1);
        const std::size_t at = first + static_cast<std::size_t>(changed.first - row.begin());
        if (several)
            write(FuelMapWrite(firmware, img::FuelMap + first), row);
        else
            write(FuelMapWrite(firmware, img::FuelMap + at), row.subspan(at - first, 1));
    }
}

TSiteMoveChoice ReadSiteMoveChoice(TSettings& settings) {
    const std::string name = settings.s_ReadString(kSection, kChoiceKey, kChoiceNames[0]);
    for (std::size_t i = 0; i < kChoiceNames.size(); ++i) {
        if (name == kChoiceNames[i])
            return static_cast<TSiteMoveChoice>(i);
    }
    return TSiteMoveChoice::Ask;
}

void WriteSiteMoveChoice(TSettings& settings, TSiteMoveChoice choice) {
    settings.v_WriteString(kSection, kChoiceKey, kChoiceNames[static_cast<std::size_t>(choice)]);
}

TSiteMoveTexts SiteMoveTexts(Language lang) {
    TSiteMoveTexts texts;
    texts.ChoiceLabel = kChoiceLabel.Pick(lang);
    for (std::size_t i = 0; i < texts.Choices.size(); ++i)
        texts.Choices[i] = kChoices[i].Pick(lang);
    return texts;
}

TSiteMoveChoice TSiteMoveFuel::Choice() const {
    return ReadSiteMoveChoice(host_.Settings());
}

void TSiteMoveFuel::SetChoice(TSiteMoveChoice choice) {
    WriteSiteMoveChoice(host_.Settings(), choice);
    answer_.reset();
}

bool TSiteMoveFuel::Continues(int panel, const TSites& throttle, const TSites& rpm,
                              const TMapBytes& map) const {
    if (panel != run_.Panel)
        return false;
    const bool onRpm = panel >= 16;
    const auto index = static_cast<std::size_t>(15 - panel % 16);
    TSites others = onRpm ? rpm : throttle;
    const TSites& runSites = onRpm ? run_.Rpm : run_.Throttle;
    others[index] = runSites[index];
    const TSites& across = onRpm ? throttle : rpm;
    return others == runSites && across == (onRpm ? run_.Throttle : run_.Rpm) &&
           MapForMovedSite(run_.Map, run_.Throttle, run_.Rpm, onRpm, static_cast<int>(index),
                           (onRpm ? rpm : throttle)[index]) == map;
}

TMapBytes TSiteMoveFuel::MapAfterMove(int panel, std::uint8_t moved) {
    const bool rpm = panel >= 16;
    const int index = 15 - panel % 16;
    const ImageBytes& image = host_.Data().DeviceData.Image;
    const TSites throttle = SitesAt(image, img::TpsSites);
    const TSites rpmSites = SitesAt(image, img::RpmSites);
    const TMapBytes map = MapOf(image);
    // Between sites that do not rise there is no fuel curve to keep.
    if (!SitesValid(rpm ? rpmSites : throttle))
        return map;
    if (!Continues(panel, throttle, rpmSites, map))
        run_ = {panel, throttle, rpmSites, map};
    const TMapBytes followed =
        MapForMovedSite(run_.Map, run_.Throttle, run_.Rpm, rpm, index, moved);
    if (followed == map || !Wanted(rpm, index + 1))
        return map;
    return followed;
}

bool TSiteMoveFuel::Wanted(bool rpm, int site) {
    switch (Choice()) {
        case TSiteMoveChoice::Always:
            return true;
        case TSiteMoveChoice::Never:
            return false;
        case TSiteMoveChoice::Ask:
            break;
    }
    if (answer_)
        return *answer_;
    const Language lang = host_.CurrentLanguage();
    bool remember = false;
    answer_ = host_.AskRemembering(Filled(kQuestion, lang, rpm ? 1 : 0, site), kRemember.Pick(lang),
                                   remember) == MsgAnswer::Yes;
    if (remember)
        WriteSiteMoveChoice(host_.Settings(),
                            *answer_ ? TSiteMoveChoice::Always : TSiteMoveChoice::Never);
    return *answer_;
}

}  // namespace zv
