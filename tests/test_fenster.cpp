// The window: its controls and layout, the order in which the buttons appear, the
// file choices (a scripted dialog stands in for the user), the scroll bar, the
// compute pass with its report and sketch, and every failure path.
#include "app/bildfeld.h"
#include "app/dateidialog.h"
#include "app/form1.h"
#include "common/fehler.h"
#include "output/ausgabe.h"
#include "run/berechnungslauf.h"
#include "run/berichtspfad.h"
#include "testhilfen.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using namespace bogenkette;
using namespace bogenkette::test;

namespace {

QString q(const fs::path& pfad) { return QString::fromStdString(pfad.string()); }

// Answers the dialog in place of a user: each use takes the next answer, a name or
// a cancel, and is recorded with what the dialog proposed.
class Antworten : public Dateidialog {
public:
    struct Aufruf {
        Art art;
        QString ordner, vorschlag;
        QStringList filter;
        qsizetype vorauswahl;
    };
    std::deque<std::optional<QString>> naechste;
    qsizetype filterWahl = 0;  // the filter entry each confirmed answer leaves selected
    std::vector<Aufruf> aufrufe;

protected:
    std::optional<Wahl> anzeigen(Art art, const QString& ordner, const QString& vorschlag,
                                 const QStringList& filter, qsizetype vorauswahl) override
    {
        aufrufe.push_back({art, ordner, vorschlag, filter, vorauswahl});
        if (naechste.empty()) {
            ADD_FAILURE() << "the dialog was shown once too often";
            return std::nullopt;
        }
        auto antwort = naechste.front();
        naechste.pop_front();
        if (!antwort)
            return std::nullopt;
        return Wahl{*antwort, filterWahl};
    }
};

// The window with German number settings, its messages collected instead of shown
// and its questions recorded and answered from `ersetzen` (Yes when it is empty).
class Testfenster : public Form1 {
public:
    Testfenster(std::unique_ptr<Dateidialog> dialog, const fs::path& einstellungen)
        : Form1(std::move(dialog), Zahlenformat::deutsch(),
                Einstellungen(QString::fromStdString(einstellungen.string())))
    {
    }
    QStringList meldungen;
    QStringList fragen;
    std::deque<bool> ersetzen;

protected:
    void fehlerMelden(const QString& text) override { meldungen << text; }
    bool ersetzenFragen(const QString& frage) override
    {
        fragen << frage;
        if (ersetzen.empty())
            return true;
        const bool ja = ersetzen.front();
        ersetzen.pop_front();
        return ja;
    }
};

const std::string dreiPunkte = "0,0\r\n10,0\r\n10,5\r\n";

class Fenster : public Arbeitsordner {
protected:
    void SetUp() override
    {
        Arbeitsordner::SetUp();
        // The settings file beside the work folder, so that it is not one of its files.
        einstellungen = ordner.string() + ".conf";
        fs::remove(einstellungen);
        neuesFenster();
    }
    void TearDown() override
    {
        fenster.reset();
        fs::remove(einstellungen);
        Arbeitsordner::TearDown();
    }
    // A window as after a restart: with the settings file of the last.
    void neuesFenster()
    {
        fenster.reset();
        auto dialog = std::make_unique<Antworten>();
        antworten = dialog.get();
        fenster = std::make_unique<Testfenster>(std::move(dialog), einstellungen);
    }

