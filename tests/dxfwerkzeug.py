"""DXF drawings made and read by ezdxf, an independent DXF library, for the tests.

  dxfwerkzeug.py pruefen DATEI...        reads each drawing, audits it, lists its entities
  dxfwerkzeug.py faelle ORDNER PUNKTE    writes the drawings the reader is tested on

Every number is printed with repr, which reads back as the same double.
"""
import sys

import ezdxf
from ezdxf.math import bulge_to_arc


def pruefen(dateien):
    for datei in dateien:
        doc = ezdxf.readfile(datei)
        audit = doc.audit()
        print("DATEI", datei)
        print("AUDIT", len(audit.errors), len(audit.fixes))
        for fehler in audit.errors + audit.fixes:
            print("MELDUNG", fehler.code, fehler.message)
        print("EINHEIT", doc.header.get("$INSUNITS", 0), doc.dxfversion)
        for e in doc.modelspace():
            art, lage = e.dxftype(), e.dxf.layer
            if art == "LINE":
                werte = [e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y]
            elif art == "ARC":
                s, z = e.start_point, e.end_point
                werte = [e.dxf.center.x, e.dxf.center.y, e.dxf.radius, s.x, s.y, z.x, z.y]
            elif art == "LWPOLYLINE":
                punkte = list(e.get_points("xy"))
                werte = [len(punkte)] + [v for p in punkte for v in p]
            else:
                werte = []
            print(art, lage, *map(repr, werte))


def spl(pfad, punkte):
    with open(pfad, "w") as f:
        for x, y in punkte:
            f.write(f"{x!r},{y!r}\n")


def faelle(ordner, punktdatei):
    punkte = [tuple(map(float, z.split(","))) for z in open(punktdatei) if z.strip()]

    # The example contour as one LWPOLYLINE, as CAD systems export it.
    doc = ezdxf.new("R2010")
    doc.modelspace().add_lwpolyline(punkte)
    doc.saveas(f"{ordner}/kontur.dxf")

    # The same as an old-style POLYLINE (R12) and as a chain of LINE entities.
    doc = ezdxf.new("R12")
    doc.modelspace().add_polyline2d(punkte)
    doc.saveas(f"{ordner}/polyline.dxf")
    doc = ezdxf.new("R2000")
    for a, b in zip(punkte, punkte[1:]):
        doc.modelspace().add_line(a, b)
    doc.saveas(f"{ordner}/linien.dxf")
    spl(f"{ordner}/kontur.erwartet", punkte)

    # Several contours: a block's polyline (no part of the drawing), a chain of
    # three lines, an open polyline, two lines that do not meet, a closed one.
    doc = ezdxf.new("R2010")
    msp = doc.modelspace()
    doc.blocks.new("TEIL").add_lwpolyline([(7, 7), (8, 8), (9, 7)])
    kette = [(0.5, 0.25), (10.125, 0.25), (10.125, 5.5), (0.5, 5.5)]
    for a, b in zip(kette, kette[1:]):
        msp.add_line(a, b)
    offen = [(-3.0, 1.0), (-2.0, 4.0), (-1.0, 1.0), (0.0, 4.0)]
    msp.add_lwpolyline(offen)
    msp.add_circle((50, 50), 3)
    msp.add_line((20, 20), (21, 21))
    msp.add_line((30, 30), (31, 31))
    zu = [(100.0, 100.0), (110.0, 100.0), (110.0, 107.5)]
    msp.add_lwpolyline(zu, close=True)
    doc.saveas(f"{ordner}/mehrere.dxf")
    spl(f"{ordner}/mehrere-1.erwartet", kette)
    spl(f"{ordner}/mehrere-2.erwartet", offen)
    spl(f"{ordner}/mehrere-5.erwartet", zu + zu[:1])

    # Arc segments: a quarter turn, a clockwise half circle, a shallow arc and a
    # straight piece; the arcs as ezdxf finds them, for the points to lie on.
    ecken = [(0.0, 0.0, 0.41421356237309503), (10.0, 10.0, -1.0), (30.0, 10.0, 0.05),
             (60.0, 10.0, 0.0), (60.0, 40.0, 0.0)]
    doc = ezdxf.new("R2010")
    doc.modelspace().add_lwpolyline(ecken, format="xyb")
    doc.saveas(f"{ordner}/boegen.dxf")
    with open(f"{ordner}/boegen.erwartet", "w") as f:
        for (x1, y1, b), (x2, y2, _) in zip(ecken, ecken[1:]):
            f.write(f"ECKE {x1!r} {y1!r}\n")
            if b:
                m, _, _, r = bulge_to_arc((x1, y1), (x2, y2), b)
                f.write(f"BOGEN {m.x!r} {m.y!r} {r!r}\n")
        f.write(f"ECKE {ecken[-1][0]!r} {ecken[-1][1]!r}\n")


if __name__ == "__main__":
    if sys.argv[1] == "pruefen":
        pruefen(sys.argv[2:])
    else:
        faelle(sys.argv[2], sys.argv[3])
