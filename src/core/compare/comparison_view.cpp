#include "compare/comparison_view.h"

#include <cstdio>

#include "text/point_format.h"

namespace zv {

namespace {

const TextPair kCaption = {"Vergleich der Daten", "Data comparison"};
const TextPair kNoDifferences = {"Keine Unterschiede.", "No differences."};
const TextPair kDifferencesIn = {"Unterschiede in ", "Differences in "};
// What each count counts, in the order of the window.
const TextPair kCounted[] = {{"Kennfeld (Zellen)", "fuel map (cells)"},
                             {"AFR-Kennfeld (Zellen)", "AFR map (cells)"},
                             {"Stützstellen", "sites"},
                             {"Kennlinien (Punkte)", "curves (points)"},
                             {"Parameter", "parameters"},
                             {"Kommentar (Zeilen)", "comment (lines)"}};
const TextPair kNameHead = {"Name", "Name"};
const TextPair kMapTitle = {"Kennfeld", "Fuel Map"};
const TextPair kAfrTitle = {"AFR-Kennfeld", "AFR map"};
const TextPair kSitesTitle = {"Stützstellen", "Sites"};
const TextPair kCurvesTitle = {"Kennlinien", "Curves"};
const TextPair kParametersTitle = {"Parameter", "Parameters"};
const TextPair kCommentTitle = {"Kommentar", "Comment"};
const TextPair kCommentLine = {"Zeile %d", "Line %d"};
const TextPair kNoLine = {"(keine)", "(none)"};
const TextPair kAbove = {"Geänderte Zellen: oben ", "Changed cells: above "};
const TextPair kBelow = {", unten ", ", below "};
const TextPair kClose = {"Schließen", "Close"};
const TextPair kWorkingData = {"Arbeitsdaten", "Working data"};
const TextPair kUnitData = {"Gerätedaten", "Unit data"};
const TextPair kCompareWithFile = {"Mit Datei vergleichen…", "Compare with file…"};
const TextPair kCompareWithUnit = {"Mit dem Gerät vergleichen", "Compare with unit"};

template <typename Format>
TCompareGrid Grid(const ByteGrid& a, const ByteGrid& b, Format format) {
    TCompareGrid grid;
    for (std::size_t t = 0; t < 16; ++t) {
        for (std::size_t r = 0; r < 16; ++r) {
            const int x = a[t][r];
            const int y = b[t][r];
            TCompareCell& cell = grid[t][r];
            cell.Text = format(x);
            if (x == y)
                continue;
            cell.Text += "\n" + format(y);
            cell.Class = DifferenceClass(y - x);
        }
    }
    return grid;
}

std::string Counted(const char* pattern, int n) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, n);
    return text;
}

// Only what differs is counted: "fuel map (cells) 3, parameters 1".
std::string Summary(const TDataSetComparison& c, Language lang) {
    if (c.Same())
        return kNoDifferences.Pick(lang);
    const std::size_t counts[] = {c.Map.size(),    c.AfrMap.size(),     c.Sites.size(),
                                  c.Curves.size(), c.Parameters.size(), c.Comment.size()};
    std::string text = kDifferencesIn.Pick(lang);
    bool first = true;
    for (std::size_t k = 0; k < std::size(counts); ++k) {
        if (counts[k] == 0)
            continue;
        text += (first ? "" : ", ") + std::string(kCounted[k].Pick(lang)) + " " +
                std::to_string(counts[k]);
        first = false;
    }
    return text + ".";
}

TCompareList ItemList(const TextPair& title, const std::vector<TItemDifference>& items,
                      Language lang) {
    TCompareList list{title.Pick(lang), {}};
    for (const auto& item : items)
        list.Rows.push_back(
            {ItemName(item, lang), std::to_string(item.This), std::to_string(item.That)});
    return list;
}

TCompareList CommentList(const std::vector<TCommentDifference>& lines, Language lang) {
    TCompareList list{kCommentTitle.Pick(lang), {}};
    const auto text = [lang](const std::optional<std::string>& line) {
        return line ? *line : std::string(kNoLine.Pick(lang));
    };
    for (const auto& line : lines)
        list.Rows.push_back(
            {Counted(kCommentLine.Pick(lang), line.Line), text(line.This), text(line.That)});
    return list;
}

}  // namespace

const TextPair& WorkingDataName() {
    return kWorkingData;
}

const TextPair& UnitDataName() {
    return kUnitData;
}

const TextPair& CompareWithFileMenuText() {
    return kCompareWithFile;
}

const TextPair& CompareWithUnitMenuText() {
    return kCompareWithUnit;
}

TComparisonView BuildComparisonView(const TZVDataClass& thisSet, const TZVDataClass& thatSet,
                                    const std::string& thisName, const std::string& thatName,
                                    Language lang) {
    const TDataSetComparison c = CompareDataSets(thisSet, thatSet);
    TComparisonView v;
    v.Caption = kCaption.Pick(lang);
    v.Summary = Summary(c, lang);
    v.NameHead = kNameHead.Pick(lang);
    v.ThisHead = thisName;
    v.ThatHead = thatName;
    v.MapTitle = kMapTitle.Pick(lang);
    v.AfrTitle = kAfrTitle.Pick(lang);
    // Sites are stored highest first; the labels run lowest first, as the map page shows them.
    for (std::size_t i = 0; i < 16; ++i) {
        v.ThrottleLabels[i] = thisSet.Lin[lin::TpsSites][15 - i] * 100 / 255;
        v.RpmLabels[i] = thisSet.Lin[lin::RpmSites][15 - i] * 10000 / 255;
    }
    v.Map = Grid(thisSet.Map, thatSet.Map, [](int x) { return std::to_string(x); });
    v.AfrMap =
        Grid(thisSet.AfrMap, thatSet.AfrMap, [](int x) { return AfrTargetText(unsigned(x)); });
    if (!c.Sites.empty())
        v.Lists.push_back(ItemList(kSitesTitle, c.Sites, lang));
    if (!c.Curves.empty())
        v.Lists.push_back(ItemList(kCurvesTitle, c.Curves, lang));
    if (!c.Parameters.empty())
        v.Lists.push_back(ItemList(kParametersTitle, c.Parameters, lang));
    if (!c.Comment.empty())
        v.Lists.push_back(CommentList(c.Comment, lang));
    v.Legend = DifferenceLegend(lang);
    v.CellOrder = kAbove.Pick(lang) + thisName + kBelow.Pick(lang) + thatName;
    v.CloseButton = kClose.Pick(lang);
    return v;
}

}  // namespace zv
