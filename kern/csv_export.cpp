#include "kern/csv_export.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace spinalyst::kern {

void Wert_Schreiben(store::CsvWriter& w, const store::Value& v, int dezimalen) {
    const auto& s = v.storage();
    if (const auto* i = std::get_if<std::int64_t>(&s)) {
        w.integer(*i);
    } else if (const auto* d = std::get_if<double>(&s)) {
        w.decimal(*d, dezimalen);
    } else if (const auto* t = std::get_if<std::string>(&s)) {
        w.text(*t);
    } else if (const auto* tag = std::get_if<store::Date>(&s)) {
        w.text(tag->iso());
    } else {
        w.empty();
    }
}

void Datei_Schreiben(const std::filesystem::path& datei, std::string_view text) {
    std::filesystem::path neu = datei;
    neu += ".neu";
    {
        std::ofstream out(neu, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(neu, ec);
            throw std::runtime_error("File cannot be written: " + datei.string());
        }
    }
    std::error_code ec;
    std::filesystem::rename(neu, datei, ec);
    if (ec) {
        std::filesystem::remove(neu, ec);
        throw std::runtime_error("File cannot be written: " + datei.string());
    }
}

void Csv_Export_Dialog(Kontext& k, const std::string& name, const Csv_Tabelle& tabelle) {
    // Both forms are made before the dialog: a missing result is reported without asking for a
    // file, and the file is written in one go.
    std::ostringstream semikolon;
    std::ostringstream komma;
    int zeilen = 0;
    try {
        store::CsvWriter a(semikolon, store::CsvSeparator::Semicolon);
        zeilen = tabelle(a);
        store::CsvWriter b(komma, store::CsvSeparator::Comma);
        tabelle(b);
    } catch (const KeinErgebnis& e) {
        k.ui.inform(e.what());
        return;
    }
    const std::string filterSemikolon =
        k.text("CSV, Semikolon, Dezimalkomma (*.csv)", "CSV, semicolons, decimal comma (*.csv)");
    const std::string filterKomma =
        k.text("CSV, Komma, Dezimalpunkt (*.csv)", "CSV, commas, decimal point (*.csv)");
    const bool englisch = k.sitzung.englisch();
    const std::vector<std::string> filter = englisch ? std::vector{filterKomma, filterSemikolon}
                                                     : std::vector{filterSemikolon, filterKomma};
    const auto wahl = k.ui.chooseSaveFile(filter, name);
    if (!wahl || wahl->path.empty()) {
        return;
    }
    std::filesystem::path datei = wahl->path;
    if (!datei.has_extension()) {
        datei += ".csv";
    }
    const bool mitSemikolon = (wahl->filter == 0) != englisch;
    try {
        Datei_Schreiben(datei, mitSemikolon ? semikolon.str() : komma.str());
    } catch (const std::exception&) {
        k.ui.inform(k.text("Datei kann nicht geschrieben werden: ", "File cannot be written: ") +
                    datei.string());
        return;
    }
    k.ui.inform(std::to_string(zeilen) + k.text(" Zeile(n) exportiert: ", " row(s) exported: ") +
                datei.string());
}

}  // namespace spinalyst::kern
