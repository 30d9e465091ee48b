#include "run/einstellungen.h"

#include "common/fehler.h"
#include "input/punktdatei.h"
#include "nc/ncprogramm.h"

#include <QSettings>
#include <QStandardPaths>

namespace bogenkette {

namespace {

const QString bearbeitungsgruppe = QStringLiteral("Bearbeitung");
const QString vorschubSchluessel = QStringLiteral("Bearbeitung/vorschub");
const QString ordnerSchluessel = QStringLiteral("Fenster/ordner");
const QString dateitypSchluessel = QStringLiteral("Fenster/dateityp");

// A value as the file holds it: a text with a comma reads as a list.
std::string wertText(const QVariant& wert)
{
    return wert.typeId() == QMetaType::QStringList
               ? wert.toStringList().join(QLatin1Char(',')).toStdString()
               : wert.toString().toStdString();
}

QString schluessel(std::string_view name)
{
    return bearbeitungsgruppe + QLatin1Char('/')
           + QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

Einstellungen::Einstellungen()
    : datei_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
             + QStringLiteral("/bogenkette/bogenkette.conf"))
{
}

Einstellungen::Einstellungen(QString datei) : datei_(std::move(datei)) {}

Programmvorgaben Einstellungen::programmLesen() const
{
    const QSettings datei(datei_, QSettings::IniFormat);
    const std::string name = "Einstellungsdatei " + dateiname(datei_.toStdString()) + ": ";
    Programmvorgaben vorgaben{std::nullopt, standardVorschub};
    Bearbeitung bearbeitung;
    bool gesetzt = false;
    for (const std::string_view option : bearbeitungsnamen) {
        const QVariant wert = datei.value(schluessel(option));
        if (!wert.isValid())
            continue;
        const std::string text = wertText(wert);
        if (const auto fehler = bearbeitungSetzen(bearbeitung, option, text))
            throw Fehler(name + std::string(option) + " \"" + text + "\" " + *fehler + ".");
        gesetzt = true;
    }
    if (radiusFehlt(bearbeitung))
        throw Fehler(name + "die Korrektur " + korrekturText(bearbeitung.korrektur)
                     + " braucht werkzeugradius.");
    if (gesetzt)
        vorgaben.bearbeitung = bearbeitung;
    if (const QVariant wert = datei.value(vorschubSchluessel); wert.isValid()) {
        const std::string text = wertText(wert);
        if (!zahlLesen(text, vorgaben.vorschub) || !(vorgaben.vorschub >= kleinsterVorschub)
            || !(vorgaben.vorschub <= groessterVorschub))
            throw Fehler(name + "vorschub \"" + text
                         + "\" ist kein Vorschub von 0.0001 bis 99999.9999 mm/min.");
    }
    return vorgaben;
}

void Einstellungen::programmSpeichern(
    const std::vector<std::pair<std::string, std::string>>& werte) const
{
    QSettings datei(datei_, QSettings::IniFormat);
    datei.remove(bearbeitungsgruppe);
    for (const auto& [option, text] : werte)
        datei.setValue(schluessel(option), QString::fromStdString(text));
    datei.sync();
    if (datei.status() != QSettings::NoError)
        throw Fehler("Einstellungsdatei " + dateiname(datei_.toStdString())
                     + " kann nicht geschrieben werden.");
}

QString Einstellungen::ordner() const
{
    return QSettings(datei_, QSettings::IniFormat).value(ordnerSchluessel).toString();
}

void Einstellungen::ordnerSpeichern(const QString& ordner) const
{
    QSettings(datei_, QSettings::IniFormat).setValue(ordnerSchluessel, ordner);
}

qsizetype Einstellungen::dateityp() const
{
    return QSettings(datei_, QSettings::IniFormat).value(dateitypSchluessel, 0).toLongLong();
}

void Einstellungen::dateitypSpeichern(qsizetype typ) const
{
    QSettings(datei_, QSettings::IniFormat)
        .setValue(dateitypSchluessel, static_cast<qlonglong>(typ));
}

}  // namespace bogenkette
