#include "app/core/hilfe.h"

#include "app/core/texte.h"

namespace spinalyst::app {

void Hilfe_Anzeigen(const kern::Sitzung& sitzung, kern::UserInterface& ui,
                    const std::function<void(const std::string& pfad)>& oeffnen) {
    if (!ui.confirm(Hilfe_Frage(sitzung.sprache))) {
        return;
    }
    oeffnen(sitzung.programmverzeichnis + Hilfe_Datei(sitzung.sprache));
}

}  // namespace spinalyst::app
