#include "app/schriften.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QString>

namespace bogenkette {

bool schriftenEinrichten()
{
    // Only the regular face: the bold one of fonts-wine has glyphs of regular weight
    // on bold spacing, so bold text looked thin and spaced out. Qt makes the regular
    // face bold itself.
    const QString pfad = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(pfad))
        QFontDatabase::addApplicationFont(pfad);
    const QString tahoma = QStringLiteral("Tahoma");
    if (!QFontDatabase::hasFamily(tahoma))
        return false;
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), tahoma);
    return true;
}

void FetteBeschriftung::drawItemText(QPainter* maler, const QRect& rechteck, int ausrichtung,
                                     const QPalette& palette, bool aktiv, const QString& text,
                                     QPalette::ColorRole rolle) const
{
    const qreal faktor = maler->device()->devicePixelRatioF();
    const QFont schrift = maler->font();
    const bool massstabGerade = maler->worldTransform().type() <= QTransform::TxTranslate;
    if (faktor == 1.0 || !schrift.bold() || !massstabGerade) {
        QProxyStyle::drawItemText(maler, rechteck, ausrichtung, palette, aktiv, text, rolle);
        return;
    }
    // Undo the scale factor, and enlarge the font and the rectangle by it instead.
    QFont gross = schrift;
    if (schrift.pointSizeF() > 0)
        gross.setPointSizeF(schrift.pointSizeF() * faktor);
    else
        gross.setPixelSize(qRound(schrift.pixelSize() * faktor));
    const QRect flaeche = QRectF(rechteck.x() * faktor, rechteck.y() * faktor,
                                 rechteck.width() * faktor, rechteck.height() * faktor)
                              .toRect();
    maler->save();
    maler->scale(1 / faktor, 1 / faktor);
    maler->setFont(gross);
    QProxyStyle::drawItemText(maler, flaeche, ausrichtung, palette, aktiv, text, rolle);
    maler->restore();
}

}  // namespace bogenkette
