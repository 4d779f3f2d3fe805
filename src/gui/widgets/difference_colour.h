#pragma once

#include <QColor>
#include <QWidget>

#include "compare/difference_tint.h"

namespace zv::gui {

// The tint of a difference class as core gives it; class 0 takes the palette's base, so that
// unmoved cells stay plain.
inline QColor DifferenceColour(int differenceClass, const QWidget& widget) {
    if (differenceClass == 0)
        return widget.palette().color(QPalette::Base);
    const TRgb c = DifferenceTint(differenceClass);
    return {c.R, c.G, c.B};
}

}  // namespace zv::gui
