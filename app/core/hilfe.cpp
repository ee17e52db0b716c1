#include "app/core/hilfe.h"

#include "app/core/datenort.h"
#include "app/core/texte.h"

namespace spinalyst::app {

void Hilfe_Anzeigen(const kern::Sitzung& sitzung, kern::UserInterface& ui,
                    const std::function<bool(const std::string& pfad)>& oeffnen) {
    if (!ui.confirm(Hilfe_Frage(sitzung.sprache))) {
        return;
    }
    const std::string pfad = Hilfe_Pfad(sitzung.programmverzeichnis, Hilfe_Datei(sitzung.sprache),
                                        [](const std::filesystem::path& p) {
                                            std::error_code ec;
                                            return std::filesystem::is_regular_file(p, ec);
                                        });
    if (!oeffnen(pfad)) {
        ui.inform(Hilfe_Nicht_Geoeffnet(sitzung.sprache, sitzung.programmverzeichnis));
    }
}

}  // namespace spinalyst::app
