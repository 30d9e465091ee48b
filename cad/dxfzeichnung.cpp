#include "cad/dxfzeichnung.h"

#include "common/fehler.h"
#include "output/ausgabe.h"

#include <dl_dxf.h>
#include <dl_writer_ascii.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>
#include <tuple>

namespace bogenkette {

// dxflib's writer with our sink: the groups go to an Ausgabe (a file that takes
// its name only when complete), each real number as the shortest decimal text
// that reads back as the same double, so that a coordinate of the path shows
// exactly the NC program's digits.
class Dxfschreiber : public DL_WriterA {
public:
    // dxflib's own file is never opened (no name); only the groups below write.
    explicit Dxfschreiber(Ausgabe& ziel) : DL_WriterA("", DL_VERSION_2000), ziel_(ziel) {}

    void dxfReal(int code, double wert) const override
    {
        char text[400];  // the longest fixed text of a double, with room to spare
        char* ende =
            std::to_chars(text, text + sizeof text - 2, wert, std::chars_format::fixed).ptr;
        if (std::find(text, ende, '.') == ende) {
            *ende++ = '.';
            *ende++ = '0';
        }
        gruppe(code, text, static_cast<std::size_t>(ende - text));
    }
    void dxfInt(int code, int wert) const override
    {
        char text[16];
        gruppe(code, text,
               static_cast<std::size_t>(std::to_chars(text, text + 16, wert).ptr - text));
    }
    void dxfHex(int code, int wert) const override
    {
        char text[16];
        char* ende = std::to_chars(text, text + 16, static_cast<unsigned>(wert), 16).ptr;
        for (char* c = text; c < ende; ++c)
            if (*c >= 'a')
                *c = static_cast<char>(*c - 'a' + 'A');
        gruppe(code, text, static_cast<std::size_t>(ende - text));
    }
    void dxfString(int code, const char* wert) const override
    {
        gruppe(code, wert, std::strlen(wert));
    }
    void dxfString(int code, const std::string& wert) const override
    {
        gruppe(code, wert.data(), wert.size());
    }

private:
    // A group: its code right-aligned in three places, then its value, each on a line.
    void gruppe(int code, const char* wert, std::size_t laenge) const
    {
        char text[16] = "   ";
        char ziffern[12];
        const auto n = static_cast<std::size_t>(
            std::to_chars(ziffern, ziffern + sizeof ziffern, code).ptr - ziffern);
        const std::size_t breite = std::max<std::size_t>(3, n);
        std::memcpy(text + breite - n, ziffern, n);
        ziel_.zeile(text, breite);
        ziel_.zeile(wert, laenge);
    }

