// bogenkette: the window program. Choose a point file, a report file and the
// permissible contour error, and compute the chain of arcs with its report.

#include "app/form1.h"
#include "app/schriften.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <csignal>

int main(int argc, char** argv)
{
    // A file size limit must end in a failed write with a message, not in a signal.
    std::signal(SIGXFSZ, SIG_IGN);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bogenkette"));
    QApplication::setDesktopFileName(QStringLiteral("bogenkette"));

    // The window speaks German; so do Qt's own dialogs where their texts are installed.
    QTranslator qtTexte;
    if (qtTexte.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexte);

    bogenkette::schriftenEinrichten();

    bogenkette::Form1 form1;
    form1.show();
    return QApplication::exec();
}
