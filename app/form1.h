// Form1: the one window of the program and its whole workflow.
//
// In the left column the user chooses the point file (Command1), then the report
// file (Command2), sets the contour error fehl with the scroll bar (HScroll1, its
// value shown by Label5; it starts at 0,05), and starts the computation (Command3);
// the sketch of the points appears in the picture area on the right (Picture1), and
// after a successful run the path the machine will cut over it. The point file may
// be a DXF drawing (its first contour). The report's save dialog also offers an NC
// program (klartext or DIN/ISO) or a DXF drawing of the path beside the report,
// with its base name; the choice is kept for the next time. The settings file
// (run/einstellungen.h) holds the programs' machining options and feed, and keeps
// the folder of the last chosen file and the last type chosen over a restart.
// Command2 and Command3 appear in that order and are never hidden again.
//
// Channel 1 is the point file, opened when it is chosen (so that a file that cannot
// be read is reported at once); the computation reads it again by name. Channel 2
// is the report's name, checked when it is chosen (no folder, pipe or device, a
// folder that may be written to) without creating anything; the computation writes
// the report to a hidden file that takes the name only at its successful end. Both
// are closed after each computation, and Command3 stays disabled until both have
// been chosen again.
// Every failure is shown in a message box; it leaves no partial report and leaves
// the window usable. A rejected report name closes only channel 2, so the point
// file stays chosen; any other failure closes both channels.
#pragma once

#include "app/dateidialog.h"
#include "nc/ncprogramm.h"
#include "report/zahlenformat.h"
#include "run/berechnungslauf.h"
#include "run/einstellungen.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QScrollBar;
class QStyle;

namespace bogenkette {

class Bildfeld;
class Punktkanal;

class Form1 : public QWidget {
public:
    // `pabDatei`: the file dialog (the real one when none is given). `format`: the
    // regional number settings of Label5 and the report. `einstellungen`: the
    // settings file.
    explicit Form1(std::unique_ptr<Dateidialog> pabDatei = nullptr,
                   Zahlenformat format = Zahlenformat::system(),
                   Einstellungen einstellungen = Einstellungen(), QWidget* eltern = nullptr);
    ~Form1() override;

    const QString& strDateiname() const { return strDateiname_; }
    // The scroll bar's value divided by 100; it starts at standardFehl.
    double fehl() const { return fehl_; }
    bool punktdateiOffen() const { return kanal1_ != nullptr; }
    bool berichtOffen() const { return kanal2_.has_value(); }

protected:
    // Shows a failure to the user (a message box).
    virtual void fehlerMelden(const QString& text);
    // Asks the user whether an existing file may be replaced (Ja / Nein); true for Ja.
    virtual bool ersetzenFragen(const QString& frage);
    void paintEvent(QPaintEvent* ereignis) override;

private:
    void steuerelementeAnlegen();
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void HScroll1_Change();
    void Command3_Click();

    // The dialect of the NC program chosen with the report, if any.
    std::optional<Dialekt> ncDialekt() const;
    // The file chosen to be written beside the report (an NC program or a DXF
    // drawing), if any.
    std::optional<Ausgabedatei> beilage() const;
    bool ersetzenErlaubt();
    // The dialogs' initial folder: the one last chosen from, where it still exists.
    QString anfangsordner() const;
    void gewaehltSpeichern() const;
    void kanaeleSchliessen();
    void knoepfeAnpassen();
    void fehlschlag(const std::string& text);
    void gleicheDateiPruefen() const;

    // The controls, named as in the window's design.
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    Bildfeld* Picture1 = nullptr;
    std::unique_ptr<Dateidialog> pabDatei;
    std::unique_ptr<QStyle> fetteBeschriftung_;  // the style of the bold captions

    Zahlenformat format_;
    Einstellungen einstellungen_;
    QString strDateiname_;
    double fehl_ = 0.0;
    // The type chosen in the report's save dialog: 0 the report alone, 1 with a
    // klartext program, 2 with a DIN/ISO program, 3 with a DXF drawing. Kept for
    // the next choice.
    qsizetype ncWahl_ = 0;
    std::unique_ptr<Punktkanal> kanal1_;
    std::optional<std::string> kanal2_;  // the report's path
};

}  // namespace bogenkette
