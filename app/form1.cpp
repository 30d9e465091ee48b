#include "app/form1.h"

#include "app/bildfeld.h"
#include "app/dateidialog.h"
#include "app/fokusrahmen.h"
#include "app/schriften.h"
#include "cad/dxfzeichnung.h"
#include "common/fehler.h"
#include "input/punktdatei.h"
#include "nc/ncprogramm.h"
#include "output/ausgabe.h"
#include "run/berechnungslauf.h"
#include "run/berichtspfad.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <filesystem>
#include <new>

#include "app/bogenkette.xpm"

namespace bogenkette {

namespace {

const QColor fensterfarbe(255, 192, 128);  // light orange
const QColor knopfgrau(192, 192, 192);

// Window lengths are given in twips, 1/1440 inch.
int twips(int wert, int dpi) { return qRound(wert * dpi / 1440.0); }

QFont fetteSchrift(const char* familie, double punkte)
{
    QFont schrift(QString::fromLatin1(familie));
    schrift.setPointSizeF(punkte);
    schrift.setBold(true);
    return schrift;
}

// The fonts that stand in for the design's ones may be wider than those: a caption
// that would be cut off is set smaller, a quarter point at a time, until it fits.
void einpassen(QWidget* steuerelement, const QString& text, int innenrand)
{
    QFont schrift = steuerelement->font();
    while (QFontMetrics(schrift).horizontalAdvance(text) + innenrand > steuerelement->width()
           && schrift.pointSizeF() > 6.0)
        schrift.setPointSizeF(schrift.pointSizeF() - 0.25);
    steuerelement->setFont(schrift);
}

std::string pfadVon(const QString& name) { return QFile::encodeName(name).toStdString(); }

// The types the report's save dialog offers: the report alone, or with an NC
// program in one of the two dialects beside it (the order of Form1::ncWahl_).
const QStringList berichtsfilter = {QStringLiteral("TXT-Dateien (*.txt *.TXT)"),
                                    QStringLiteral("Bericht und Klartext-Programm (*.TXT *.H)"),
                                    QStringLiteral("Bericht und DIN/ISO-Programm (*.TXT *.NC)"),
                                    QStringLiteral("Bericht und DXF-Zeichnung (*.TXT *.DXF)")};

// Shows the run in the window: the sketch of the points as soon as they are read.
class Laufanzeige : public Kettenausgabe {
public:
    explicit Laufanzeige(Bildfeld& bild) : bild_(bild) {}
    void beginnen(const Kontur& kontur, double) override { bild_.skizzeZeichnen(kontur); }
    void bogenAufnehmen(const Bogen&) override {}
    void abschliessen() override {}

private:
    Bildfeld& bild_;
};

// And once the run has succeeded, the path the machine will cut over the sketch
// (with compensation still the contour's: the program holds the compensation).
class Bahnanzeige : public Bahnausgabe {
public:
    explicit Bahnanzeige(Bildfeld& bild) : bild_(bild) {}
    void beginnen(const Kontur& kontur, double, const Toleranzband&) override { kontur_ = &kontur; }
    void bahnBeginnen(Bahnpunkt) override {}
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& element) override
    {
        elemente_.emplace_back(von, element);
    }
    void abschliessen(const Bahnabschluss&) override {}
    void freigeben() override { bild_.bahnZeichnen(*kontur_, elemente_); }

private:
    Bildfeld& bild_;
    const Kontur* kontur_ = nullptr;
    std::vector<std::pair<Bahnpunkt, Bahnelement>> elemente_;
};

// The busy cursor for as long as the computation runs.
class Wartezeiger {
public:
    Wartezeiger() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Wartezeiger() { QApplication::restoreOverrideCursor(); }
    Wartezeiger(const Wartezeiger&) = delete;
    Wartezeiger& operator=(const Wartezeiger&) = delete;
};

}  // namespace

