#include "app/look.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QPalette>
#include <QStyleFactory>

namespace zv::gui {

namespace {

const QString kFontFamily = QStringLiteral("DejaVu Sans");

// Systems without the family (Windows) get the copy that ships beside the program, so that
// every window reads the same everywhere.
void LoadShippedFont() {
    if (QFontDatabase::hasFamily(kFontFamily))
        return;
    const QDir fonts(QApplication::applicationDirPath() + QStringLiteral("/../share/zvcontrol/fonts"));
    for (const QString& file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.absoluteFilePath(file));
}

}  // namespace

void ApplyLook(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    // A calm light palette with strong text: it reads in a bright workshop and next to an
    // engine, and leaves colour to the values that carry meaning (lamps, bars).
    QPalette p;
    const QColor window(0xEE, 0xF0, 0xF3);
    const QColor text(0x1B, 0x1F, 0x24);
    const QColor accent(0x1F, 0x5F, 0xAF);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(0xF5, 0xF6, 0xF8));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0xF7, 0xF8, 0xFA));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFD, 0xE8));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Light, Qt::white);
    p.setColor(QPalette::Midlight, QColor(0xE2, 0xE5, 0xEA));
    p.setColor(QPalette::Mid, QColor(0xB4, 0xBA, 0xC4));
    p.setColor(QPalette::Dark, QColor(0x86, 0x8E, 0x9A));
    p.setColor(QPalette::Shadow, QColor(0x4A, 0x50, 0x58));
    p.setColor(QPalette::PlaceholderText, QColor(0x80, 0x86, 0x90));
    p.setColor(QPalette::Link, accent);
    const QColor disabledText(0x9A, 0xA0, 0xA8);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, disabledText);
    }
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0xA0, 0xA8, 0xB4));
    app.setPalette(p);

    LoadShippedFont();
    QFont font(kFontFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(10);
    app.setFont(font);
}

QColor ColourOf(std::uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

}  // namespace zv::gui
