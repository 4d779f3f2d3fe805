#include "print/sheet_flow.h"

namespace zv {

namespace {

// The frame's 0.5 mm pen stays inside the printable area; text keeps 4 mm off the frame.
constexpr int kFrameInset = 100;
constexpr int kFramePen = 50;
constexpr int kPadding = 400;
constexpr int kFooterHeight = 1500;
constexpr int kAboveRule = 100;
constexpr int kBelowRule = 250;

}  // namespace

SheetFlow::SheetFlow(TDataSheet& sheet, TFurnish furnish)
    : sheet_(sheet),
      furnish_(std::move(furnish)),
      left_(kFrameInset + kPadding),
      right_(sheet.PageWidth - kFrameInset - kPadding) {
    page_ = -1;
    NewPage();
}

int SheetFlow::FrameBottom() const {
    return sheet_.PageHeight - kFrameInset;
}

int SheetFlow::FooterRule() const {
    return FrameBottom() - kFooterHeight;
}

int SheetFlow::ContentBottom() const {
    return FooterRule() - kBelowRule;
}

int SheetFlow::Pitch(int points) {
    return SheetEm(points) * 6 / 5;
}

bool SheetFlow::Fits(int rows, int points) const {
    return y_ + (rows - 1) * Pitch(points) + SheetEm(points) <= ContentBottom();
}

void SheetFlow::Keep(int rows, int points) {
    if (!Fits(rows, points))
        NewPage();
}

int SheetFlow::Row(int points) {
    Keep(1, points);
    const int top = y_;
    y_ += Pitch(points);
    return top;
}

void SheetFlow::NewPage() {
    ++page_;
    sheet_.PageCount = page_ + 1;
    y_ = kFrameInset + kPadding;
    furnish_(*this);
}

void SheetFlow::Text(int x, int y, std::string text, TSheetFont font, TSheetAlign align) {
    TSheetItem item;
    item.Page = page_;
    item.X = x;
    item.Y = y;
    item.Text = std::move(text);
    item.Font = font;
    item.Align = align;
    sheet_.Items.push_back(std::move(item));
}

void SheetFlow::Line(int x1, int y1, int x2, int y2, int pen) {
    TSheetItem item;
    item.Kind = TSheetItemKind::Line;
    item.Page = page_;
    item.X = x1;
    item.Y = y1;
    item.X2 = x2;
    item.Y2 = y2;
    item.PenWidth = pen;
    sheet_.Items.push_back(item);
}

void SheetFlow::Rule() {
    const int y = y_ + kAboveRule;
    // At the foot of a page the footer's own rule closes the section.
    if (y + kBelowRule >= ContentBottom())
        return;
    Line(kFrameInset, y, sheet_.PageWidth - kFrameInset, y, 1);
    y_ = y + kBelowRule;
}

void SheetFlow::Frame() {
    TSheetItem frame;
    frame.Kind = TSheetItemKind::Frame;
    frame.Page = page_;
    frame.X = kFrameInset;
    frame.Y = kFrameInset;
    frame.X2 = sheet_.PageWidth - kFrameInset;
    frame.Y2 = FrameBottom();
    frame.PenWidth = kFramePen;
    sheet_.Items.push_back(frame);
    Line(kFrameInset, FooterRule(), sheet_.PageWidth - kFrameInset, FooterRule(), 1);
}

void SheetFlow::Progress(int percent) {
    TSheetItem item;
    item.Kind = TSheetItemKind::Progress;
    item.Page = page_;
    item.Progress = percent;
    sheet_.Items.push_back(item);
}

}  // namespace zv
