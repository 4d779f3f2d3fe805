#pragma once

class QLabel;
class QString;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace zv::gui {

class TReadout;

// A button of an editor page: text only, as wide as its column, never taking the keyboard
// focus away from the main window's key control.
QToolButton* PageToolButton(bool checkable);

// The column at an editor page's right: the cursor's value and the unit's output in large
// digits, then a stretch; the page adds its buttons below it to Column.
struct TValueColumn {
    QWidget* Panel = nullptr;
    QVBoxLayout* Column = nullptr;
    QLabel* ManLabel = nullptr;
    TReadout* ManValue = nullptr;
    QLabel* AutoLabel = nullptr;
    TReadout* AutoValue = nullptr;
};
// widestValue sizes the readouts ("255", "-100").
TValueColumn BuildValueColumn(const QString& widestValue);

}  // namespace zv::gui
