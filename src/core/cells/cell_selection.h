#pragma once

namespace zv {

// A rectangle of map cells in site indices (0 = lowest site), both ends included: throttle
// sites TLow..THigh, engine-speed sites RLow..RHigh.
struct TCellRect {
    int TLow = 0, THigh = 0, RLow = 0, RHigh = 0;

    int Rows() const { return THigh - TLow + 1; }
    int Columns() const { return RHigh - RLow + 1; }
    int Count() const { return Rows() * Columns(); }
    bool Contains(int t, int r) const { return t >= TLow && t <= THigh && r >= RLow && r <= RHigh; }
    bool operator==(const TCellRect&) const = default;
};

// The operator's block on a map: the corner where it began stays while the cursor, its other
// corner, moves with Shift+arrows or a drag; a plain move or click collapses it to the cursor.
class TCellSelection {
  public:
    void Collapse(int t, int r) {
        anchorT_ = cursorT_ = t;
        anchorR_ = cursorR_ = r;
    }
    void Extend(int t, int r) {
        cursorT_ = t;
        cursorR_ = r;
    }
    int CursorT() const { return cursorT_; }
    int CursorR() const { return cursorR_; }
    TCellRect Rect() const {
        return {Min(anchorT_, cursorT_), Max(anchorT_, cursorT_), Min(anchorR_, cursorR_),
                Max(anchorR_, cursorR_)};
    }

  private:
    static int Min(int a, int b) { return a < b ? a : b; }
    static int Max(int a, int b) { return a < b ? b : a; }

    int anchorT_ = 0, anchorR_ = 0, cursorT_ = 0, cursorR_ = 0;
};

}  // namespace zv
