#include "nc/ncprogramm.h"

#include "common/fehler.h"
#include "nc/korrekturpruefung.h"
#include "nc/programmtext.h"
#include "output/ausgabe.h"

#include <charconv>
#include <filesystem>
#include <stdexcept>

namespace bogenkette {

namespace {

std::string basisname(const std::string& pfad)
{
    return std::filesystem::path(pfad).filename().string();
}

std::string ohneEndung(const std::string& pfad)
{
    return std::filesystem::path(pfad).stem().string();
}

std::string wertText(double v)
{
    char puffer[64];
    return std::string(puffer, std::to_chars(puffer, puffer + sizeof puffer, v).ptr);
}

// The feed, when a program can take it.
double vorschubPruefen(double vorschub, const std::string& name)
{
    if (!(vorschub >= kleinsterVorschub && vorschub <= groessterVorschub))
        throw Fehler("NC-Programm " + dateiname(name) + ": der Vorschub " + wertText(vorschub)
                     + " mm/min ist nicht möglich; erlaubt sind 0.0001 bis 99999.9999 mm/min.");
    return vorschub;
}

// The frame of a program with machining options; a tool radius where
// compensation needs one.
std::optional<Rahmen> rahmenBilden(const std::optional<Bearbeitung>& bearbeitung, double vorschub,
                                   const std::string& name)
{
    if (!bearbeitung)
        return std::nullopt;
    if (radiusFehlt(*bearbeitung))
        throw Fehler("NC-Programm " + dateiname(name) + ": die Korrektur "
                     + korrekturText(bearbeitung->korrektur) + " braucht einen Werkzeugradius.");
    return Rahmen(*bearbeitung, vorschub);
}

}  // namespace

const char* ncEndung(Dialekt dialekt) { return dialekt == Dialekt::klartext ? "H" : "NC"; }

NcProgramm::NcProgramm(Dialekt dialekt, std::string pfad, const std::string& punktdatei,
                       double vorschub, std::optional<Bearbeitung> bearbeitung)
    : name_(pfad), programmname_(ohneEndung(pfad)), punktdatei_(basisname(punktdatei)),
      punktdateiPfad_(punktdatei), bearbeitung_(std::move(bearbeitung)),
      text_(Programmtext::erstellen(dialekt, vorschubPruefen(vorschub, name_),
                                    rahmenBilden(bearbeitung_, vorschub, name_)))
{
    // The temporary file last, once the options are known to be good.
    datei_ = std::make_unique<Berichtsdatei>(std::move(pfad), "NC-Programm");
    ziel_ = datei_.get();
}

NcProgramm::NcProgramm(Dialekt dialekt, Ausgabe& ziel, std::string programmname,
                       const std::string& punktdatei, double vorschub,
                       std::optional<Bearbeitung> bearbeitung)
    : name_(programmname), programmname_(std::move(programmname)),
      punktdatei_(basisname(punktdatei)), punktdateiPfad_(punktdatei),
      bearbeitung_(std::move(bearbeitung)), ziel_(&ziel),
      text_(Programmtext::erstellen(dialekt, vorschubPruefen(vorschub, name_),
                                    rahmenBilden(bearbeitung_, vorschub, name_)))
{
}

NcProgramm::~NcProgramm() = default;

void NcProgramm::beginnen(const Kontur& kontur, double fehl, const Toleranzband& band)
{
    fehl_ = fehl;
    rahmen_ = bahnrahmen(kontur);
    if (const Index p = rahmen_.ausserhalb; p != 0)
        throw Fehler("NC-Programm " + dateiname(name_) + ": Punkt " + std::to_string(p) + " ("
                     + wertText(kontur.xWert[p]) + ", " + wertText(kontur.yWert[p])
                     + ") liegt zu weit vom Nullpunkt; ein NC-Programm fasst Koordinaten bis "
                       "±999999999.9999.");
    const Korrektur korrektur = bearbeitung_ ? bearbeitung_->korrektur : Korrektur::aus;
    const Toleranzband verlangt = bahnband(fehl, korrektur);
    if (korrektur != Korrektur::aus
        && (band.links != verlangt.links || band.rechts != verlangt.rechts))
        throw std::logic_error("NC-Programm mit Korrektur auf einer Bahn ohne ihr Toleranzband");
    if (korrektur != Korrektur::aus)
        pruefung_ = std::make_unique<Korrekturpruefung>(
            kontur, fehl, korrektur, *bearbeitung_->werkzeugradius, punktdateiPfad_, *text_);
}

void NcProgramm::bahnBeginnen(Bahnpunkt start)
{
    if (pruefung_)
        pruefung_->bahnBeginnen(start);
    else
        text_->bahnBeginnen(start);
}

void NcProgramm::elementAufnehmen(Bahnpunkt von, const Bahnelement& element)
{
    if (!pruefung_)
        text_->elementAufnehmen(von, element);
    else if (!pruefung_->ablehnung())
        pruefung_->elementAufnehmen(von, element);
}

void NcProgramm::abschliessen(const Bahnabschluss& abschluss)
{
    const Rahmenlage* lage = nullptr;
    if (pruefung_) {
        pruefung_->abschliessen();
        if (const auto& ablehnung = pruefung_->ablehnung())
            throw Ablehnung(*ablehnung);
        lage = &pruefung_->lage();
    }
    text_->schreiben(*ziel_, {programmname_, punktdatei_, fehl_, abschluss, rahmen_, lage});
    if (datei_)
        datei_->fertigschreiben();
    else
        ziel_->leeren();
}

void NcProgramm::freigeben()
{
    if (datei_)
        datei_->abschliessen();
}

}  // namespace bogenkette
