#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "kern/katalog.h"
#include "mining/parameter.h"

// What a scoring run will need before it starts: an upper bound of the result rows, of the disk
// its tables take and of the memory it holds, and whether the machine has that much free; the
// progress caption while it runs. Shown with the question before a run.
namespace spinalyst::mining {

// The estimate of a run over `coups` coups (those of the range that have a number).
//
// Rows: a row is one (combination, sequence, candidate attack). A coup adds to the patterns of the
// combinations that hold there and of the sequences the numbers before it meet; at one position
// a number meets at most M of the sequence codes (M: the most codes one number meets, every event
// either plain or, with "<>", negated), so one coup reaches at most combinations × M^L sequences
// (L: the sequence length), and only coups with L coups before them reach any. The rows are at
// most candidates × min(combinations × sequences, (coups − L) × combinations × M^L).
//
// Disk: each row written is counted with kBytesJeErgebniszeile (record, index entry, page slack,
// measured on the benchmark's run) and each sequence row with kBytesJeFolge; the whole run goes
// into one transaction, so the journal holds it once more before it reaches the file: twice.
//
// Memory: the scoring keeps per (combination, sequence) one block of sums over all candidates
// (count, successes, win/loss, 8 bytes each), the working sums up to their bound, the rows handed
// out, the sequences and the coups.
struct Schaetzung {
    std::uint64_t zeilen = 0;         // result rows at most
    std::uint64_t bytesPlatte = 0;    // disk the candidate and result tables need at most
    std::uint64_t bytesSpeicher = 0;  // memory the scoring holds at most
};

inline constexpr std::uint64_t kBytesJeErgebniszeile = 64;
inline constexpr std::uint64_t kBytesJeFolge = 48;

// The estimate of a run with these parameters over `coups` coups; `arbeitsspeicher` is the bound
// of the working sums (Bewertungsauftrag::arbeitsspeicher). Saturates instead of overflowing.
Schaetzung Lauf_Schaetzen(const Parameter& p, std::size_t coups,
                          const kern::Ereigniskatalog& katalog,
                          std::size_t arbeitsspeicher = std::size_t{128} << 20);

// Whether a run may start: its tables fit on the disk and its sums into the memory that is free.
enum class Laufpruefung { Erlaubt, ZuWenigPlatte, ZuWenigSpeicher };
Laufpruefung Lauf_Pruefen(const Schaetzung& s, std::uint64_t freiPlatte,
                          std::uint64_t freiSpeicher);

// Free space of the file system that holds `verzeichnis`; nothing when it cannot be told.
std::optional<std::uint64_t> Freier_Plattenplatz(const std::filesystem::path& verzeichnis);
// Memory the system can still give a program (MemAvailable); nothing when it cannot be told.
std::optional<std::uint64_t> Freier_Arbeitsspeicher();

// Bytes as the program shows them: "512 KB", "3 MB", "12,5 GB" / "12.5 GB" (1024 based).
std::string Bytes_Text(std::uint64_t bytes, bool englisch);

// The line shown under the question: "Geschätzt höchstens 3 660 000 Ergebniszeilen, 470 MB
// Festplatte, 420 MB Arbeitsspeicher" / "Estimated at most 3,660,000 result rows, 470 MB disk,
// 420 MB memory".
std::string Schaetzung_Text(const Schaetzung& s, bool englisch);

// Why a run is refused, with the estimate and what is free.
std::string Ablehnung_Text(Laufpruefung pruefung, const Schaetzung& s, std::uint64_t frei,
                           bool englisch);

// The caption of the panel "Auswertung" after `fertig` of `n` coups, `ms` milliseconds after the
// start: remaining = ms / fertig · (n − fertig), minutes = remaining / 60000, both rounded to the
// nearest integer (halves to the even one); "j von N Coups (ca. noch m min)" / "j of N Coups (ca.
// more m min)" with j = fertig + 1. Nothing after the last coup (j > N) or before the first.
std::optional<std::string> Fortschritt_Text(std::size_t fertig, std::size_t n, std::int64_t ms,
                                            bool englisch);

}  // namespace spinalyst::mining