    template <typename T = QWidget>
    T* element(const char* name) const
    {
        T* w = fenster->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton* knopf(const char* name) const { return element<QPushButton>(name); }
    bool sichtbar(const char* name) const { return knopf(name)->isVisibleTo(fenster.get()); }
    // Visible and enabled, for Command1, Command2, Command3.
    std::string knoepfe() const
    {
        std::string s;
        for (const char* name : {"Command1", "Command2", "Command3"})
            s += !sichtbar(name) ? '-' : knopf(name)->isEnabled() ? 'x' : 'o';
        return s;
    }

    // Presses a button whose dialog answers with the name (or a cancel).
    void waehlen(const char* name, std::optional<fs::path> antwort)
    {
        antworten->naechste.push_back(antwort ? std::optional<QString>(q(*antwort)) : std::nullopt);
        knopf(name)->click();
    }
    void punktdatei(std::optional<fs::path> p) { waehlen("Command1", p); }
    void bericht(std::optional<fs::path> p) { waehlen("Command2", p); }
    void rechnen() { knopf("Command3")->click(); }
    void schieben(int wert) { element<QScrollBar>("HScroll1")->setValue(wert); }

    Antworten* antworten = nullptr;
    std::unique_ptr<Testfenster> fenster;
    fs::path einstellungen;
};

// ------------------------------------------------------------------ the window

TEST_F(Fenster, Startzustand)
{
    EXPECT_EQ(fenster->windowTitle(),
              QStringLiteral("Berechnung von Bogenstücken nach Konturpunkten"));
    EXPECT_EQ(knoepfe(), "x--");
    // The bar and its label show the contour error that an untouched run uses.
    EXPECT_EQ(element<QLabel>("Label5")->text(), QStringLiteral("0,05"));
    const auto* hs = element<QScrollBar>("HScroll1");
    EXPECT_EQ(hs->value(), 5);
    EXPECT_EQ(hs->minimum(), 1);
    EXPECT_EQ(hs->maximum(), 100);
    EXPECT_EQ(hs->singleStep(), 1);
    EXPECT_EQ(hs->pageStep(), 1);
    EXPECT_FALSE(hs->hasTracking());  // dragging changes nothing until the thumb is let go
    EXPECT_EQ(fenster->fehl(), standardFehl);
    EXPECT_FALSE(fenster->punktdateiOffen());
    EXPECT_FALSE(fenster->berichtOffen());
    EXPECT_TRUE(fenster->strDateiname().isEmpty());
    EXPECT_FALSE(fenster->windowIcon().isNull());
}

struct Platz {
    const char* name;
    const char* text;                // nullptr: no caption
    int links, oben, breite, hoehe;  // pixels at 96 dpi: twips / 15
};

TEST_F(Fenster, SteuerelementeLageUndBeschriftung)
{
    ASSERT_EQ(fenster->logicalDpiX(), 96);
    ASSERT_EQ(fenster->logicalDpiY(), 96);
    EXPECT_EQ(fenster->size(), QSize(689, 363));
    EXPECT_EQ(fenster->minimumSize(), fenster->maximumSize());

    const Platz plaetze[] = {
        {"Command1", "Auswahl der SPL-Datei", 24, 40, 209, 49},
        {"Command2", "Konvertierergebnis  speichern", 24, 128, 209, 49},
        {"Command3", "Berechnung durchführen", 16, 272, 225, 49},
        {"Label1", "Eingabe des zulässigen Konturfehlers", 24, 192, 209, 25},
        {"Picture1", nullptr, 264, 16, 393, 321},
        {"Label2", "Dateneingabe", 24, 16, 201, 17},
        {"Label3", "Datenausgabe", 40, 104, 177, 25},
        {"Label4", "Skizze des eigelesenen Punktverlaufes", 384, 344, 217, 17},
        {"HScroll1", nullptr, 24, 208, 209, 25},
        {"Label5", "0,05", 104, 232, 57, 25},
    };
    for (const Platz& p : plaetze) {
        SCOPED_TRACE(p.name);
        const QWidget* w = element(p.name);
        EXPECT_EQ(w->geometry(), QRect(p.links, p.oben, p.breite, p.hoehe));
        if (const auto* b = qobject_cast<const QPushButton*>(w)) {
            EXPECT_EQ(b->text(), QString::fromUtf8(p.text));
        }
        if (const auto* l = qobject_cast<const QLabel*>(w)) {
            EXPECT_EQ(l->text(), QString::fromUtf8(p.text));
            const auto waagerecht = l->alignment() & Qt::AlignHorizontal_Mask;
            EXPECT_EQ(waagerecht,
                      p.name == std::string("Label4") ? Qt::AlignLeft : Qt::AlignHCenter);
        }
    }
    // The picture's drawing surface: 30 twips of border on each side.
    EXPECT_EQ(element<Bildfeld>("Picture1")->bild().size(), QSize(389, 317));
    EXPECT_EQ(knopf("Command2")->palette().color(QPalette::Button), QColor(192, 192, 192));
}

TEST_F(Fenster, Tabulatorfolge)
{
    for (const char* name : {"Command2", "Command3"})
        knopf(name)->setVisible(true);
    std::vector<std::string> folge;
    QWidget* w = knopf("Command1");
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            folge.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != knopf("Command1"));
    EXPECT_EQ(folge, (std::vector<std::string>{"Command1", "Command2", "Command3", "Picture1",
                                               "HScroll1"}));
}

TEST_F(Fenster, Schriften)
{
    if (QFontInfo(QFont(QStringLiteral("Tahoma"))).family() != QStringLiteral("Tahoma"))
        GTEST_SKIP() << "Tahoma (fonts-wine) is not installed";
    for (const char* name : {"Command1", "Command2", "Command3", "Label5"}) {
        SCOPED_TRACE(name);
        const QFontInfo info = element(name)->fontInfo();
        EXPECT_EQ(info.family(), QStringLiteral("Tahoma"));  // MS Sans Serif is drawn in Tahoma
        EXPECT_TRUE(info.bold());
    }
    EXPECT_DOUBLE_EQ(knopf("Command1")->font().pointSizeF(), 11.25);
    EXPECT_DOUBLE_EQ(knopf("Command3")->font().pointSizeF(), 12);
    EXPECT_DOUBLE_EQ(element("Label5")->font().pointSizeF(), 9.75);
    // A caption that the substitute font makes too wide is set smaller, never larger.
    EXPECT_LE(knopf("Command2")->font().pointSizeF(), 11.25);
    EXPECT_GE(knopf("Command2")->font().pointSizeF(), 9);
}

// The darkness of a control on the screen, summed over its pixels.
double dunkelheit(QWidget* w)
{
    const QImage bild = w->grab().toImage();
    double summe = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            summe += 255 - qGray(bild.pixel(x, y));
    return summe;
}

// How much more ink the control's caption has in its bold font than in the same
// font of regular weight.
double fettAnteil(QWidget* w)
{
    const QVariant text = w->property("text");
    w->setProperty("text", QString());
    const double ohneText = dunkelheit(w);
    w->setProperty("text", text);
    const double fett = dunkelheit(w) - ohneText;
    QFont schrift = w->font();
    schrift.setBold(false);
    w->setFont(schrift);
    const double normal = dunkelheit(w) - ohneText;
    schrift.setBold(true);
    w->setFont(schrift);
    return fett / normal;
}

// The bold captions are drawn bold at any scale factor of the screen. The factor is
// fixed when the program starts, so the test runs again in a program of its own
// with QT_SCALE_FACTOR=2 and with QT_FONT_DPI=144 (a factor of 1.5).
TEST_F(Fenster, FetteBeschriftungBeiJedemMassstab)
{
    const bool kind = qEnvironmentVariableIsSet("BOGENKETTE_MASSSTAB");
    if (kind) {
        EXPECT_GT(fenster->devicePixelRatioF(), 1.0);
    }
    for (const char* name : {"Command2", "Command3"})
        knopf(name)->setVisible(true);
    for (const char* name : {"Command1", "Command2", "Command3", "Label5"}) {
        QWidget* w = element(name);
        EXPECT_GE(fettAnteil(w), 1.35) << name << " at " << w->devicePixelRatioF();
    }
    if (kind)
        return;

    for (const auto& [variable, wert] :
         {std::pair{"QT_SCALE_FACTOR", "2"}, std::pair{"QT_FONT_DPI", "144"}}) {
        QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
        umgebung.insert(QString::fromLatin1(variable), QString::fromLatin1(wert));
        umgebung.insert(QStringLiteral("BOGENKETTE_MASSSTAB"), QStringLiteral("1"));
        QProcess programm;
        programm.setProcessEnvironment(umgebung);
        programm.setProcessChannelMode(QProcess::MergedChannels);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        programm.start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--gtest_filter=%1.%2")
                            .arg(QString::fromLatin1(test->test_suite_name()),
                                 QString::fromLatin1(test->name()))});
        ASSERT_TRUE(programm.waitForFinished(60000)) << variable;
        const std::string ausgabe = programm.readAll().toStdString();
        EXPECT_EQ(programm.exitCode(), 0) << variable << "=" << wert << ":\n" << ausgabe;
        EXPECT_NE(ausgabe.find("[  PASSED  ] 1 test"), std::string::npos) << ausgabe;
    }
}

// Pixels of the highlight colour, in which a control shows that it has the focus.
int fokusfarbe(QWidget* w)
{
    const QImage bild = w->grab().toImage();
    const QRgb farbe = w->palette().color(QPalette::Highlight).rgb();
    int n = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            n += bild.pixel(x, y) == farbe;
    return n;
}

