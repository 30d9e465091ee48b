#include "input/bytequelle.h"

#include "common/fehler.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bogenkette {

namespace {

// A pipe or device: its bytes cannot be read a second time from the first one.
[[noreturn]] void nichtZweimalLesbar(const std::string& pfad)
{
    throw Fehler("Punktdatei " + dateiname(pfad)
                 + " lässt sich nicht ein zweites Mal von vorn lesen (keine gewöhnliche "
                   "Datei, etwa eine Pipe); bitte die Punkte in einer Datei speichern.");
}

}  // namespace

Dateiquelle::Dateiquelle(const std::string& pfad, bool nurDatei) : pfad_(pfad)
{
    fd_ = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | (nurDatei ? O_NONBLOCK : 0));
    if (fd_ < 0)
        fehler("kann nicht geöffnet werden", errno);
    try {
        struct stat info {};
        if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode))
            fehler("kann nicht gelesen werden", EISDIR);
        if (nurDatei && !S_ISREG(info.st_mode))
            nichtZweimalLesbar(pfad_);
        if (S_ISREG(info.st_mode))
            umfang_ = static_cast<std::size_t>(info.st_size);
    } catch (...) {
        ::close(fd_);  // the destructor does not run for a refused file
        throw;
    }
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

Dateiquelle::~Dateiquelle()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t Dateiquelle::lesen(char* ziel, std::size_t platz)
{
    for (;;) {
        const ssize_t n = ::read(fd_, ziel, platz);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            fehler("kann nicht gelesen werden", errno);
    }
}

void Dateiquelle::zurueckspulen()
{
    if (::lseek(fd_, 0, SEEK_SET) != 0)
        nichtZweimalLesbar(pfad_);
}

void Dateiquelle::fehler(const char* was, int nummer) const
{
    throw Fehler("Punktdatei " + dateiname(pfad_) + " " + was + ": " + systemfehlerText(nummer));
}

std::size_t Textquelle::lesen(char* ziel, std::size_t platz)
{
    const std::size_t n = std::min(platz, rest_.size());
    std::memcpy(ziel, rest_.data(), n);
    rest_.remove_prefix(n);
    return n;
}

}  // namespace bogenkette
