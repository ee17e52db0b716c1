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

}  // namespace spinalyst::app
