#pragma once

#include <QString>
#include <string>

namespace zv::gui {

// Core's UTF-8 texts for the widgets.
inline QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Views render many times a second: a text is set only when it changed, so that an unchanged
// page does not lay itself out again.
template <typename Widget>
void SetText(Widget* widget, const QString& text) {
    if (widget->text() != text)
        widget->setText(text);
}

}  // namespace zv::gui
