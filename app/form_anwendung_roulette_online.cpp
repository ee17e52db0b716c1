// Online play from the main window: the menu entry opens it, the online window takes over until
// it closes, then the main window shows again.

#include <QAction>

#include "app/form_anwendung_roulette.h"
#include "app/form_online_spiel.h"
#include "app/qt_user_interface.h"
#include "online/online_spiel.h"

namespace spinalyst::app {

void Form_Anwendung_Roulette::MenuItem_Online_SpielClick() {
    if (rechnet_ || onlineFenster_ != nullptr || !dm_.TdbTable_Wahl.isOpen()) {
        return;
    }
    bindung().commitAll();
    rechnet_ = true;
    online::Onlinespiel spiel;
    try {
        spiel = online::MenuItem_Online_SpielClick(kontext_, katalog_);
    } catch (const std::exception& e) {
        rechnet_ = false;
        online::Online_Spiel_Schliessen(kontext_, spiel);
        ui_.inform(e.what());
        return;
    }
    rechnet_ = false;
    if (!spiel.geoeffnet) {
        return;
    }
    onlineFenster_ = new Form_Online_Spiel(*this, spiel);
    connect(onlineFenster_, &QDialog::finished, this, [this] {
        const online::Onlinespiel gespielt = onlineFenster_->spiel();
        onlineFenster_ = nullptr;
        Geschuetzt([this, &gespielt] { online::Online_Spiel_Schliessen(kontext_, gespielt); });
        show();
        activateWindow();
    });
    hide();
    onlineFenster_->show();
    onlineFenster_->activateWindow();
}

}  // namespace spinalyst::app
