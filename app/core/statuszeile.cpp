#include "app/core/statuszeile.h"

namespace spinalyst::app {

namespace {

bool istFolgebyte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string Zeit_Kuerzen(std::string_view langeZeit) {
    std::size_t ende = langeZeit.size();
    for (int i = 0; i < 3 && ende > 0; ++i) {
        --ende;
        while (ende > 0 && istFolgebyte(langeZeit[ende])) {
            --ende;
        }
    }
    return std::string(langeZeit.substr(0, ende));
}

const char* Hinweis_Zahl_Ausserhalb(store::Sprache sprache) {
    return sprache == store::Sprache::Englisch ? "Not stored: a number is 0 to 36."
                                               : "Nicht gespeichert: eine Zahl ist 0 bis 36.";
}

}  // namespace spinalyst::app