Form1::Form1(std::unique_ptr<Dateidialog> dialog, Zahlenformat format, Einstellungen einstellungen,
             QWidget* eltern)
    : QWidget(eltern), format_(std::move(format)), einstellungen_(std::move(einstellungen))
{
    pabDatei = dialog ? std::move(dialog) : qtDateidialog(this);
    ncWahl_ = std::clamp<qsizetype>(einstellungen_.dateityp(), 0, berichtsfilter.size() - 1);
    steuerelementeAnlegen();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::steuerelementeAnlegen()
{
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    const auto platzieren = [&](QWidget* w, const char* name, int links, int oben, int breite,
                                int hoehe) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(twips(links, dpiX), twips(oben, dpiY), twips(breite, dpiX),
                       twips(hoehe, dpiY));
    };
    const auto beschriftung = [&](const char* name, const char* text, int links, int oben,
                                  int breite, int hoehe) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        platzieren(label, name, links, oben, breite, hoehe);
        einpassen(label, label->text(), 0);
        return label;
    };

    setWindowTitle(QStringLiteral("Berechnung von Bogenstücken nach Konturpunkten"));
    setWindowIcon(QIcon(QPixmap(bogenkette_xpm)));
    setFixedSize(twips(10335, dpiX), twips(5445, dpiY));
    // The standard font of a window of this design.
    QFont standard(QStringLiteral("MS Sans Serif"));
    standard.setPointSizeF(8.25);
    setFont(standard);

    Command1 = new QPushButton(QStringLiteral("Auswahl der SPL-Datei"), this);
    platzieren(Command1, "Command1", 360, 600, 3135, 735);
    Command1->setFont(fetteSchrift("Tahoma", 11.25));

    Command2 = new QPushButton(QStringLiteral("Konvertierergebnis  speichern"), this);
    platzieren(Command2, "Command2", 360, 1920, 3135, 735);
    Command2->setFont(fetteSchrift("Tahoma", 11.25));
    QPalette grau = Command2->palette();
    grau.setColor(QPalette::Button, knopfgrau);
    Command2->setPalette(grau);

    Command3 = new QPushButton(QStringLiteral("Berechnung durchführen"), this);
    platzieren(Command3, "Command3", 240, 4080, 3375, 735);
    Command3->setFont(fetteSchrift("MS Sans Serif", 12));

    Label1 = beschriftung("Label1", "Eingabe des zulässigen Konturfehlers", 360, 2880, 3135, 375);

    // The border is the standard single border of 30 twips on each side.
    Picture1 = new Bildfeld(twips(30, dpiX), this);
    platzieren(Picture1, "Picture1", 3960, 240, 5895, 4815);
    Picture1->setFocusPolicy(Qt::TabFocus);
    Picture1->leeren();

    Label2 = beschriftung("Label2", "Dateneingabe", 360, 240, 3015, 255);
    Label3 = beschriftung("Label3", "Datenausgabe", 600, 1560, 2655, 375);
    Label4 = beschriftung("Label4", "Skizze des eigelesenen Punktverlaufes", 5760, 5160, 3255, 255);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    HScroll1 = new Schieber(this);
    platzieren(HScroll1, "HScroll1", 360, 3120, 3135, 375);
    HScroll1->setRange(1, 100);
    // It starts at the contour error that an untouched run would use, so that what
    // the bar and its label show is what is computed.
    HScroll1->setValue(qRound(standardFehl * 100));
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    HScroll1->setTracking(false);  // dragging the thumb changes nothing until it is let go
    // A scroll bar inverts its keys by default, as suits scrolling a page; this one sets
    // a value that grows to the right, so Right, Up and PageUp raise it.
    HScroll1->setInvertedControls(false);
    HScroll1->setFocusPolicy(Qt::StrongFocus);

    Label5 = beschriftung("Label5", " ", 1560, 3480, 855, 375);
    Label5->setFont(fetteSchrift("MS Sans Serif", 9.75));
    fetteBeschriftung_ = std::make_unique<FetteBeschriftung>();
    for (QWidget* fett : std::initializer_list<QWidget*>{Command1, Command2, Command3, Label5})
        fett->setStyle(fetteBeschriftung_.get());

    // A button's caption has the bevel and the style's margin on both sides.
    const int knopfrand = style()->pixelMetric(QStyle::PM_ButtonMargin)
                          + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    for (QPushButton* knopf : {Command1, Command2, Command3}) {
        einpassen(knopf, knopf->text(), knopfrand);
        // Return and Enter press the focused button, as Space does; outside a dialog
        // a Qt button leaves them to its window.
        knopf->setAutoDefault(true);
    }

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Picture1);
    setTabOrder(Picture1, HScroll1);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::HScroll1_Change);
}

