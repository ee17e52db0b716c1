#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/binding/binding_context.h"
#include "kern/kontext.h"
#include "mining/fenster_daten.h"
#include "mining/parameter.h"

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;

namespace spinalyst::binding {
class BoundCheckBox;
class BoundComboBox;
class CursorWatch;
}  // namespace spinalyst::binding

namespace spinalyst::mining {
class Hintergrundbewertung;
}  // namespace spinalyst::mining

namespace spinalyst::app {

class Form_Data_Mining_Auswertung;

// The data-mining window `Form_Data_Mining`, parameter side: the range of days, "üb", the chance
// classes to attack, the option rows H, S, R of the data-mining system's filters, the sequence
// options and the count of patterns a run would score; every option a control bound to its
// `Wahl` field. Opened modally by the menu "Data Mining" after its check; created once, on the
// first opening, as a child of the main window. The operations and texts come from
// mining/fenster_daten.h.
//
// The run (`BitBtn_Data_MiningClick`, form_data_mining_lauf.cpp): the count with the estimate of
// rows, disk and memory in the question, a run that would not fit refused; the scoring on a
// thread of its own while the window shows the progress on the panel "Auswertung" and only the
// cancel button (and Escape) can be used; the results written once it ends or is cancelled.
class Form_Data_Mining : public QDialog {
    Q_OBJECT
  public:
    Form_Data_Mining(kern::Kontext& kontext, binding::BindingContext* bindung,
                     QWidget* parent = nullptr);
    ~Form_Data_Mining() override;

    // `FormShow`, then the window modally; on closing the range and the options are stored.
    int Zeigen();

    // `BitBtn_Data_MiningClick`: returns when the run has ended (or was not started).
    void BitBtn_Data_MiningClick();
    bool laeuft() const { return laeuft_; }

  private:
    // Captions in the session's language.
    void Beschriften();
    // What the option boxes show beyond their bound flags (closed rows, the sequence classes),
    // and the count; run whenever `Wahl` changes.
    void Nachfuehren();
    void EreignisfolgeGeklickt(mining::Folgeklasse box, bool angehakt);
    // Closing (OK, Escape, the window's close button) during a run cancels the run instead.
    void done(int ergebnis) override;
    // Every control of the window but the cancel button disabled during a run (also those added
    // later), and enabled again afterwards (those that were enabled before).
    void Sperren(bool sperren);
    // The panel's caption: "Auswertung" / "Evaluation", or the progress during a run.
    void Fortschritt_Zeigen(std::size_t erledigt, std::size_t coups, std::int64_t ms);

    kern::Kontext& kontext_;
    binding::BindingContext* bindung_;
    mining::Parameter system_;  // the data-mining system as it was when the window opened
    std::array<bool, 3> zeileFrei_{};
    bool offen_ = false;  // between FormShow and closing; the watch idles otherwise
    mining::Ereignisfolge_Anzeige folgeAnzeige_;
    std::int64_t systemId_ = 0;                     // `ID_System_AutoInc` of the data-mining system
    bool laeuft_ = false;                           // a run is scoring
    mining::Hintergrundbewertung* lauf_ = nullptr;  // the scoring of the run, while it runs
    std::vector<QPointer<QWidget>> gesperrt_;       // disabled by Sperren

    QDateEdit* DateTimePicker_Datum_von = nullptr;
    QDateEdit* DateTimePicker_Datum_bis = nullptr;
    QLabel* Label_Zeitraum = nullptr;
    binding::BoundCheckBox* DBCheckBox_Tage_uebergreifend = nullptr;
    QLabel* Label_Chancen = nullptr;
    std::array<binding::BoundCheckBox*, 7> DBCheckBox_Chancen{};
    std::array<QLabel*, 3> Label_Filter{};  // event text of the system's filter, " ..."
    std::array<binding::BoundCheckBox*, 3> DBCheckBox_aktiv{};
    std::array<binding::BoundCheckBox*, 3> DBCheckBox_Ereignisse_alle{};
    std::array<QCheckBox*, 3> CheckBox_ungleich{};       // display only ("<>")
    std::array<QCheckBox*, 3> CheckBox_Anzeige_aktiv{};  // display only ("A")
    QLabel* Label_Ereignisfolge = nullptr;
    binding::BoundComboBox* DBComboBox_Ereignisfolge_Anzahl = nullptr;
    std::array<binding::BoundCheckBox*, 3> DBCheckBox_Ereignisfolge{};  // 1:1, 2:1, 5:1
    binding::BoundCheckBox* DBCheckBox_Ereignisfolge_ungleich = nullptr;
    QLabel* Label_Kombinationen = nullptr;
    QPushButton* BitBtn_Data_Mining = nullptr;
    QPushButton* BitBtn_OK = nullptr;
    // The results panel: its caption shows the progress during a run; it holds the cancel button.
    QGroupBox* Panel_Auswertung = nullptr;
    QPushButton* BitBtn_Abbrechen = nullptr;
    std::unique_ptr<binding::CursorWatch> wahlWatch_;
    Form_Data_Mining_Auswertung* Panel_Ergebnisse = nullptr;  // the contents of Panel_Auswertung
};

}  // namespace spinalyst::app
