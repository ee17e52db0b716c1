#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/cursor.h"
#include "store/database.h"
#include "store/query_cursor.h"
#include "store/zustand.h"

namespace spinalyst::store {

// The data module: owns both database connections and every cursor the program uses, by the
// names the rest of the program knows them by. Created once at start with the program directory
// and the main window's session state; opens everything on the main window's first show (open())
// and closes everything when the main window closes (close()).
//
// Master links and index orders are set up at construction. Filter and notification hooks that
// belong to an operation are installed by that operation on the cursor (setFilter,
// setBeforePostHook, ...); the data module installs those that depend on nothing but the data
// and the session: the casino list filter, the calculated event names of the bets and of the
// event sequences, and the re-marking of the attacked event after a sequence row is deleted.
class DataModule_Roulette {
  public:
    DataModule_Roulette(std::filesystem::path programDirectory, const Modulzustand& zustand);
    ~DataModule_Roulette();
    DataModule_Roulette(const DataModule_Roulette&) = delete;
    DataModule_Roulette& operator=(const DataModule_Roulette&) = delete;

    // Connects both databases (creating missing files) and opens the cursors in the fixed order.
    // If a connection or cursor fails, the error propagates and the cursors after it stay closed.
    void open();
    // Posts pending edits and closes every cursor in the fixed order; a cursor that is inserting
    // a new row is closed without posting it. Then disconnects both databases.
    void close();
    bool isOpen() const { return open_; }

    const std::filesystem::path& programDirectory() const { return programDirectory_; }

    // Lookup by name ("TdbTable_Wahl", "TdbQuery_Ereignisse", ...); nullptr when unknown.
    Cursor* cursor(std::string_view name);
    TableCursor* table(std::string_view name);
    QueryCursor* query(std::string_view name);

    // The master links are declared once, at construction. An operation that needs a detail
    // unlinked for a while (a bulk write) detaches its link and restores the declared one
    // afterwards, directly or through a MasterLinkDetached scope. Both re-read the rows when the
    // cursor is open and the link values changed (see TableCursor::setMasterLink); restoring a
    // cursor without a declared link leaves it unlinked.
    void detachMasterLink(TableCursor& cursor);
    void restoreMasterLink(TableCursor& cursor);

    Database TdbDatabase_Roulette{DatabaseFile::Roulette};
    Database TdbDatabase_DM_Modul{DatabaseFile::DmModul};

    TableCursor TdbTable_Wahl;
    TableCursor TdbTable_Casino;
    TableCursor TdbTable_Casino_Tisch_Datum;
    TableCursor TdbTable_Permanenz;
    TableCursor TdbTable_Permanenz_Tag_Zusammenfassung;
    TableCursor TdbTable_Permanenz_Tag_Zusammenfassung_G;
    TableCursor TdbTable_Permanenz_Aufnahme;
    TableCursor TdbTable_Systeme;
    TableCursor TdbTable_Systeme_2;
    TableCursor TdbTable_System_Daten;
    TableCursor TdbTable_System_Daten_2;
    TableCursor TdbTable_System_Ereignisse;
    TableCursor TdbTable_System_Ereignisse_2;
    TableCursor TdbTable_System_Angriffe;
    TableCursor TdbTable_System_Angriffe_2;
    TableCursor TdbTable_System_Art;
    TableCursor TdbTable_System_Chancen;
    TableCursor TdbTable_Systeme_Auswertungen_Ueberblick;
    TableCursor TdbTable_Systeme_Abarbeitung;
    TableCursor TdbTable_Individuell_Daten_1;
    TableCursor TdbTable_Individuell_Daten_2;
    TableCursor TdbTable_Ereignisse;
    TableCursor TdbTable_Ereignis_Zahl;
    TableCursor TdbTable_Ereignisse_Serien;
    TableCursor TdbTable_Ereignisse_Rueckstaendigkeit;
    TableCursor TdbTable_Deutsch_Englisch;
    TableCursor TdbTable_DM_HSR;
    TableCursor TdbTable_DM_Folge;
    TableCursor TdbTable_DM_Folge_Anzeige;
    TableCursor TdbTable_DM_Angriff;
    TableCursor TdbTable_DM_Gewinn_Verlust;
    TableCursor TdbTable_DM_Gewinn_Verlust_Berechnung;
    TableCursor TdbTable_DM_Gleiche_Art;

    QueryCursor TdbQuery_Ereignisse;
    QueryCursor TdbQuery_Permanenz;
    QueryCursor TdbQuery_Permanenz_Systemauswertung;
    QueryCursor TdbQuery_Ereignisse_Haeufigkeit;
    QueryCursor TdbQuery_Ereignisse_Serien;
    QueryCursor TdbQuery_Ereignisse_Rueckstaendigkeit;
    QueryCursor TdbQuery_Data_Alles;
    QueryCursor TdbQuery_DM_Ergebnisse;
    QueryCursor TdbQuery_Gleiche_Art;

    // Cursors in the order they are opened and closed.
    const std::vector<TableCursor*>& openOrder() const { return openOrder_; }
    const std::vector<TableCursor*>& closeOrder() const { return closeOrder_; }

  private:
    struct DeclaredLink {
        TableCursor* detail;
        Cursor* master;
        std::vector<std::pair<std::string, std::string>> fields;
    };

    void installHooks();
    void fillEventNames(const RowView& row, std::vector<Value>& calculated) const;

    std::filesystem::path programDirectory_;
    const Modulzustand& zustand_;
    std::vector<TableCursor*> openOrder_;
    std::vector<TableCursor*> closeOrder_;
    std::vector<QueryCursor*> queries_;
    std::vector<DeclaredLink> links_;
    bool open_ = false;
};

// Detaches the declared master link of a cursor for as long as it lives and restores it at the
// end of the scope, or at restore(). An error of restoring propagates from restore() and from the
// end of a scope left normally; when the scope is left by an exception, that exception is the one
// that propagates.
class MasterLinkDetached {
  public:
    MasterLinkDetached(DataModule_Roulette& dm, TableCursor& cursor);
    ~MasterLinkDetached() noexcept(false);
    MasterLinkDetached(const MasterLinkDetached&) = delete;
    MasterLinkDetached& operator=(const MasterLinkDetached&) = delete;

    void restore();

  private:
    DataModule_Roulette& dm_;
    TableCursor& cursor_;
    int uncaught_;
    bool active_ = true;
};

// The rule of an event sequence: its last event is the attacked one. Marks the last shown row of
// the sequence cursor "x" in `Angriff` and clears the mark on every other row, posting each change.
// Requires a sequence cursor with at least one row; leaves it on the last row.
void Letztes_Ereignis_Angreifen(TableCursor& folge);

}  // namespace spinalyst::store
