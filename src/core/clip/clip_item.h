#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "history/edit_history.h"
#include "text/text_table.h"

namespace zv {

// How the bytes of an item read as the operator sees them on its page.
enum class TClipScale : std::uint8_t {
    Raw,           // fuel map: 0..255 as they are
    Afr,           // AFR map: (b + 105) / 10 with one decimal, or NC
    Factor,        // multiplying curve: b * 3 / 191 + 1, two decimals
    Percent,       // additive curve: b * 100 div 255
    Compensation,  // idle curve: (b * 200 div 255) - 100
};

// A block of an item's cells, counted as its page shows them: rows from the top, columns from
// the left, both from 0.
struct TTableBlock {
    int Row = 0;
    int Col = 0;
    int Rows = 0;
    int Cols = 0;
};

// One map or curve of the data set as a table: the fuel map and the AFR map with the highest
// throttle site in the top row and the rpm sites rising to the right, as their tables show
// them; a curve as one row of its 16 points over its input axis.
class TClipItem {
  public:
    static TClipItem FuelMap(const TZVDataSet& set);
    static TClipItem AfrMap(const TZVDataSet& set);
    // The curve whose 16 bytes start at base (temperature, general purpose or idle), read in
    // the mode the data set's flags word gives it.
    static TClipItem Curve(const TZVDataSet& set, std::size_t base);

    int Rows() const { return static_cast<int>(rowLabels_.size()); }
    int Cols() const { return static_cast<int>(colLabels_.size()); }
    TTableBlock Whole() const { return {0, 0, Rows(), Cols()}; }
    const std::string& Corner() const { return corner_; }
    const std::vector<std::string>& RowLabels() const { return rowLabels_; }
    const std::vector<std::string>& ColLabels() const { return colLabels_; }
    const TextPair& Name() const { return name_; }
    bool IsCurve() const { return Rows() == 1; }

    // Where the cell lies in the image and in the unit.
    TImageWrite Where(int row, int col) const;
    std::uint8_t Byte(const ImageBytes& image, int row, int col) const;

    // The value of a byte as the page shows it.
    std::string Text(std::uint8_t b) const;
    // The same as a number, for reading typed values back (nothing for NC).
    std::optional<double> Shown(std::uint8_t b) const;
    // The bytes the page's keys can give a cell, lowest value first.
    std::vector<std::uint8_t> ValidBytes() const;
    // Half the last shown digit: typed values this close to a shown value mean it.
    double Tolerance() const;
    bool TakesNC() const { return scale_ == TClipScale::Afr; }
    std::uint8_t NCByte() const;
    bool IsNC(std::uint8_t b) const { return TakesNC() && (b & 0x80) != 0; }

  private:
    TClipItem(TClipScale scale, TextPair name) : scale_(scale), name_(name) {}

    TClipScale scale_;
    TextPair name_;
    std::string corner_;
    std::vector<std::string> rowLabels_;
    std::vector<std::string> colLabels_;
    std::size_t base_ = 0;  // curves: image offset of the 16 bytes
    int firmware_ = 0;      // the fuel map's unit address moved with it
};

// The curves that can be named on the command line, by their short names.
struct TCurveName {
    const char* Short;
    std::size_t Base;
};
const std::vector<TCurveName>& ClipCurveNames();
std::optional<std::size_t> CurveBaseOfName(const std::string& name);

}  // namespace zv
