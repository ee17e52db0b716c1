#include "app/core/beschriftung.h"

#include <vector>

namespace spinalyst::app {

std::string Beschriftung_Holen(store::Cursor& deutschEnglisch, std::string_view objekt,
                               store::Sprache sprache, std::string_view bisher) {
    if (!deutschEnglisch.isOpen() ||
        !deutschEnglisch.locate("Object", std::vector<store::Value>{store::Value(objekt)})) {
        return std::string(bisher);
    }
    const char* feld = sprache == store::Sprache::Englisch ? "Englisch_Caption" : "Deutsch_Caption";
    if (deutschEnglisch.isNull(feld)) {
        return std::string(bisher);
    }
    return deutschEnglisch.text(feld);
}

}  // namespace spinalyst::app
