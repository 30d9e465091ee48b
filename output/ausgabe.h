// Where the bytes of every output go (the report, the NC programs, the pictures):
// a buffered sink, one implementation that keeps them in memory and one that
// writes a file which reaches its name only when complete.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace bogenkette {

// Collects bytes in a large buffer and hands them on in big pieces.
class Ausgabe {
public:
    explicit Ausgabe(std::size_t puffergroesse = 1 << 20);
    virtual ~Ausgabe() = default;
    Ausgabe(const Ausgabe&) = delete;
    Ausgabe& operator=(const Ausgabe&) = delete;

    void schreiben(const char* daten, std::size_t laenge);
    // Writes the text followed by carriage return and line feed.
    void zeile(const char* daten, std::size_t laenge);
    void zeile(const std::string& text) { zeile(text.data(), text.size()); }
    // Hands everything buffered on; throws Fehler when that fails.
    void leeren();

protected:
    // Takes a piece of the output; throws Fehler on failure.
    virtual void senden(const char* daten, std::size_t laenge) = 0;

private:
    std::vector<char> puffer_;
    std::size_t belegt_ = 0;
};

class Speicherausgabe : public Ausgabe {
public:
    Speicherausgabe() : Ausgabe(1 << 16) {}
    const std::string& inhalt()
    {
        leeren();
        return inhalt_;
    }

protected:
    void senden(const char* daten, std::size_t laenge) override { inhalt_.append(daten, laenge); }

private:
    std::string inhalt_;
};

// The report file. Its bytes go to a temporary file beside the target, which
// abschliessen() moves into place; until then an existing file of that name is
// left as it was, and a report that is given up (or never finished) leaves no
// trace. A target that is a device or pipe (e.g. /dev/null) is written directly.
// A symbolic link as the target is followed: the file it points to is replaced. A
// file that is replaced keeps the permissions it has when it is replaced.
// The other files of a run (an NC program, a picture) are written the same way,
// with their own word in the messages.
class Berichtsdatei : public Ausgabe {
public:
    // Creates the temporary file; throws Fehler naming the file when it cannot.
    // `bezeichnung` names the kind of file in messages ("Bericht", "NC-Programm").
    explicit Berichtsdatei(std::string pfad, std::string bezeichnung = "Bericht");
    ~Berichtsdatei() override;

    // Writes what is left and closes the temporary file, without giving it its
    // name yet; throws Fehler on failure. Lets a run complete all its files
    // before any of them replaces an earlier one.
    void fertigschreiben();
    // Writes what is left and gives the report its name; throws Fehler on failure.
    void abschliessen();
    // Discards the report written so far.
    void verwerfen();

    const std::string& pfad() const { return pfad_; }

    // Checks, without creating anything, that `pfad` can take a file written this
    // way: it is no folder, where it exists it is a regular file (a pipe or device
    // would be written directly, and opening a pipe waits for a reader), and its
    // folder exists and may be written to. Throws Fehler worded as the
    // constructor's, with `bezeichnung` as there.
    static void pruefen(const std::string& pfad, const std::string& bezeichnung = "Bericht");

protected:
    void senden(const char* daten, std::size_t laenge) override;

private:
    void schliessen();

    std::string pfad_;  // as the user named it (for messages)
    std::string bezeichnung_;
    std::string ziel_;  // the file that receives the report (links followed)
    std::string temp_;  // temporary file, empty when writing directly
    int fd_ = -1;
    bool fertig_ = false;  // written and closed
    bool abgeschlossen_ = false;
};

}  // namespace bogenkette
