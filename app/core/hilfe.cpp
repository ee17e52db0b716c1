#include "app/core/hilfe.h"

#include "app/core/texte.h"

namespace spinalyst::app {

void Hilfe_Anzeigen(const kern::Sitzung& sitzung, kern::UserInterface& ui,
                    const std::function<bool(const std::string& pfad)>& oeffnen) {
    if (!ui.confirm(Hilfe_Frage(sitzung.sprache))) {
        return;
    }
    if (!oeffnen(sitzung.programmverzeichnis + Hilfe_Datei(sitzung.sprache))) {
        ui.inform(Hilfe_Nicht_Geoeffnet(sitzung.sprache, sitzung.programmverzeichnis));
    }
}

}  // namespace spinalyst::app
