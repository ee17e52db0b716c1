// Fuzz target for the reading of permanence import files: the line reader, the date search and
// the file walk, on arbitrary bytes. The first two bytes choose the month and year the walk looks
// for, the rest is the file. Besides crashes and sanitizer reports it checks what the import
// relies on and traps when a promise is broken.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "capture/aufnahme.h"
#include "store/textimport.h"
#include "store/value.h"

namespace {

using spinalyst::store::Date;

void pruefe(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

// Well-formed UTF-8 of at most kImportFieldWidth characters, without line ends.
void pruefeFeld(std::string_view feld) {
    std::size_t zeichen = 0;
    for (std::size_t i = 0; i < feld.size();) {
        const auto c = static_cast<unsigned char>(feld[i]);
        pruefe(c != '\r' && c != '\n');
        const std::size_t laenge = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        pruefe(laenge != 0 && i + laenge <= feld.size());
        for (std::size_t j = 1; j < laenge; ++j) {
            pruefe((static_cast<unsigned char>(feld[i + j]) & 0xC0) == 0x80);
        }
        i += laenge;
        ++zeichen;
    }
    pruefe(zeichen <= spinalyst::store::kImportFieldWidth);
}

// A day found on a line lies in the month asked for and stands on the line as written.
void pruefeDatum(std::string_view zeile, int monat, int jahr) {
    const auto tag = spinalyst::capture::Datum_Suchen(zeile, monat, jahr);
    if (tag) {
        pruefe(tag->month() == monat && tag->year() == jahr);
        pruefe(zeile.find(tag->german()) != std::string_view::npos ||
               zeile.find(tag->iso()) != std::string_view::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const int monat = data[0] % 12 + 1;
    const int jahr = 2000 + data[1] % 32;
    const std::string_view datei(reinterpret_cast<const char*>(data + 2), size - 2);

    // Raw bytes, not only what the reader hands out, must not upset the date search.
    pruefeDatum(datei, monat, jahr);
    (void)spinalyst::capture::Zeile_Als_Zahl(datei);

    const auto felder = spinalyst::store::importFields(datei);
    std::set<std::int32_t> tage;
    spinalyst::capture::Permanenz_Dateilauf lauf(
        monat, jahr, [&tage](Date d) { return tage.count(d.days()) > 0; });
    std::size_t zahlen = 0;
    auto tagPruefen = [&](const spinalyst::capture::Permanenz_Dateilauf::Tag& tag) {
        pruefe(tag.datum.month() == monat && tag.datum.year() == jahr);
        pruefe(tage.insert(tag.datum.days()).second);  // each day once
        for (int z : tag.zahlen) {
            pruefe(z >= 0 && z <= 36);
        }
        zahlen += tag.zahlen.size();
    };
    for (const auto& feld : felder) {
        pruefeFeld(feld);
        pruefeDatum(feld, monat, jahr);
        const int g = spinalyst::capture::Zeile_Als_Zahl(feld);
        pruefe(g == -1 || std::to_string(g).size() <= feld.size());
        if (auto tag = lauf.zeile(feld)) {
            tagPruefen(*tag);
        }
    }
    if (auto tag = lauf.ende()) {
        tagPruefen(*tag);
    }
    pruefe(zahlen <= felder.size());
    return 0;
}
