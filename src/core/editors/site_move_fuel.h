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

// The map after site `index` (0 = lowest) of one axis moved from sites[index] to `moved`: the
// cells at that site take the value the map gave at the new position along that axis (the
// unit's own interpolation between the old neighbours, the edge value beyond the ends), so that
// the engine gets the same fuel there as before; every other cell stays.
TMapBytes MapForMovedSite(const TMapBytes& map, const TSites& sites, bool rpm, int index,
                          std::uint8_t moved);

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

// Keeps the engine's fuel when the site dialog moves a site. Key steps of one site follow one
// another: each new map comes from the map as it was before the first of them, so that the
// cut-off fractions of single steps do not add up and stepping back restores the cells.
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
        TSites Sites{};
        TMapBytes Map{};
    };
    bool Continues(int panel, const TSites& sites, const TMapBytes& map) const;
    bool Wanted(bool rpm, int index);

    TPageHost& host_;
    std::optional<bool> answer_;  // given since the dialog opened
    TRun run_;
};

}  // namespace zv