// Without a mouse: Tab walks the controls, Return or Enter presses the focused button
// (as Space does), and the picture area and the scroll bar show when they have the
// focus, the picture without covering its drawing surface.
TEST_F(Fenster, Tastaturbedienung)
{
    const fs::path spl = ordner / "kontur.spl";
    schreiben(spl, dreiPunkte);
    antworten->naechste = {q(spl), q(ordner / "kontur.txt")};
    fenster->show();
    QApplication::setActiveWindow(fenster.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(fenster.get()));
    const auto fokus = [] { return QApplication::focusWidget()->objectName().toStdString(); };
    const auto taste = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };

    // No frame while only the mouse has moved the focus, as on the buttons.
    auto* bild = element<Bildfeld>("Picture1");
    auto* hs = element<QScrollBar>("HScroll1");
    bild->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(fokusfarbe(bild), 0);

    knopf("Command1")->setFocus(Qt::MouseFocusReason);
    taste(Qt::Key_Return);
    ASSERT_EQ(antworten->aufrufe.size(), 1u);
    ASSERT_EQ(knoepfe(), "xx-");
    taste(Qt::Key_Tab);
    EXPECT_EQ(fokus(), "Command2");
    taste(Qt::Key_Enter);
    ASSERT_EQ(antworten->aufrufe.size(), 2u);
    ASSERT_EQ(knoepfe(), "xxx");
    taste(Qt::Key_Tab);
    EXPECT_EQ(fokus(), "Command3");
    taste(Qt::Key_Return);
    EXPECT_EQ(dateien(), (std::vector<std::string>{"kontur.TXT", "kontur.spl"}));

    // Command3 waits for both files again, so the focus has moved on to the picture.
    ASSERT_EQ(fokus(), "Picture1");
    const QRect flaeche = bild->rect().adjusted(2, 2, -2, -2);  // inside the 30-twip border
    const QImage mitFokus = bild->grab().toImage();
    EXPECT_GE(fokusfarbe(bild), 2 * (flaeche.width() + flaeche.height()));
    EXPECT_EQ(fokusfarbe(hs), 0);

    taste(Qt::Key_Tab);
    ASSERT_EQ(fokus(), "HScroll1");
    EXPECT_EQ(fokusfarbe(bild), 0);
    EXPECT_GE(fokusfarbe(hs), 2 * (hs->width() + hs->height()));
    // The picture's frame lay on the outermost pixels of the drawing surface only.
    const QRect innen = flaeche.adjusted(2, 2, -2, -2);
    EXPECT_EQ(bild->grab().toImage().copy(innen), mitFokus.copy(innen));
    taste(Qt::Key_Right);
    EXPECT_EQ(hs->value(), 6);

    taste(Qt::Key_Tab);
    EXPECT_EQ(fokus(), "Command1");
    EXPECT_EQ(fokusfarbe(hs), 0);
}

// ------------------------------------------------------------------ the workflow

