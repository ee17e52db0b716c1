#pragma once

#include <string>
#include <vector>

#include "kern/kontext.h"

// The system model as the main window's system panel works it: the hooks of the system cursors,
// creating a system with its default detail rows, choosing kind, chance class and instance,
// information and details mode, and deleting a system.
//
// A system is one `Systeme` row; each of its instances 1 to 3 has one `System_Daten` row, an
// event sequence in `System_Ereignisse` and the stake rows "1" to "50", "G", "V" in
// `System_Angriffe`. The panel shows the current row of `TdbTable_Systeme` (filtered to the kind
// and chance class of `Wahl`) and, through the master links, the instance in its `ID_Instanz`.
//
// Every function here works on the cursors of the data module and leaves the view to the hooks of
// kern::Ansicht; none of them asks the user anything except the deletion.
namespace spinalyst::systems {

// System kinds with fixed roles.
inline constexpr int kArtStandard = 1;
inline constexpr int kArtIndividuell = 2;
inline constexpr int kArtDataMining = 3;

// Attack steps that carry a stake; rows "G" and "V" follow them.
inline constexpr int kStufen = 50;

// The `ID_Angriff` values of the stake rows of one instance in their order: "1" to "50", "G",
// "V".
const std::vector<std::string>& Angriff_Zeilen();

// The values of a new `System_Daten` row in field order: every flag "f", settlement "E", all
// else (the owner fields too) null.
std::vector<store::Value> System_Daten_Standardwerte();

// Installs the hooks of the system cursors, bound to k (whose referents must outlive the data
// module's use of the hooks): the systems filter and the before-post rule on `TdbTable_Systeme`
// and `TdbTable_Systeme_2`, the default detail rows on `TdbTable_Systeme`, and the "<>" box
// mirroring on `TdbTable_System_Ereignisse`. Call once after the Kontext exists; re-applies the
// filter of open cursors.
void Systemhaken_Installieren(kern::Kontext& k);

// The systems filter: the rows of the kind and chance class selected in `Wahl`.
bool TdbTable_SystemeFilterRecord(const kern::Kontext& k, const store::RowView& row);

// The before-post rule: a row whose `ID_System_Nummer` is null is never stored. Cancels the
// pending insert or edit and throws store::PostCancelled.
void TdbTable_SystemeBeforePost(store::TableCursor& systeme);

// Posts a pending edit of a `Systeme` cursor; false when the before-post rule dropped it.
bool Systeme_Posten(store::TableCursor& systeme);

// Run whenever the current row of `TdbTable_Systeme` changes or moves: an edit whose number was
// cleared is dropped; the "Systemdetails" box is enabled only for a system numbered 1 or higher;
// for such a system that is not being edited, the sequence moves to its last row and a missing
// data row of the shown instance is created with its defaults, together with the 52 default stake
// rows when the instance has none.
void DataSource_Tdb_SystemeDataChange(kern::Kontext& k);

// "Aufnahme" / "Neu": appends a system of the kind and chance class selected in `Wahl`, numbered
// one above the highest number shown (1 for the first), named "(Neues System)", and makes it
// current, which creates the default detail rows of its instance 1. Returns its
// `ID_System_AutoInc`.
int MenuItem_Systeme_AufnahmeClick(kern::Kontext& k);

// The instance list changed `Wahl.ID_Instanz`: posts `Wahl`, shows that instance of the current
// system (creating its default rows), and gives a system numbered below 1 at least its data row.
void DBComboBox_Instanz_System_DatenChange(kern::Kontext& k);
// Sets `Wahl.ID_Instanz` (1 to 3) and runs the instance change.
void Instanz_Waehlen(kern::Kontext& k, int instanz);

// Entering the systems list: instance 1 is shown; for a numbered system the bets are emptied and
// the results of a previous system evaluation cleared.
void DBGrid_SystemeEnter(kern::Kontext& k);

// The kind or chance list changed `Wahl`: details mode off, the systems list re-filtered and its
// first system current, then the steps of entering the systems list; the bets are emptied again.
void DBLookupComboBox_System_Art_ChancenCloseUp(kern::Kontext& k);
// Sets `Wahl.ID_System_Art` and `Wahl.ID_System_Chancen` and runs the kind/chance change.
void System_Art_Chancen_Waehlen(kern::Kontext& k, int art, int chancen);

// Information mode switched on (an) or off. Switching off posts a pending edit of the system row
// (a cleared number drops it). The layout of the list and the memo is the window's.
void MenuItem_Systeme_InformationClick(kern::Kontext& k, bool an);

// Details mode on: the current system is marked changed (`Systemaenderung_erfolgt` "t") and the
// details controls are enabled (the filter and sequence controls not for kind 2). Off: pending
// edits of the instance's data, sequence and stakes are posted and the controls disabled.
void CheckBox_SystemdetailsClick(kern::Kontext& k, bool an);
// Details mode off as the selection change, the evaluations and the kind/chance change need it:
// the box is cleared (view) and the handler runs.
void Systemdetails_Aus(kern::Kontext& k);

// Re-reads the system cursors of the data module and every cursor over rows that belong to a
// system (details of both system cursors, individual parameters, stored evaluations, bets),
// masters first. For writes that went past the cursors, and after a rolled-back write.
void Systemcursoren_Auffrischen(store::DataModule_Roulette& dm);

// "Löschen": asks "System wirklich löschen?" / "System delete?"; on yes deletes the current
// system with all its rows (data, sequences and stakes of every instance, individual parameters,
// stored evaluations, bets) in one transaction. Returns true when it deleted. After the deletion
// (or a failure, which leaves everything as it was) the affected cursors are read again.
bool MenuItem_Systeme_LoeschenClick(kern::Kontext& k);

}  // namespace spinalyst::systems
