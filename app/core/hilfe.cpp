#include "app/core/hilfe.h"

#include "app/core/texte.h"

namespace spinalyst::app {

void Hilfe_Anzeigen(const store::Sitzung& sitzung, store::UserInterface& ui,
                    const std::function<void(const std::string& pfad)>& oeffnen) {
    if (!ui.confirm(Hilfe_Frage(sitzung.sprache))) {
        return;
    }
    oeffnen(sitzung.programmverzeichnis + Hilfe_Datei(sitzung.sprache));
}

}  // namespace spinalyst::app
