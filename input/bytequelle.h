// The bytes of a point file, or of a text in memory, handed out in pieces: what
// the readers of point files and DXF drawings take their input from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bogenkette {

class Bytequelle {
public:
    virtual ~Bytequelle() = default;
    // Fills up to `platz` bytes; 0 at the end. Throws Fehler on a read error.
    virtual std::size_t lesen(char* ziel, std::size_t platz) = 0;
    // How many bytes there are to read, as far as known in advance.
    virtual std::size_t umfang() const { return SIZE_MAX; }
};

// A point file, opened at once. Messages name it as "Punktdatei".
class Dateiquelle : public Bytequelle {
public:
    // Throws Fehler naming the file when it cannot be opened or is a folder.
    // `nurDatei`: refuses anything but a regular file, and without waiting: a pipe
    // opened to read waits for a writer.
    explicit Dateiquelle(const std::string& pfad, bool nurDatei = false);
    ~Dateiquelle() override;
    Dateiquelle(const Dateiquelle&) = delete;
    Dateiquelle& operator=(const Dateiquelle&) = delete;

    std::size_t lesen(char* ziel, std::size_t platz) override;
    std::size_t umfang() const override { return umfang_; }

    // Starts again at the first byte, on the same open file: a file replaced or
    // renamed meanwhile does not matter. A pipe cannot start again (Fehler);
    // reopening it by name would wait for a writer that never comes.
    void zurueckspulen();

private:
    [[noreturn]] void fehler(const char* was, int nummer) const;

    std::string pfad_;
    int fd_ = -1;
    std::size_t umfang_ = SIZE_MAX;
};

class Textquelle : public Bytequelle {
public:
    explicit Textquelle(std::string_view text) : rest_(text) {}
    std::size_t lesen(char* ziel, std::size_t platz) override;
    std::size_t umfang() const override { return rest_.size(); }

private:
    std::string_view rest_;
};

}  // namespace bogenkette