void Form1::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), fensterfarbe); }

void Form1::Form_Load()
{
    Command2->setVisible(false);
    Command3->setVisible(false);
    HScroll1_Change();  // fehl and Label5 from the bar's start position
}

QString Form1::anfangsordner() const
{
    const QString ordner = einstellungen_.ordner();
    return !ordner.isEmpty() && QFileInfo(ordner).isDir() ? ordner : standardordner();
}

void Form1::gewaehltSpeichern() const
{
    einstellungen_.ordnerSpeichern(QFileInfo(pabDatei->dateiname()).absolutePath());
}

void Form1::Command1_Click()
{
    pabDatei->anfangsordnerSetzen(anfangsordner());
    pabDatei->filterSetzen({QStringLiteral("SPL- und DXF-Dateien (*.spl *.SPL *.dxf *.DXF)"),
                            QStringLiteral("alle Dateien (*)")},
                           0);
    if (!pabDatei->zeigen(Dateidialog::Art::oeffnen))
        return;  // cancelled: nothing changes
    gewaehltSpeichern();
    strDateiname_ = pabDatei->dateiname();
    kanal1_.reset();  // a new choice closes the point file chosen before
    try {
        kanal1_ = std::make_unique<Punktkanal>(pfadVon(strDateiname_));
        gleicheDateiPruefen();
    } catch (const Fehler& fehler) {
        fehlschlag(fehler.what());
        return;
    }
    Command2->setVisible(true);
    knoepfeAnpassen();
}

void Form1::Command2_Click()
{
    pabDatei->anfangsordnerSetzen(anfangsordner());
    pabDatei->filterSetzen(berichtsfilter, ncWahl_);  // the type chosen last time
    if (!pabDatei->zeigen(Dateidialog::Art::speichern))
        return;  // cancelled: nothing changes
    ncWahl_ = pabDatei->gewaehlterFilter();
    gewaehltSpeichern();
    einstellungen_.dateitypSpeichern(ncWahl_);
    const std::string berichtspfad = berichtspfadAbleiten(pfadVon(pabDatei->dateiname()));
    kanal2_.reset();  // forgets the report name chosen before
    try {
        if (kanal1_)
            berichtPruefen(pfadVon(strDateiname_), berichtspfad);
        // Refused at once, without waiting on a pipe and without leaving a file.
        Berichtsdatei::pruefen(berichtspfad);
        kanal2_ = berichtspfad;
    } catch (const Fehler& fehler) {
        // Only the report name was wrong: the point file stays chosen, so that a valid
        // name is all that is needed next.
        knoepfeAnpassen();
        fehlerMelden(QString::fromStdString(fehler.what()));
        return;
    }
    Command3->setVisible(true);
    knoepfeAnpassen();
}

void Form1::HScroll1_Change()
{
    fehl_ = HScroll1->value() / 100.0;
    Label5->setText(format_.locale().toString(fehl_, 'g', QLocale::FloatingPointShortest));
}

