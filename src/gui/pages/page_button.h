#pragma once

class QToolButton;

namespace zv::gui {

// A button of an editor page: text only, as wide as its column, never taking the keyboard
// focus away from the main window's key control.
QToolButton* PageToolButton(bool checkable);

}  // namespace zv::gui
