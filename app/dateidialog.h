// pabDatei: the window's one file dialog, used in turn to choose the point file
// (open) and the report file (save).
//
// It keeps its file name from one use to the next: the name starts empty, a
// confirmed choice replaces it, and a cancelled dialog leaves it as it was. Each
// use proposes the kept name and opens in its folder, or in the initial folder
// while the name holds none. Showing the dialog itself is left to a subclass, so
// that tests can answer in place of a user.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

namespace bogenkette {

class Dateidialog {
public:
    enum class Art { oeffnen, speichern };

    virtual ~Dateidialog() = default;

    void anfangsordnerSetzen(const QString& ordner) { anfangsordner_ = ordner; }
    // Entries in Qt's filter syntax, e.g. "SPL-Dateien (*.spl *.SPL)"; entry
    // `vorauswahl` is selected when the dialog opens.
    void filterSetzen(const QStringList& filter, qsizetype vorauswahl)
    {
        filter_ = filter;
        vorauswahl_ = vorauswahl;
    }
    const QString& dateiname() const { return dateiname_; }
    // The filter entry selected when the user last confirmed a name.
    qsizetype gewaehlterFilter() const { return gewaehlterFilter_; }

    // Shows the dialog. True when the user confirmed a name, which is then the kept
    // file name; false when the user cancelled, and nothing has changed.
    bool zeigen(Art art);

protected:
    // The user's choice: the file's full path and the filter entry selected.
    struct Wahl {
        QString datei;
        qsizetype filter = 0;
    };
    // Shows the dialog in `ordner` with `vorschlag` as the proposed name and filter
    // entry `vorauswahl` selected; gives the choice, or nothing when the user cancels.
    virtual std::optional<Wahl> anzeigen(Art art, const QString& ordner, const QString& vorschlag,
                                         const QStringList& filter, qsizetype vorauswahl) = 0;

private:
    QString anfangsordner_;
    QStringList filter_;
    qsizetype vorauswahl_ = 0;
    QString dateiname_;
    qsizetype gewaehlterFilter_ = 0;
};

// The folder the dialogs start in: "C:\Eigene Dateien" where it exists, otherwise
// the user's documents folder, otherwise the home folder.
QString standardordner();

// The dialog as the user sees it: one QFileDialog, shown again for every use.
std::unique_ptr<Dateidialog> qtDateidialog(QWidget* eltern);

}  // namespace bogenkette