TEST_F(Fenster, ArbeitsablaufUndZweiterLauf)
{
    const fs::path spl = fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.spl";
    punktdatei(spl);
    EXPECT_EQ(knoepfe(), "xx-");
    EXPECT_TRUE(fenster->punktdateiOffen());
    EXPECT_EQ(fenster->strDateiname(), q(spl));

    bericht(ordner / "kontur.txt");
    EXPECT_EQ(knoepfe(), "xxx");
    EXPECT_TRUE(fenster->berichtOffen());

    schieben(10);  // fehl 0.1, as in the five-point example
    rechnen();
    EXPECT_TRUE(fenster->meldungen.isEmpty()) << fenster->meldungen.join('\n').toStdString();
    EXPECT_EQ(lesen(ordner / "kontur.TXT"),
              lesen(fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.TXT"));
    EXPECT_EQ(dateien(), std::vector<std::string>{"kontur.TXT"});

    // Both channels are closed; all buttons stay, Command3 waits for both files.
    EXPECT_FALSE(fenster->punktdateiOffen());
    EXPECT_FALSE(fenster->berichtOffen());
    EXPECT_EQ(knoepfe(), "xxo");
    rechnen();  // disabled: nothing happens
    EXPECT_EQ(dateien(), std::vector<std::string>{"kontur.TXT"});
    bericht(ordner / "zwei.txt");
    EXPECT_EQ(knoepfe(), "xxo");
    punktdatei(spl);
    EXPECT_EQ(knoepfe(), "xxx");

    // A second pass in the same window, with the current fehl.
    schieben(100);
    rechnen();
    const std::string zwei = lesen(ordner / "zwei.TXT");
    EXPECT_NE(zwei.find(" Berechnung f\xFCr Fehlergrenze:  1 \r\n"), std::string::npos);
    EXPECT_EQ(fenster->fehl(), 1.0);
}

TEST_F(Fenster, OhneSchiebenRechnetMitNullKommaNullFuenf)
{
    const fs::path spl = fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.spl";
    punktdatei(spl);
    bericht(ordner / "bericht.txt");
    rechnen();

    const fs::path vergleich = ordner / "vergleich.TXT";
    Berichtsdatei erwartet(vergleich.string());
    const Zahlenformat de = Zahlenformat::deutsch();
    berechnungDurchfuehren({spl.string(), 0.05, de, Kettenverfahren::schnell, Bahnverfahren::kurz},
                           erwartet, {}, {});
    const std::string text = lesen(ordner / "bericht.TXT");
    EXPECT_EQ(text, lesen(vergleich));
    EXPECT_NE(text.find(" Berechnung f\xFCr Fehlergrenze:  0,05 \r\n"), std::string::npos);
    // The scroll bar and its label still show the value used.
    EXPECT_EQ(element<QScrollBar>("HScroll1")->value(), 5);
    EXPECT_EQ(element<QLabel>("Label5")->text(), QStringLiteral("0,05"));
    EXPECT_EQ(fenster->fehl(), 0.05);
}

TEST_F(Fenster, DialogBehaeltSeinenNamen)
{
    const fs::path spl = ordner / "kontur.spl";
    schreiben(spl, dreiPunkte);
    punktdatei(spl);
    punktdatei(std::nullopt);  // cancelled: the name stays
    bericht(std::nullopt);
    ASSERT_EQ(antworten->aufrufe.size(), 3u);
    const auto& erster = antworten->aufrufe[0];
    EXPECT_EQ(erster.art, Dateidialog::Art::oeffnen);
    EXPECT_EQ(erster.ordner, standardordner());
    EXPECT_EQ(erster.vorschlag, QString());
    EXPECT_EQ(erster.filter,
              (QStringList{QStringLiteral("SPL- und DXF-Dateien (*.spl *.SPL *.dxf *.DXF)"),
                           QStringLiteral("alle Dateien (*)")}));
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(antworten->aufrufe[i].ordner, q(ordner));
        EXPECT_EQ(antworten->aufrufe[i].vorschlag, QStringLiteral("kontur.spl"));
    }
    EXPECT_EQ(antworten->aufrufe[2].art, Dateidialog::Art::speichern);
    EXPECT_EQ(antworten->aufrufe[2].filter,
              (QStringList{QStringLiteral("TXT-Dateien (*.txt *.TXT)"),
                           QStringLiteral("Bericht und Klartext-Programm (*.TXT *.H)"),
                           QStringLiteral("Bericht und DIN/ISO-Programm (*.TXT *.NC)"),
                           QStringLiteral("Bericht und DXF-Zeichnung (*.TXT *.DXF)")}));
    EXPECT_EQ(antworten->aufrufe[2].vorauswahl, 0);
    EXPECT_EQ(antworten->dateiname(), q(spl));

    // Confirming the proposed name gives the report the point file's name with TXT.
    bericht(spl);
    rechnen();
    EXPECT_EQ(dateien(), (std::vector<std::string>{"kontur.TXT", "kontur.spl"}));
}

TEST_F(Fenster, AbbrechenAendertNichts)
{
    punktdatei(std::nullopt);
    EXPECT_EQ(knoepfe(), "x--");
    EXPECT_FALSE(fenster->punktdateiOffen());
    EXPECT_TRUE(fenster->strDateiname().isEmpty());

    const fs::path spl = ordner / "kontur.spl";
    schreiben(spl, dreiPunkte);
    punktdatei(spl);
    bericht(std::nullopt);  // no report file, not even an empty one
    EXPECT_EQ(knoepfe(), "xx-");
    EXPECT_FALSE(fenster->berichtOffen());
    EXPECT_EQ(dateien(), std::vector<std::string>{"kontur.spl"});

    bericht(ordner / "b.txt");
    punktdatei(std::nullopt);
    bericht(std::nullopt);
    EXPECT_EQ(knoepfe(), "xxx");
    EXPECT_TRUE(fenster->punktdateiOffen());
    EXPECT_TRUE(fenster->berichtOffen());
    EXPECT_EQ(fenster->strDateiname(), q(spl));
    rechnen();
    EXPECT_EQ(dateien(), (std::vector<std::string>{"b.TXT", "kontur.spl"}));
}

TEST_F(Fenster, NeueWahlErsetztDenOffenenKanal)
{
    schreiben(ordner / "a.spl", dreiPunkte);
    schreiben(ordner / "b.spl", "0,0\n0,10\n5,10\n");
    punktdatei(ordner / "a.spl");
    punktdatei(ordner / "b.spl");
    EXPECT_EQ(fenster->strDateiname(), q(ordner / "b.spl"));
    bericht(ordner / "erster.txt");
    bericht(ordner / "zweiter.txt");
    EXPECT_EQ(knoepfe(), "xxx");
    rechnen();
    // Only the second choice of each got used; the first report left no trace.
    EXPECT_EQ(dateien(), (std::vector<std::string>{"a.spl", "b.spl", "zweiter.TXT"}));
    EXPECT_NE(lesen(ordner / "zweiter.TXT").find("         5,000         10,000"),
              std::string::npos);
}

// Choosing the report creates nothing yet (no hidden file that a killed program
// would leave behind), and closing the window leaves nothing either.
TEST_F(Fenster, SchliessenVerwirftDenBericht)
{
    schreiben(ordner / "a.spl", dreiPunkte);
    punktdatei(ordner / "a.spl");
    bericht(ordner / "a.txt");
    EXPECT_EQ(dateien(), std::vector<std::string>{"a.spl"});
    fenster.reset();
    EXPECT_EQ(dateien(), std::vector<std::string>{"a.spl"});
}

// An existing report is replaced only when the user agrees, and keeps its permissions.
TEST_F(Fenster, VorhandenerBerichtNurNachFrage)
{
    const fs::path spl = ordner / "kontur.spl";
    const fs::path txt = ordner / "kontur.TXT";
    schreiben(spl, dreiPunkte);
    schreiben(txt, "alter Bericht");
    fs::permissions(txt, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const auto rechte = [&] { return static_cast<unsigned>(fs::status(txt).permissions()); };
    const unsigned vorher = rechte();
    ASSERT_EQ(vorher, 0640u);
    punktdatei(spl);
    bericht(spl);  // derives kontur.TXT
    EXPECT_TRUE(fenster->fragen.isEmpty());

    // No: back to the window as it was before the click.
    schieben(10);
    const QImage skizze = element<Bildfeld>("Picture1")->bild();
    fenster->ersetzen = {false};
    rechnen();
    ASSERT_EQ(fenster->fragen.size(), 1);
    EXPECT_EQ(fenster->fragen[0], QStringLiteral("Die Datei \"") + q(txt)
                                      + QStringLiteral("\" existiert bereits. Ersetzen?"));
    EXPECT_EQ(lesen(txt), "alter Bericht");
    EXPECT_EQ(rechte(), vorher);
    EXPECT_EQ(knoepfe(), "xxx");
    EXPECT_TRUE(fenster->punktdateiOffen());
    EXPECT_TRUE(fenster->berichtOffen());
    EXPECT_EQ(element<Bildfeld>("Picture1")->bild(), skizze);

    // Yes: the report replaces the file, which keeps its permissions.
    fenster->ersetzen = {true};
    rechnen();
    EXPECT_EQ(fenster->fragen.size(), 2);
    EXPECT_NE(lesen(txt).find(" Berechnung f\xFCr Fehlergrenze:  0,1 \r\n"), std::string::npos);
    EXPECT_EQ(rechte(), vorher);
    EXPECT_EQ(dateien(), (std::vector<std::string>{"kontur.TXT", "kontur.spl"}));

    // A report of a new name is written without a question.
    punktdatei(spl);
    bericht(ordner / "neu.txt");
    rechnen();
    EXPECT_EQ(fenster->fragen.size(), 2);
    EXPECT_TRUE(fenster->meldungen.isEmpty());
    EXPECT_EQ(dateien(), (std::vector<std::string>{"kontur.TXT", "kontur.spl", "neu.TXT"}));
}

// ------------------------------------------------------------------ the scroll bar

struct Schieberfall {
    int wert;
    double fehl;
    const char* text;
};

TEST_F(Fenster, SchieberSetztFehlUndBeschriftung)
{
    for (const Schieberfall& f :
         {Schieberfall{100, 1.0, "1"}, Schieberfall{37, 0.37, "0,37"}, Schieberfall{10, 0.1, "0,1"},
          Schieberfall{5, 0.05, "0,05"}, Schieberfall{1, 0.01, "0,01"}}) {
        SCOPED_TRACE(f.wert);
        schieben(f.wert);
        EXPECT_EQ(fenster->fehl(), f.fehl);
        EXPECT_EQ(element<QLabel>("Label5")->text(), QString::fromUtf8(f.text));
    }
}

// The bar reads from left to right: Right, Up and PageUp raise fehl by one step,
// Left, Down and PageDown lower it, as a click on the right or the left arrow does.
TEST_F(Fenster, SchieberMitTastenUndPfeilen)
{
    auto* hs = element<QScrollBar>("HScroll1");
    const std::pair<Qt::Key, int> tasten[] = {
        {Qt::Key_Right, 11}, {Qt::Key_Left, 9}, {Qt::Key_PageUp, 11}, {Qt::Key_PageDown, 9},
        {Qt::Key_Up, 11},    {Qt::Key_Down, 9}, {Qt::Key_End, 100},   {Qt::Key_Home, 1},
    };
    for (const auto& [taste, wert] : tasten) {
        schieben(10);
        QTest::keyClick(hs, taste);
        EXPECT_EQ(hs->value(), wert) << QKeySequence(taste).toString().toStdString();
    }

    // The arrows lie at the ends of the bar, as wide as the bar is high.
    const QPoint rechts(hs->width() - 3, hs->height() / 2);
    const QPoint links(3, hs->height() / 2);
    schieben(10);
    QTest::mouseClick(hs, Qt::LeftButton, {}, rechts);
    EXPECT_EQ(hs->value(), 11);
    QTest::keyClick(hs, Qt::Key_Right);
    EXPECT_EQ(fenster->fehl(), 0.12);
    EXPECT_EQ(element<QLabel>("Label5")->text(), QStringLiteral("0,12"));
    QTest::mouseClick(hs, Qt::LeftButton, {}, links);
    EXPECT_EQ(hs->value(), 11);
}

// ------------------------------------------------------------------ the report path

TEST(Berichtspfad, Ableitung)
{
    const std::pair<const char*, const char*> faelle[] = {
        {"C:\\Eigene Dateien\\kontur.txt", "C:\\Eigene Dateien\\kontur.TXT"},
        {"C:\\Eigene Dateien\\kontur.spl", "C:\\Eigene Dateien\\kontur.TXT"},
        {"/home/anna/kontur.spl", "/home/anna/kontur.TXT"},
        {"a.b.c", "a.b.TXT"},
        {"kontur.", "kontur.TXT"},
        {"/home/anna/bericht", "/home/anna/bericht.TXT"},
        {"/home/anna/ordner.neu/bericht", "/home/anna/ordner.neu/bericht.TXT"},
        {"C:\\Ordner.neu\\bericht", "C:\\Ordner.neu\\bericht.TXT"},
    };
    for (const auto& [name, pfad] : faelle)
        EXPECT_EQ(berichtspfadAbleiten(name), pfad) << name;
}

TEST_F(Fenster, BerichtOhneEndungBekommtTxt)
{
    schreiben(ordner / "a.spl", dreiPunkte);
    punktdatei(ordner / "a.spl");
    bericht(ordner / "ergebnis");
    rechnen();
    EXPECT_EQ(dateien(), (std::vector<std::string>{"a.spl", "ergebnis.TXT"}));
}

// ------------------------------------------------------------------ failures

TEST_F(Fenster, FehlendePunktdatei)
{
    punktdatei(ordner / "fehlt.spl");
    ASSERT_EQ(fenster->meldungen.size(), 1);
    const std::string meldung = fenster->meldungen[0].toStdString();
    EXPECT_NE(meldung.find(dateiname((ordner / "fehlt.spl").string())), std::string::npos)
        << meldung;
    EXPECT_NE(meldung.find("nicht gefunden"), std::string::npos) << meldung;
    EXPECT_EQ(knoepfe(), "x--");
    EXPECT_FALSE(fenster->punktdateiOffen());

    // A folder is no point file either.
    punktdatei(ordner);
    EXPECT_EQ(fenster->meldungen.size(), 2);
    EXPECT_EQ(knoepfe(), "x--");
}

// A named pipe as the point file is refused at once: opening it to read would wait,
// with the window frozen, until something writes to it.
TEST_F(Fenster, PipeAlsPunktdateiWirdAbgelehntNichtErwartet)
{
    using namespace std::chrono_literals;
    const fs::path rohr = ordner / "rohr.spl";
    ASSERT_EQ(::mkfifo(rohr.c_str(), 0600), 0);
    // Should the window wait after all, a writer ends the wait after two seconds.
    std::mutex sperre;
    std::condition_variable signal;
    bool gewaehlt = false;
    std::thread schreiber([&] {
        std::unique_lock lock(sperre);
        if (signal.wait_for(lock, 2s, [&] { return gewaehlt; }))
            return;
        // Opened without waiting, as soon as a reader has the pipe open.
        while (!gewaehlt) {
            lock.unlock();
            const int fd = ::open(rohr.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
            std::this_thread::sleep_for(10ms);
            lock.lock();
        }
    });
    const auto anfang = std::chrono::steady_clock::now();
    punktdatei(rohr);
    const auto dauer = std::chrono::steady_clock::now() - anfang;
    {
        const std::lock_guard lock(sperre);
        gewaehlt = true;
    }
    signal.notify_one();
    schreiber.join();

    EXPECT_LT(dauer, 1s);
    ASSERT_EQ(fenster->meldungen.size(), 1);
    const std::string meldung = fenster->meldungen[0].toStdString();
    EXPECT_NE(
        meldung.find(dateiname(rohr.string()) + " lässt sich nicht ein zweites Mal von vorn lesen"),
        std::string::npos)
        << meldung;
    EXPECT_EQ(knoepfe(), "x--");
    EXPECT_FALSE(fenster->punktdateiOffen());
}

// A report name that is no regular file is refused when it is chosen, as a point
// file is: a named pipe at once, without waiting for a reader; a device; a folder
// that may not be written to. Nothing is created for the check.
TEST_F(Fenster, BerichtsnameOhneGewoehnlicheDateiWirdSofortAbgelehnt)
{
    using namespace std::chrono_literals;
    schreiben(ordner / "a.spl", dreiPunkte);
    punktdatei(ordner / "a.spl");
    const fs::path rohr = ordner / "rohr.TXT";
    ASSERT_EQ(::mkfifo(rohr.c_str(), 0600), 0);
    // Should the window wait after all, a reader ends the wait after two seconds.
    std::mutex sperre;
    std::condition_variable signal;
    bool gewaehlt = false;
    std::thread leser([&] {
        std::unique_lock lock(sperre);
        if (signal.wait_for(lock, 2s, [&] { return gewaehlt; }))
            return;
        const int fd = ::open(rohr.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        while (!gewaehlt) {
            lock.unlock();
            char puffer[4096];
            while (fd >= 0 && ::read(fd, puffer, sizeof puffer) > 0) {
            }
            std::this_thread::sleep_for(10ms);
            lock.lock();
        }
        if (fd >= 0)
            ::close(fd);
    });
    const auto anfang = std::chrono::steady_clock::now();
    bericht(ordner / "rohr.txt");
    const auto dauer = std::chrono::steady_clock::now() - anfang;
    {
        const std::lock_guard lock(sperre);
        gewaehlt = true;
    }
    signal.notify_one();
    leser.join();

    EXPECT_LT(dauer, 1s);
    ASSERT_EQ(fenster->meldungen.size(), 1);
    EXPECT_EQ(fenster->meldungen[0].toStdString(),
              "Bericht " + dateiname(rohr.string())
                  + " ist keine gewöhnliche Datei (etwa eine Pipe oder ein Gerät); bitte einen "
                    "anderen Namen wählen.");
    EXPECT_EQ(knoepfe(), "xx-");
    EXPECT_FALSE(fenster->berichtOffen());

    // A device, under a link to it.
    fs::create_symlink("/dev/null", ordner / "geraet.TXT");
    bericht(ordner / "geraet.txt");
    ASSERT_EQ(fenster->meldungen.size(), 2);
    EXPECT_NE(fenster->meldungen[1].toStdString().find("ist keine gewöhnliche Datei"),
              std::string::npos);
    fs::create_directory(ordner / "gesperrt");
    fs::permissions(ordner / "gesperrt", fs::perms::owner_read | fs::perms::owner_exec);
    bericht(ordner / "gesperrt" / "b.txt");
    const bool alsRoot = ::geteuid() == 0;  // root may write anywhere
    EXPECT_EQ(fenster->meldungen.size(), alsRoot ? 2 : 3)
        << fenster->meldungen.join('\n').toStdString();
    fs::permissions(ordner / "gesperrt", fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(ordner / "gesperrt"));
    EXPECT_EQ(dateien(), (std::vector<std::string>{"a.spl", "geraet.TXT", "gesperrt", "rohr.TXT"}));
}

// The permissions of a replaced report are those it has when it is replaced, not
// when its name was chosen.
TEST_F(Fenster, ErsetzterBerichtBehaeltSeineRechteVonJetzt)
{
    schreiben(ordner / "a.spl", dreiPunkte);
    schreiben(ordner / "a.TXT", "alter Bericht");
    fs::permissions(ordner / "a.TXT", static_cast<fs::perms>(0640));
    punktdatei(ordner / "a.spl");
    bericht(ordner / "a.txt");
    fs::permissions(ordner / "a.TXT", static_cast<fs::perms>(0600));
    fenster->ersetzen = {true};
    rechnen();
    EXPECT_TRUE(fenster->meldungen.isEmpty());
    EXPECT_NE(lesen(ordner / "a.TXT"), "alter Bericht");
    EXPECT_EQ(static_cast<unsigned>(fs::status(ordner / "a.TXT").permissions()), 0600u);
}

// A DXF drawing as the point file, and a DXF drawing of the path beside the report:
// the same files as the converter writes.
TEST_F(Fenster, DxfZeichnungHinUndZurueck)
{
    const fs::path spl = ordner / "k.spl";
    fs::copy_file(fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.spl", spl);
    ASSERT_EQ(cli("--dxf " + q(ordner / "k.dxf").toStdString() + " " + q(spl).toStdString()).status,
              0);
    punktdatei(ordner / "k.dxf");
    antworten->filterWahl = 3;
    bericht(ordner / "aus.txt");
    rechnen();
    EXPECT_TRUE(fenster->meldungen.isEmpty()) << fenster->meldungen.join('\n').toStdString();
    EXPECT_EQ(lesen(ordner / "aus.TXT"), lesen(ordner / "k.TXT"));
    const auto cliLauf =
        cli("--dxf " + q(ordner / "cli.dxf").toStdString() + " -o "
            + q(ordner / "cli.TXT").toStdString() + " " + q(ordner / "k.dxf").toStdString());
    ASSERT_EQ(cliLauf.status, 0) << cliLauf.ausgabe;
    EXPECT_EQ(lesen(ordner / "aus.DXF"), lesen(ordner / "cli.dxf"));
    EXPECT_NE(lesen(ordner / "aus.DXF").find("\r\nBAHN\r\n"), std::string::npos);
}

TEST_F(Fenster, AbgelehntePunktdateiLaesstVorhandenenBerichtStehen)
{
    schreiben(ordner / "schlecht.spl", "0,0\r\n1,2\r\nzwei,0\r\n");
    schreiben(ordner / "schlecht.TXT", "alter Bericht");
    punktdatei(ordner / "schlecht.spl");
    bericht(ordner / "schlecht.txt");
    rechnen();
    ASSERT_EQ(fenster->meldungen.size(), 1);
    const std::string meldung = fenster->meldungen[0].toStdString();
    EXPECT_NE(meldung.find((ordner / "schlecht.spl").string()), std::string::npos) << meldung;
    EXPECT_NE(meldung.find("Zeile 3"), std::string::npos) << meldung;
    EXPECT_EQ(lesen(ordner / "schlecht.TXT"), "alter Bericht");
    EXPECT_EQ(dateien(), (std::vector<std::string>{"schlecht.TXT", "schlecht.spl"}));
    EXPECT_FALSE(fenster->punktdateiOffen());
    EXPECT_FALSE(fenster->berichtOffen());
    EXPECT_EQ(knoepfe(), "xxo");

    // The window stays usable.
    schreiben(ordner / "gut.spl", dreiPunkte);
    punktdatei(ordner / "gut.spl");
    bericht(ordner / "gut.txt");
    rechnen();
    EXPECT_EQ(fenster->meldungen.size(), 1);
    EXPECT_EQ(dateien(),
              (std::vector<std::string>{"gut.TXT", "gut.spl", "schlecht.TXT", "schlecht.spl"}));
}

TEST_F(Fenster, PunktdateiVerschwindetVorDemLauf)
{
    schreiben(ordner / "a.spl", dreiPunkte);
    punktdatei(ordner / "a.spl");
    bericht(ordner / "a.txt");
    fs::remove(ordner / "a.spl");
    rechnen();
    ASSERT_EQ(fenster->meldungen.size(), 1);
    EXPECT_NE(fenster->meldungen[0].toStdString().find("a.spl"), std::string::npos);
    EXPECT_TRUE(dateien().empty());
    EXPECT_EQ(knoepfe(), "xxo");
}

TEST_F(Fenster, BerichtsordnerFehlt)
{
    schreiben(ordner / "a.spl", dreiPunkte);
    punktdatei(ordner / "a.spl");
    bericht(ordner / "fehlt" / "b.txt");
    ASSERT_EQ(fenster->meldungen.size(), 1);
    EXPECT_NE(fenster->meldungen[0].toStdString().find((ordner / "fehlt" / "b.TXT").string()),
              std::string::npos);
    EXPECT_EQ(knoepfe(), "xx-");
    EXPECT_TRUE(fenster->punktdateiOffen());  // the point file stays chosen
    EXPECT_FALSE(fenster->berichtOffen());
    EXPECT_EQ(dateien(), std::vector<std::string>{"a.spl"});

    // A valid name is all that is needed then.
    bericht(ordner / "b.txt");
    EXPECT_EQ(knoepfe(), "xxx");
    rechnen();
    EXPECT_EQ(fenster->meldungen.size(), 1);
    EXPECT_EQ(dateien(), (std::vector<std::string>{"a.spl", "b.TXT"}));
}

// A write that fails during the compute pass (here the file size limit, as on a
// full disk): the window reports it, keeps the earlier report and stays usable.
TEST_F(Fenster, SchreibfehlerImLauf)
{
    std::string viele;
    for (int i = 0; i < 400; ++i)
        viele += std::to_string(100 * std::cos(i * 0.01)) + ","
                 + std::to_string(100 * std::sin(i * 0.01)) + "\r\n";
    schreiben(ordner / "k.spl", viele);
    schreiben(ordner / "k.TXT", "alter Bericht");
    punktdatei(ordner / "k.spl");
    bericht(ordner / "k.txt");

    const auto alterHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit alt{};
    ::getrlimit(RLIMIT_FSIZE, &alt);
    rlimit grenze = alt;
    grenze.rlim_cur = 8192;
    ::setrlimit(RLIMIT_FSIZE, &grenze);
    rechnen();
    ::setrlimit(RLIMIT_FSIZE, &alt);
    std::signal(SIGXFSZ, alterHandler);

    ASSERT_EQ(fenster->meldungen.size(), 1);
    const std::string meldung = fenster->meldungen[0].toStdString();
    EXPECT_NE(meldung.find((ordner / "k.TXT").string()), std::string::npos) << meldung;
    EXPECT_NE(meldung.find("Dateigröße"), std::string::npos) << meldung;
    EXPECT_EQ(lesen(ordner / "k.TXT"), "alter Bericht");
    EXPECT_EQ(dateien(), (std::vector<std::string>{"k.TXT", "k.spl"}));
    EXPECT_FALSE(fenster->berichtOffen());

    // Without the limit the same choice works.
    punktdatei(ordner / "k.spl");
    bericht(ordner / "k.txt");
    rechnen();
    EXPECT_EQ(fenster->meldungen.size(), 1);
    EXPECT_GT(lesen(ordner / "k.TXT").size(), 8192u);
}

TEST_F(Fenster, BerichtWaereDiePunktdatei)
{
    const fs::path spl = ordner / "punkte.TXT";
    schreiben(spl, dreiPunkte);
    punktdatei(spl);
    bericht(spl);  // derives punkte.TXT again
    ASSERT_EQ(fenster->meldungen.size(), 1);
    EXPECT_NE(fenster->meldungen[0].toStdString().find("Punktdatei selbst"), std::string::npos);
    EXPECT_EQ(lesen(spl), dreiPunkte);
    EXPECT_EQ(knoepfe(), "xx-");
    EXPECT_TRUE(fenster->punktdateiOffen());
    bericht(ordner / "bericht.txt");
    EXPECT_EQ(knoepfe(), "xxx");

    // The same the other way round: the report chosen before the point file.
    schreiben(ordner / "andere.spl", dreiPunkte);
    punktdatei(ordner / "andere.spl");
    bericht(spl);
    EXPECT_EQ(knoepfe(), "xxx");
    punktdatei(spl);
    EXPECT_EQ(fenster->meldungen.size(), 2);
    EXPECT_EQ(knoepfe(), "xxo");
    EXPECT_EQ(lesen(spl), dreiPunkte);
    EXPECT_EQ(dateien(), (std::vector<std::string>{"andere.spl", "punkte.TXT"}));
}

// ------------------------------------------------------------------ the sketch

// The points' line is black, drawn again over the path after a run.
bool schwarz(const QImage& bild, int x, int y)
{
    return bild.pixelColor(x, y) == QColor(Qt::black);
}

int bahnpixel(const QImage& bild)
{
    int anzahl = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            anzahl += bild.pixel(x, y) == Bildfeld::bahnfarbe;
    return anzahl;
}

TEST_F(Fenster, SkizzeZeigtNurDenLetztenLauf)
{
    schreiben(ordner / "a.spl", dreiPunkte);          // wider than high
    schreiben(ordner / "b.spl", "0,0\n1,10\n1,5\n");  // higher than wide
    const QImage& bild = element<Bildfeld>("Picture1")->bild();

    punktdatei(ordner / "a.spl");
    bericht(ordner / "a.txt");
    rechnen();
    // (240, 4560) -> (5460, 4560) -> (5460, 1950) on 389 x 317 pixels.
    EXPECT_TRUE(schwarz(bild, 16, 301));
    EXPECT_TRUE(schwarz(bild, 200, 301));
    EXPECT_TRUE(schwarz(bild, 366, 301));
    EXPECT_TRUE(schwarz(bild, 366, 200));
    EXPECT_TRUE(schwarz(bild, 366, 128));  // the last end point is drawn too
    EXPECT_FALSE(schwarz(bild, 366, 127));
    EXPECT_FALSE(schwarz(bild, 100, 100));

    punktdatei(ordner / "b.spl");
    bericht(ordner / "b.txt");
    rechnen();
    // (240, 4560) -> (672, 240) -> (672, 2400); nothing of the first sketch is left.
    EXPECT_TRUE(schwarz(bild, 16, 301));
    EXPECT_TRUE(schwarz(bild, 45, 15));
    EXPECT_TRUE(schwarz(bild, 45, 158));
    EXPECT_FALSE(schwarz(bild, 200, 301));
    EXPECT_FALSE(schwarz(bild, 366, 200));
}

TEST_F(Fenster, AbgelehnteDateiLoeschtDieSkizze)
{
    schreiben(ordner / "a.spl", dreiPunkte);
    schreiben(ordner / "leer.spl", "");
    const QImage& bild = element<Bildfeld>("Picture1")->bild();
    punktdatei(ordner / "a.spl");
    bericht(ordner / "a.txt");
    rechnen();
    ASSERT_TRUE(schwarz(bild, 200, 301));
    punktdatei(ordner / "leer.spl");
    bericht(ordner / "leer.txt");
    rechnen();
    EXPECT_EQ(fenster->meldungen.size(), 1);
    EXPECT_FALSE(schwarz(bild, 200, 301));
}

// An NC program chosen in the report's save dialog: written beside the report with
// its base name, as the converter writes it; the choice is offered again next
// time; an existing program is replaced only after a question; a program that
// cannot be written is named in a message and leaves no file. After every
// successful run the path is drawn over the points in its own colour.
TEST_F(Fenster, NcProgrammUndBahn)
{
    const fs::path spl = ordner / "kontur.spl";
    fs::copy_file(fs::path(TESTDATEN) / "fuenf_punkte_ein_bogen.spl", spl);
    const QImage& bild = element<Bildfeld>("Picture1")->bild();
    schieben(10);
    punktdatei(spl);
    antworten->filterWahl = 2;
    bericht(ordner / "kontur.txt");
    rechnen();
    EXPECT_TRUE(fenster->meldungen.isEmpty()) << fenster->meldungen.join('\n').toStdString();
    const auto cliLauf =
        cli("--fehl 0.1 --nc din --nc-datei " + q(ordner / "cli.NC").toStdString() + " -o "
            + q(ordner / "cli.TXT").toStdString() + " " + q(spl).toStdString());
    ASSERT_EQ(cliLauf.status, 0) << cliLauf.ausgabe;
    EXPECT_EQ(lesen(ordner / "kontur.NC"), lesen(ordner / "cli.NC"));
    EXPECT_EQ(lesen(ordner / "kontur.TXT"), lesen(ordner / "cli.TXT"));
    EXPECT_GT(bahnpixel(bild), 100);

    // Offered again: the DIN/ISO program; an existing one is asked about.
    punktdatei(spl);
    bericht(ordner / "kontur.txt");
    EXPECT_EQ(antworten->aufrufe.back().vorauswahl, 2);
    const auto vorher = stand();
    fenster->ersetzen = {true, false};  // the report yes, the program no
    rechnen();
    EXPECT_EQ(fenster->fragen.size(), 2);
    EXPECT_NE(fenster->fragen.back().toStdString().find("kontur.NC"), std::string::npos);
    EXPECT_EQ(stand(), vorher);

    // A program that cannot be written: a folder of its name.
    fs::remove(ordner / "kontur.NC");
    fs::create_directory(ordner / "kontur.NC");
    antworten->filterWahl = 2;
    bericht(ordner / "kontur.txt");
    fs::remove(ordner / "kontur.TXT");
    rechnen();
    ASSERT_EQ(fenster->meldungen.size(), 1);
    EXPECT_NE(fenster->meldungen[0].toStdString().find("NC-Programm \""), std::string::npos)
        << fenster->meldungen[0].toStdString();
    EXPECT_FALSE(fs::exists(ordner / "kontur.TXT"));
    EXPECT_EQ(bahnpixel(bild), 0);
}

// The settings file: its machining options and feed give the window's program the
// converter's frame; a program the tool cannot cut is named in a message while
// the report is written and an earlier program kept; a bad value names the file
// and the key and writes nothing; the folder of the last chosen file and the type
// last chosen survive a restart.
TEST_F(Fenster, EinstellungenUndKorrektur)
{
    const fs::path spl = ordner / "k.spl";
    fs::copy_file(fs::path(TESTDATEN) / "rahmen" / "innenradius.spl", spl);
    const Einstellungen datei(QString::fromStdString(einstellungen.string()));
    datei.programmSpeichern(
        {{"korrektur", "rechts"}, {"werkzeugradius", "3"}, {"tiefe", "2"}, {"vorschub", "400"}});
    const QImage& bild = element<Bildfeld>("Picture1")->bild();
    punktdatei(spl);
    antworten->filterWahl = 2;
    bericht(ordner / "k.txt");
    rechnen();
    EXPECT_TRUE(fenster->meldungen.isEmpty()) << fenster->meldungen.join('\n').toStdString();
    const auto cliLauf = cli("--nc din --korrektur rechts --werkzeugradius 3 --tiefe 2 --vorschub "
                             "400 --nc-datei "
                             + q(ordner / "cli.NC").toStdString() + " -o "
                             + q(ordner / "cli.TXT").toStdString() + " " + q(spl).toStdString());
    ASSERT_EQ(cliLauf.status, 0) << cliLauf.ausgabe;
    EXPECT_EQ(lesen(ordner / "k.NC"), lesen(ordner / "cli.NC"));
    EXPECT_NE(lesen(ordner / "k.NC").find("G1 G42 D1 "), std::string::npos);
    EXPECT_GT(bahnpixel(bild), 100);

    // After a restart: the folder and the type of the last choice.
    neuesFenster();
    punktdatei(spl);
    EXPECT_EQ(antworten->aufrufe.back().ordner, q(ordner));
    antworten->filterWahl = 2;  // the type offered, confirmed
    bericht(ordner / "k.txt");
    EXPECT_EQ(antworten->aufrufe.back().vorauswahl, 2);

    // The tool on the inner side of the rounding of radius 2,5.
    datei.programmSpeichern({{"korrektur", "links"}, {"werkzeugradius", "3"}});
    fs::remove(ordner / "k.TXT");
    rechnen();
    ASSERT_EQ(fenster->meldungen.size(), 1);
    EXPECT_NE(fenster->meldungen[0].toStdString().find(
                  "Punkt 5: der Innenradius 2,5 ist kleiner als der Werkzeugradius 3."),
              std::string::npos)
        << fenster->meldungen[0].toStdString();
    EXPECT_TRUE(fs::exists(ordner / "k.TXT"));
    EXPECT_EQ(lesen(ordner / "k.NC"), lesen(ordner / "cli.NC"));

    datei.programmSpeichern({{"korrektur", "links"}, {"werkzeugradius", "drei"}});
    const auto vorher = stand();
    punktdatei(spl);
    bericht(ordner / "k.txt");
    rechnen();
    ASSERT_EQ(fenster->meldungen.size(), 2);
    EXPECT_EQ(
        fenster->meldungen[1].toStdString(),
        "Einstellungsdatei \"" + einstellungen.string()
            + "\": werkzeugradius \"drei\" ist kein Werkzeugradius von 0.01 bis 9999.9999 mm.");
    EXPECT_EQ(stand(), vorher);
}

}  // namespace