    Ausgabe& ziel_;
};

namespace {

const DL_Attributes& bahnlage()
{
    static const DL_Attributes lage("BAHN", 256, -1, -1, "BYLAYER");
    return lage;
}

// Direction of p seen from the centre m, in degrees.
double richtung(Bahnpunkt m, Bahnpunkt p)
{
    return std::atan2(mm(p.y - m.y), mm(p.x - m.x)) * 180.0 / std::numbers::pi;
}

}  // namespace

DxfZeichnung::DxfZeichnung(std::string pfad)
    : name_(pfad), datei_(std::make_unique<Berichtsdatei>(std::move(pfad), "DXF-Zeichnung")),
      ziel_(datei_.get()), schreiber_(std::make_unique<Dxfschreiber>(*ziel_))
{
}

DxfZeichnung::DxfZeichnung(Ausgabe& ziel, std::string name)
    : name_(std::move(name)), ziel_(&ziel), schreiber_(std::make_unique<Dxfschreiber>(ziel))
{
}

DxfZeichnung::~DxfZeichnung() = default;

void DxfZeichnung::beginnen(const Kontur& kontur, double, const Toleranzband&)
{
    if (const Index p = bahnrahmen(kontur).ausserhalb; p != 0)
        throw Fehler("DXF-Zeichnung " + dateiname(name_) + ": Punkt " + std::to_string(p)
                     + " liegt zu weit vom Nullpunkt für die Bahn (Koordinaten bis "
                       "±999999999.9999).");
    kopfSchreiben(kontur.anzahl);
    punkteSchreiben(kontur);
}

void DxfZeichnung::kopfSchreiben(Index punkte)
{
    DL_Dxf dxf;
    Dxfschreiber& w = *schreiber_;
    // The header: AutoCAD 2000, millimetres, metric; the first free handle beyond
    // every one this drawing can use (tables and blocks, the polyline, at most one
    // entity per point).
    w.sectionHeader();
    w.dxfString(9, "$ACADVER");
    w.dxfString(1, "AC1015");
    w.dxfString(9, "$HANDSEED");
    w.dxfHex(5, static_cast<int>(std::min<Index>(0x1000 + 2 * punkte, 0x7FFFFFFF)));
    w.dxfString(9, "$INSUNITS");
    w.dxfInt(70, 4);
    w.dxfString(9, "$MEASUREMENT");
    w.dxfInt(70, 1);
    w.sectionEnd();

    w.sectionTables();
    dxf.writeVPort(w);
    w.tableLinetypes(3);
    dxf.writeLinetype(w, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(w, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(w, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    w.tableEnd();
    // The path in red, 0.35 mm wide; the points in grey, thin.
    w.tableLayers(3);
    dxf.writeLayer(w, DL_LayerData("0", 0), DL_Attributes("", 7, -1, -3, "CONTINUOUS"));
    dxf.writeLayer(w, DL_LayerData("BAHN", 0), DL_Attributes("", 1, -1, 35, "CONTINUOUS"));
    dxf.writeLayer(w, DL_LayerData("PUNKTE", 0), DL_Attributes("", 8, -1, 13, "CONTINUOUS"));
    w.tableEnd();
    w.tableStyle(1);
    DL_StyleData stil("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", "");
    stil.bold = stil.italic = false;
    dxf.writeStyle(w, stil);
    w.tableEnd();
    dxf.writeView(w);
    dxf.writeUcs(w);
    w.tableAppid(1);
    dxf.writeAppid(w, "ACAD");
    w.tableEnd();
    dxf.writeDimStyle(w, 1, 1, 1, 1, 1);
    // The block records of model and paper space, with the handles dxflib gives
    // their blocks (its own table adds a second paper space without a layout).
    w.dxfString(0, "TABLE");
    w.dxfString(2, "BLOCK_RECORD");
    w.dxfHex(5, 1);
    w.dxfString(100, "AcDbSymbolTable");
    w.dxfInt(70, 2);
    for (const auto& [handle, name, layout] :
         {std::tuple{0x1F, "*Model_Space", 0x22}, std::tuple{0x1B, "*Paper_Space", 0x1E}}) {
        w.dxfString(0, "BLOCK_RECORD");
        w.dxfHex(5, handle);
        w.dxfString(100, "AcDbSymbolTableRecord");
        w.dxfString(100, "AcDbBlockTableRecord");
        w.dxfString(2, name);
        w.dxfHex(340, layout);
    }
    w.tableEnd();
    w.sectionEnd();

    w.sectionBlocks();
    for (const char* block : {"*Model_Space", "*Paper_Space"}) {
        dxf.writeBlock(w, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(w, block);
    }
    w.sectionEnd();
    w.sectionEntities();
}

void DxfZeichnung::punkteSchreiben(const Kontur& kontur)
{
    DL_Dxf dxf;
    const DL_Attributes lage("PUNKTE", 256, -1, -1, "BYLAYER");
    dxf.writePolyline(*schreiber_, DL_PolylineData(static_cast<int>(kontur.anzahl), 0, 0, 0), lage);
    for (Index i = 1; i <= kontur.anzahl; ++i)
        dxf.writeVertex(*schreiber_, DL_VertexData(kontur.xWert[i], kontur.yWert[i]));
    dxf.writePolylineEnd(*schreiber_);
}

void DxfZeichnung::bahnBeginnen(Bahnpunkt) {}

void DxfZeichnung::elementAufnehmen(Bahnpunkt von, const Bahnelement& element)
{
    DL_Dxf dxf;
    const Bahnpunkt& bis = element.ende;
    if (element.art == Bahnelement::Art::gerade) {
        dxf.writeLine(*schreiber_,
                      DL_LineData(mm(von.x), mm(von.y), 0.0, mm(bis.x), mm(bis.y), 0.0),
                      bahnlage());
        return;
    }
    // An ARC turns counter-clockwise: a clockwise element runs from its end.
    const bool links = element.art == Bahnelement::Art::links;
    const Bahnpunkt& m = element.mitte;
    const double a = richtung(m, links ? von : bis), b = richtung(m, links ? bis : von);
    dxf.writeArc(*schreiber_, DL_ArcData(mm(m.x), mm(m.y), 0.0, bogenradius(von, element), a, b),
                 bahnlage());
}

void DxfZeichnung::abschliessen(const Bahnabschluss&)
{
    schreiber_->sectionEnd();
    schreiber_->dxfEOF();
    if (datei_)
        datei_->fertigschreiben();
    else
        ziel_->leeren();
}

void DxfZeichnung::freigeben()
{
    if (datei_)
        datei_->abschliessen();
}

}  // namespace bogenkette
