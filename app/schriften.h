// The named fonts of the window: Tahoma (Command1, Command2) and MS Sans Serif
// (Command3, Label5).
//
// Debian's fonts-wine package holds a free Tahoma in a folder that fontconfig does
// not search; it is registered from there where present and stands in for MS Sans
// Serif, a bitmap font that Qt cannot draw. Where it is absent, the platform
// substitutes fonts of its own.
//
// Tahoma has no bold face here: Qt thickens the regular glyphs itself, by an amount
// taken from the font's size in the window's units. On a screen with a scale factor
// (QT_SCALE_FACTOR=2, or QT_FONT_DPI=144) the glyphs are drawn larger but thickened
// only as much as unscaled, so bold captions looked regular. FetteBeschriftung
// draws them in the screen's own pixels with the font at the screen's size, so the
// thickening grows with the glyphs. (Qt thickens glyphs of less than 64 pixels only:
// from a factor of 4 on, Command3's 12 pt are drawn regular all the same.)
#pragma once

#include <QProxyStyle>

namespace bogenkette {

// Registers Tahoma for this program; true when Tahoma can be used.
bool schriftenEinrichten();

// The style of the controls with bold captions: draws a bold caption in the
// screen's pixels where the screen has a scale factor, otherwise as usual.
class FetteBeschriftung : public QProxyStyle {
public:
    void drawItemText(QPainter* maler, const QRect& rechteck, int ausrichtung,
                      const QPalette& palette, bool aktiv, const QString& text,
                      QPalette::ColorRole rolle) const override;
};

}  // namespace bogenkette
