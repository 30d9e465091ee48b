#include "app/dateidialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace bogenkette
{

bool Dateidialog::zeigen(Art art)
{
    const QFileInfo name(dateiname_);
    const bool mitOrdner = dateiname_.contains(QLatin1Char('/'));
    const QString ordner = mitOrdner ? name.absolutePath() : anfangsordner_;
    const std::optional<QString> gewaehlt = anzeigen(art, ordner, name.fileName(), filter_);
    if (!gewaehlt || gewaehlt->isEmpty())
        return false;
    dateiname_ = *gewaehlt;
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

namespace
{

class QtDateidialog : public Dateidialog
{
  public:
    explicit QtDateidialog(QWidget* eltern) : dialog_(eltern)
    {
        // The report takes a name derived from the chosen one, so a question about
        // replacing the chosen file would ask about the wrong file.
        dialog_.setOption(QFileDialog::DontConfirmOverwrite);
    }

  protected:
    std::optional<QString> anzeigen(Art art, const QString& ordner, const QString& vorschlag,
                                    const QStringList& filter) override
    {
        const bool oeffnen = art == Art::oeffnen;
        dialog_.setWindowTitle(oeffnen ? QStringLiteral("Öffnen")
                                       : QStringLiteral("Speichern unter"));
        dialog_.setAcceptMode(oeffnen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog_.setFileMode(oeffnen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog_.setNameFilters(filter);
        if (!filter.isEmpty())
            dialog_.selectNameFilter(filter.first());
        dialog_.setDirectory(ordner);
        dialog_.selectFile(vorschlag);
        if (dialog_.exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList dateien = dialog_.selectedFiles();
        if (dateien.isEmpty())
            return std::nullopt;
        return dateien.first();
    }

  private:
    QFileDialog dialog_;
};

} // namespace

std::unique_ptr<Dateidialog> qtDateidialog(QWidget* eltern)
{
    return std::make_unique<QtDateidialog>(eltern);
}

} // namespace bogenkette
