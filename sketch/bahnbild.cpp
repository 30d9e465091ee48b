#include "sketch/bahnbild.h"

#include "common/fehler.h"
#include "output/ausgabe.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace bogenkette {

namespace {

// Margin around the figure and height of the legend below it, as shares of the
// drawing's larger side; the text's size likewise.
constexpr double randAnteil = 0.05;
constexpr double schriftAnteil = 0.03;
constexpr double legendenAnteil = 0.12;
// Line widths likewise: points, path, scale bar.
constexpr double punktlinienAnteil = 0.001;
constexpr double bahnlinienAnteil = 0.003;
constexpr double massstabsAnteil = 0.003;

// Of 1, 2, 5 times a power of ten, the largest not above `hoechstens`.
double runderMassstab(double hoechstens)
{
    const double zehner = std::pow(10.0, std::floor(std::log10(hoechstens)));
    for (const double stufe : {5.0, 2.0})
        if (stufe * zehner <= hoechstens)
            return stufe * zehner;
    return zehner;
}

std::string kurzText(double v)
{
    char puffer[64];
    return std::string(
        puffer, std::to_chars(puffer, puffer + sizeof puffer, v, std::chars_format::fixed).ptr);
}

}  // namespace

Bahnbild::Bahnbild(std::string pfad)
    : name_(pfad), datei_(std::make_unique<Berichtsdatei>(std::move(pfad), "Bild")),
      ziel_(datei_.get())
{
}

Bahnbild::Bahnbild(Ausgabe& ziel, std::string name) : name_(std::move(name)), ziel_(&ziel) {}

Bahnbild::~Bahnbild() = default;

void Bahnbild::text(std::string_view text) { ziel_->schreiben(text.data(), text.size()); }

void Bahnbild::zahl(std::int64_t zehntausendstel)
{
    char puffer[maxBahnzahltext];
    ziel_->schreiben(puffer,
                     static_cast<std::size_t>(bahnzahlSchreiben(zehntausendstel, puffer) - puffer));
}

void Bahnbild::laenge(double mm) { zahl(zehntausendstel(mm)); }

void Bahnbild::ort(Bahnpunkt p)
{
    zahl(p.x);
    text(" ");
    zahl(-p.y);
}

void Bahnbild::beginnen(const Kontur& kontur, double, const Toleranzband&)
{
    rahmen_ = bahnrahmen(kontur);
    if (const Index p = rahmen_.ausserhalb; p != 0)
        throw Fehler("Bild " + dateiname(name_) + ": Punkt " + std::to_string(p)
                     + " liegt zu weit vom Nullpunkt für die Bahn (Koordinaten bis "
                       "±999999999.9999).");
    kontur_ = &kontur;
    const double breite = mm(rahmen_.max.x - rahmen_.min.x);
    const double hoehe = mm(rahmen_.max.y - rahmen_.min.y);
    groesse_ = std::max({breite, hoehe, 1.0 / bahnEinheitenProMm});
    const double rand = randAnteil * groesse_;
    const double sicht[4] = {mm(rahmen_.min.x) - rand, -mm(rahmen_.max.y) - rand, breite + 2 * rand,
                             hoehe + 2 * rand + legendenAnteil * groesse_};
    text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100%\" height=\"100%\" "
         "preserveAspectRatio=\"xMidYMid meet\" viewBox=\"");
    for (int i = 0; i < 4; ++i) {
        laenge(sicht[i]);
        text(i < 3 ? " " : "\">\n<title>Bahn der Bogenkette</title>\n<rect fill=\"white\" x=\"");
    }
    const char* const namen[] = {"\" y=\"", "\" width=\"", "\" height=\"", "\"/>\n"};
    for (int i = 0; i < 4; ++i) {
        laenge(sicht[i]);
        text(namen[i]);
    }
    text("<path fill=\"none\" stroke=\"#d00000\" stroke-linejoin=\"round\" "
         "stroke-linecap=\"round\" stroke-width=\"");
    laenge(bahnlinienAnteil * groesse_);
    text("\" d=\"");
}

void Bahnbild::punkteZeichnen(const Kontur& kontur)
{
    text("<polyline fill=\"none\" stroke=\"#999999\" stroke-linejoin=\"round\" stroke-width=\"");
    laenge(punktlinienAnteil * groesse_);
    text("\" points=\"");
    const auto raster = std::max<std::int64_t>(1, zehntausendstel(groesse_ / 20000));
    Bahnpunkt alt = bahnpunkt(kontur.xWert[1], kontur.yWert[1]);
    ort(alt);
    for (Index i = 2; i <= kontur.anzahl; ++i) {
        const Bahnpunkt p = bahnpunkt(kontur.xWert[i], kontur.yWert[i]);
        const bool nah = std::llabs(p.x - alt.x) < raster && std::llabs(p.y - alt.y) < raster;
        if (nah && i < kontur.anzahl)
            continue;
        text(i % 8 == 0 ? "\n" : " ");
        ort(p);
        alt = p;
    }
    text("\"/>\n");
}

void Bahnbild::bahnBeginnen(Bahnpunkt start)
{
    text("M");
    ort(start);
}

void Bahnbild::elementAufnehmen(Bahnpunkt von, const Bahnelement& element)
{
    if (element.art == Bahnelement::Art::gerade) {
        text("\nL");
    } else {
        // y runs downward in SVG: an arc counter-clockwise in the drawing turns
        // the negative way there (sweep flag 0).
        text("\nA");
        const double r = bogenradius(von, element);
        laenge(r);
        text(" ");
        laenge(r);
        text(ueberHalbkreis(von, element) ? " 0 1 " : " 0 0 ");
        text(element.art == Bahnelement::Art::links ? "0 " : "1 ");
    }
    ort(element.ende);
}

void Bahnbild::legendeZeichnen(const Bahnabschluss& abschluss)
{
    const double schrift = schriftAnteil * groesse_;
    const double unten = -mm(rahmen_.min.y) + randAnteil * groesse_;  // lower edge of the figure
    const double links = mm(rahmen_.min.x);
    const double laengeMassstab = runderMassstab(groesse_ / 4);
    const double y = unten + 1.5 * schrift;
    text("<path fill=\"none\" stroke=\"black\" stroke-width=\"");
    laenge(massstabsAnteil * groesse_);
    text("\" d=\"M");
    laenge(links);
    text(" ");
    laenge(y - schrift / 2);
    text(" V");
    laenge(y);
    text(" H");
    laenge(links + laengeMassstab);
    text(" V");
    laenge(y - schrift / 2);
    text("\"/>\n<g font-family=\"sans-serif\" font-size=\"");
    laenge(schrift);
    text("\" fill=\"black\">\n<text x=\"");
    laenge(links + laengeMassstab + schrift / 2);
    text("\" y=\"");
    laenge(y);
    text("\">" + kurzText(laengeMassstab) + " mm</text>\n<text x=\"");
    laenge(mm(rahmen_.max.x));
    text("\" y=\"");
    laenge(y);
    text("\" text-anchor=\"end\">" + std::to_string(kontur_->anzahl) + " Punkte, "
         + bahnzaehlung(abschluss, "Bögen", " (kürzeste Bahn)") + "</text>\n</g>\n");
}

void Bahnbild::abschliessen(const Bahnabschluss& abschluss)
{
    text("\"/>\n");
    punkteZeichnen(*kontur_);
    legendeZeichnen(abschluss);
    text("</svg>\n");
    if (datei_)
        datei_->fertigschreiben();
    else
        ziel_->leeren();
}

void Bahnbild::freigeben()
{
    if (datei_)
        datei_->abschliessen();
}

}  // namespace bogenkette
