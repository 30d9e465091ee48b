#include "app/dateidialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace bogenkette {

bool Dateidialog::zeigen(Art art)
{
    const QFileInfo name(dateiname_);
    const bool mitOrdner = dateiname_.contains(QLatin1Char('/'));
    const QString ordner = mitOrdner ? name.absolutePath() : anfangsordner_;
    const std::optional<Wahl> gewaehlt =
        anzeigen(art, ordner, name.fileName(), filter_, vorauswahl_);
    if (!gewaehlt || gewaehlt->datei.isEmpty())
        return false;
    dateiname_ = gewaehlt->datei;
    gewaehlterFilter_ = gewaehlt->filter;
    return true;
}

QString standardordner()
{
    const QString eigeneDateien = QStringLiteral("C:\\Eigene Dateien");
    if (QFileInfo(eigeneDateien).isDir())
        return eigeneDateien;
    const QString dokumente = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!dokumente.isEmpty() && QFileInfo(dokumente).isDir())
        return dokumente;
    return QDir::homePath();
}

namespace {

class QtDateidialog : public Dateidialog {
public:
    explicit QtDateidialog(QWidget* eltern) : dialog_(eltern)
    {
        // The report takes a name derived from the chosen one, so a question about
        // replacing the chosen file would ask about the wrong file.
        dialog_.setOption(QFileDialog::DontConfirmOverwrite);
    }

protected:
    std::optional<Wahl> anzeigen(Art art, const QString& ordner, const QString& vorschlag,
                                 const QStringList& filter, qsizetype vorauswahl) override
    {
        const bool oeffnen = art == Art::oeffnen;
        dialog_.setWindowTitle(oeffnen ? QStringLiteral("Öffnen")
                                       : QStringLiteral("Speichern unter"));
        dialog_.setAcceptMode(oeffnen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog_.setFileMode(oeffnen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog_.setNameFilters(filter);
        if (vorauswahl >= 0 && vorauswahl < filter.size())
            dialog_.selectNameFilter(filter[vorauswahl]);
        dialog_.setDirectory(ordner);
        dialog_.selectFile(vorschlag);
        if (dialog_.exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList dateien = dialog_.selectedFiles();
        if (dateien.isEmpty())
            return std::nullopt;
        return Wahl{dateien.first(),
                    std::max<qsizetype>(0, filter.indexOf(dialog_.selectedNameFilter()))};
    }

private:
    QFileDialog dialog_;
};

}  // namespace

std::unique_ptr<Dateidialog> qtDateidialog(QWidget* eltern)
{
    return std::make_unique<QtDateidialog>(eltern);
}

}  // namespace bogenkette
