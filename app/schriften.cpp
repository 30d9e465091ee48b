#include "app/schriften.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QString>

namespace bogenkette
{

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

} // namespace bogenkette
