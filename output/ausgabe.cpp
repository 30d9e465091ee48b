#include "output/ausgabe.h"

#include "common/fehler.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bogenkette {

Ausgabe::Ausgabe(std::size_t puffergroesse) : puffer_(puffergroesse) {}

void Ausgabe::schreiben(const char* daten, std::size_t laenge)
{
    if (belegt_ + laenge > puffer_.size()) {
        leeren();
        if (laenge > puffer_.size()) {
            senden(daten, laenge);
            return;
        }
    }
    std::memcpy(puffer_.data() + belegt_, daten, laenge);
    belegt_ += laenge;
}

void Ausgabe::zeile(const char* daten, std::size_t laenge)
{
    if (belegt_ + laenge + 2 <= puffer_.size()) {
        char* ziel = puffer_.data() + belegt_;
        std::memcpy(ziel, daten, laenge);
        ziel[laenge] = '\r';
        ziel[laenge + 1] = '\n';
        belegt_ += laenge + 2;
        return;
    }
    schreiben(daten, laenge);
    schreiben("\r\n", 2);
}

void Ausgabe::leeren()
{
    if (belegt_ == 0)
        return;
    const std::size_t n = belegt_;
    belegt_ = 0;  // a failed piece is not offered twice
    senden(puffer_.data(), n);
}

namespace {

std::string verzeichnisVon(const std::string& pfad)
{
    const auto schraeg = pfad.find_last_of('/');
    if (schraeg == std::string::npos)
        return ".";
    if (schraeg == 0)
        return "/";
    return pfad.substr(0, schraeg);
}

std::string nameVon(const std::string& pfad)
{
    const auto schraeg = pfad.find_last_of('/');
    return schraeg == std::string::npos ? pfad : pfad.substr(schraeg + 1);
}

[[noreturn]] void dateifehler(const std::string& bezeichnung, const std::string& pfad,
                              const std::string& was, int nummer)
{
    throw Fehler(bezeichnung + " " + dateiname(pfad) + " " + was + ": " + systemfehlerText(nummer));
}

// Permissions a newly created file would get: rw for all, less the umask.
mode_t neueDateirechte()
{
    const mode_t maske = ::umask(0);
    ::umask(maske);
    return 0666 & ~maske;
}

// The file a path names: a link followed to the file it names, so that the link
// itself stays.
std::string zielVon(const std::string& pfad)
{
    std::error_code fehler;
    if (std::filesystem::is_symlink(pfad, fehler)) {
        const auto aufgeloest = std::filesystem::weakly_canonical(pfad, fehler);
        if (!fehler)
            return aufgeloest.string();
    }
    return pfad;
}

}  // namespace

void Berichtsdatei::pruefen(const std::string& pfad, const std::string& bezeichnung)
{
    const std::string ziel = zielVon(pfad);
    struct stat info {};
    if (::stat(ziel.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            dateifehler(bezeichnung, pfad, "kann nicht angelegt werden", EISDIR);
        if (!S_ISREG(info.st_mode))
            throw Fehler(bezeichnung + " " + dateiname(pfad)
                         + " ist keine gewöhnliche Datei (etwa eine Pipe oder ein Gerät); bitte "
                           "einen anderen Namen wählen.");
        if (::access(ziel.c_str(), W_OK) != 0)
            dateifehler(bezeichnung, pfad, "kann nicht geschrieben werden", errno);
    }
    const std::string ordner = verzeichnisVon(ziel);
    if (::stat(ordner.c_str(), &info) != 0)
        dateifehler(bezeichnung, pfad, "kann nicht angelegt werden", errno);
    if (!S_ISDIR(info.st_mode))
        dateifehler(bezeichnung, pfad, "kann nicht angelegt werden", ENOTDIR);
    if (::access(ordner.c_str(), W_OK | X_OK) != 0)
        dateifehler(bezeichnung, pfad, "kann nicht angelegt werden", errno);
}

Berichtsdatei::Berichtsdatei(std::string pfad, std::string bezeichnung)
    : pfad_(std::move(pfad)), bezeichnung_(std::move(bezeichnung)), ziel_(zielVon(pfad_))
{
    struct stat info {};
    const bool vorhanden = ::stat(ziel_.c_str(), &info) == 0;
    if (vorhanden) {
        if (S_ISDIR(info.st_mode))
            dateifehler(bezeichnung_, pfad_, "kann nicht angelegt werden", EISDIR);
        if (!S_ISREG(info.st_mode)) {
            fd_ = ::open(ziel_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd_ < 0)
                dateifehler(bezeichnung_, pfad_, "kann nicht geöffnet werden", errno);
            return;
        }
    }

    std::string muster = verzeichnisVon(ziel_) + "/." + nameVon(ziel_) + ".XXXXXX";
    fd_ = ::mkostemp(muster.data(), O_CLOEXEC);
    if (fd_ < 0)
        dateifehler(bezeichnung_, pfad_, "kann nicht angelegt werden", errno);
    temp_ = muster;
    // The temporary file stays private (mkostemp: rw for the owner only) until it
    // takes its name and the permissions that go with it.
}

Berichtsdatei::~Berichtsdatei()
{
    if (!abgeschlossen_)
        verwerfen();
}

void Berichtsdatei::senden(const char* daten, std::size_t laenge)
{
    if (fd_ < 0)
        throw Fehler(bezeichnung_ + " " + dateiname(pfad_) + " ist bereits geschlossen");
    while (laenge > 0) {
        const ssize_t n = ::write(fd_, daten, laenge);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            dateifehler(bezeichnung_, pfad_, "kann nicht geschrieben werden", errno);
        }
        daten += n;
        laenge -= static_cast<std::size_t>(n);
    }
}

void Berichtsdatei::schliessen()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void Berichtsdatei::fertigschreiben()
{
    if (fertig_)
        return;
    leeren();
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0)
        dateifehler(bezeichnung_, pfad_, "kann nicht geschrieben werden", errno);
    fertig_ = true;
}

void Berichtsdatei::abschliessen()
{
    fertigschreiben();
    if (!temp_.empty()) {
        // A report that replaces a file keeps the permissions that file has now; a
        // new one gets those of a new file.
        struct stat info {};
        const bool ersetzt = ::stat(ziel_.c_str(), &info) == 0 && S_ISREG(info.st_mode);
        ::chmod(temp_.c_str(), ersetzt ? info.st_mode & 07777 : neueDateirechte());
        if (::rename(temp_.c_str(), ziel_.c_str()) != 0)
            dateifehler(bezeichnung_, pfad_, "kann nicht gespeichert werden", errno);
        temp_.clear();
    }
    abgeschlossen_ = true;
}

void Berichtsdatei::verwerfen()
{
    schliessen();
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    abgeschlossen_ = true;
}

}  // namespace bogenkette