void Form1::Command3_Click()
{
    if (!kanal1_ || !kanal2_ || !ersetzenErlaubt())
        return;
    std::string meldung;
    {
        const Wartezeiger warten;
        // Each computation shows only its own points.
        Picture1->leeren();
        Laufanzeige anzeige(*Picture1);
        Bahnanzeige bahnanzeige(*Picture1);
        Kettenausgabe* const ausgaben[] = {&anzeige};
        std::vector<Bahnausgabe*> bahnausgaben{&bahnanzeige};
        try {
            // The names are checked again: a pipe put in their place meanwhile
            // would be waited on.
            Berichtsdatei::pruefen(*kanal2_);
            Berichtsdatei bericht(*kanal2_);
            std::unique_ptr<Bahnausgabe> beiDemBericht;
            Korrektur korrektur = Korrektur::aus;
            if (const std::optional<Ausgabedatei> datei = beilage()) {
                ausgabenPruefen(pfadVon(strDateiname_), *kanal2_, {&*datei, 1});
                Berichtsdatei::pruefen(datei->pfad, datei->bezeichnung);
                if (const std::optional<Dialekt> dialekt = ncDialekt()) {
                    const Programmvorgaben vorgaben = einstellungen_.programmLesen();
                    beiDemBericht =
                        std::make_unique<NcProgramm>(*dialekt, datei->pfad, pfadVon(strDateiname_),
                                                     vorgaben.vorschub, vorgaben.bearbeitung);
                    if (vorgaben.bearbeitung)
                        korrektur = vorgaben.bearbeitung->korrektur;
                } else {
                    beiDemBericht = std::make_unique<DxfZeichnung>(datei->pfad);
                }
                bahnausgaben.push_back(beiDemBericht.get());
            }
            const Laufauftrag auftrag{
                pfadVon(strDateiname_), fehl_, format_,  Kettenverfahren::schnell,
                Bahnverfahren::kurz,    1,     korrektur};
            // A program the tool cannot cut is left out; the report is written.
            for (const std::string& ablehnung :
                 berechnungDurchfuehren(auftrag, bericht, ausgaben, bahnausgaben).ablehnungen)
                meldung += (meldung.empty() ? "" : "\n") + ablehnung;
        } catch (const Fehler& fehler) {
            meldung = fehler.what();
        } catch (const std::bad_alloc&) {
            meldung = "Nicht genug Arbeitsspeicher für die Punktdatei "
                      + dateiname(pfadVon(strDateiname_)) + ".";
        }
        kanaeleSchliessen();
        knoepfeAnpassen();
    }
    if (!meldung.empty())
        fehlerMelden(QString::fromStdString(meldung));
}

std::optional<Dialekt> Form1::ncDialekt() const
{
    if (ncWahl_ == 1)
        return Dialekt::klartext;
    if (ncWahl_ == 2)
        return Dialekt::din;
    return std::nullopt;
}

std::optional<Ausgabedatei> Form1::beilage() const
{
    if (const std::optional<Dialekt> dialekt = ncDialekt())
        return Ausgabedatei{"NC-Programm", ncPfadAbleiten(*kanal2_, *dialekt)};
    if (ncWahl_ == 3)
        return Ausgabedatei{"DXF-Zeichnung", dxfPfadAbleiten(*kanal2_)};
    return std::nullopt;
}

// The dialog does not ask about the report file nor the file beside it: their names are
// derived from the chosen one. So a file of those names is replaced only after the
// user has agreed here.
bool Form1::ersetzenErlaubt()
{
    std::vector<std::string> pfade{*kanal2_};
    if (const std::optional<Ausgabedatei> datei = beilage())
        pfade.push_back(datei->pfad);
    for (const std::string& pfad : pfade) {
        std::error_code fehler;
        if (std::filesystem::is_regular_file(pfad, fehler)
            && !ersetzenFragen(QString::fromStdString("Die Datei " + dateiname(pfad)
                                                      + " existiert bereits. Ersetzen?")))
            return false;
    }
    return true;
}

void Form1::gleicheDateiPruefen() const
{
    if (kanal1_ && kanal2_)
        berichtPruefen(pfadVon(strDateiname_), *kanal2_);
}

void Form1::kanaeleSchliessen()
{
    kanal1_.reset();
    kanal2_.reset();
}

void Form1::knoepfeAnpassen() { Command3->setEnabled(kanal1_ && kanal2_); }

void Form1::fehlschlag(const std::string& text)
{
    kanaeleSchliessen();
    knoepfeAnpassen();
    fehlerMelden(QString::fromStdString(text));
}

void Form1::fehlerMelden(const QString& text) { QMessageBox::critical(this, windowTitle(), text); }

bool Form1::ersetzenFragen(const QString& frage)
{
    QMessageBox box(QMessageBox::Question, windowTitle(), frage, QMessageBox::NoButton, this);
    const QPushButton* ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    // Return or Escape alone replace nothing.
    box.setDefaultButton(nein);
    box.setEscapeButton(nein);
    box.exec();
    return box.clickedButton() == ja;
}

}  // namespace bogenkette
