#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "editors/map_sites.h"
#include "history/edit_history.h"
#include "text/text_table.h"

namespace zv {

class TPageHost;
class TSettings;

// The fuel map as the image holds it (see FuelMapOffset).
using TMapBytes = std::array<std::uint8_t, 256>;

// The map after site `index` (0 = lowest) of one axis (the rpm axis when `rpm`) moved to
// `moved`, the sites given as they were: the cells at that site are filled so that along the
// moved site's line the unit gives the fuel it gave at that place before, as nearly as whole
// cells allow (exactly for an rpm site; between the rpm sites a throttle site's line can be a
// count off). Every other cell stays, so between the site and its neighbours the fuel changes.
TMapBytes MapForMovedSite(const TMapBytes& map, const TSites& throttle, const TSites& rpmSites,
                          bool rpm, int index, std::uint8_t moved);

// The edit step for fuel map cells that differ from `target`: a row with several changed cells
// goes to the unit as one 16-byte write, a single cell as one byte.
void WriteFuelMap(TPageHost& host, const TMapBytes& target);
// The same through any edit step, for a working image of that firmware.
void WriteFuelMap(const TImageWriter& write, const ImageBytes& image, int firmware,
                  const TMapBytes& target);
// Where the unit keeps the map bytes from image offset `offset` on.
TImageWrite FuelMapWrite(int firmware, std::size_t offset);

// Whether moving a site takes the map along: asked each time the site dialog opens, or stored.
enum class TSiteMoveChoice { Ask, Always, Never };
TSiteMoveChoice ReadSiteMoveChoice(TSettings& settings);
void WriteSiteMoveChoice(TSettings& settings, TSiteMoveChoice choice);

struct TSiteMoveTexts {
    std::string ChoiceLabel;
    std::array<std::string, 3> Choices;  // in the order of TSiteMoveChoice
};
TSiteMoveTexts SiteMoveTexts(Language lang);

// Keeps the engine's fuel along a site's line when the site dialog moves the site. Key steps of
// one site follow one another: each new map comes from the map as it was before the first of
// them, so that the misses of single steps do not add up and stepping back restores the cells.
class TSiteMoveFuel {
  public:
    explicit TSiteMoveFuel(TPageHost& host) : host_(host) {}

    // The dialog opened: the next move that changes cells asks again.
    void Opened() { answer_.reset(); }
    TSiteMoveChoice Choice() const;
    void SetChoice(TSiteMoveChoice choice);

    // The map as it is to be once site `panel` of the dialog (224 + panel in the image) holds
    // `moved`: followed when the operator wants it, else the map as it is. Asks when the stored
    // choice says so and no answer was given since the dialog opened.
    TMapBytes MapAfterMove(int panel, std::uint8_t moved);

  private:
    // Key steps of the same site since the map was last followed (and nothing else changed).
    struct TRun {
        int Panel = -1;
        TSites Throttle{}, Rpm{};
        TMapBytes Map{};
    };
    bool Continues(int panel, const TSites& throttle, const TSites& rpm,
                   const TMapBytes& map) const;
    bool Wanted(bool rpm, int index);

    TPageHost& host_;
    std::optional<bool> answer_;  // given since the dialog opened
    TRun run_;
};

}  // namespace zv
