#include "store/datamodule.h"

#include <exception>

namespace spinalyst::store {

namespace {

using Link = std::vector<std::pair<std::string, std::string>>;

const Link kSystemInstanz = {{"ID_System_AutoInc", "ID_System"}, {"ID_Instanz", "ID_Instanz"}};
const Link kSystem = {{"ID_System_AutoInc", "ID_System"}};

}  // namespace

DataModule_Roulette::DataModule_Roulette(std::filesystem::path programDirectory,
                                         const Modulzustand& zustand)
    : TdbTable_Wahl("TdbTable_Wahl", TdbDatabase_Roulette, "Wahl"),
      TdbTable_Casino("TdbTable_Casino", TdbDatabase_Roulette, "Casino"),
      TdbTable_Casino_Tisch_Datum("TdbTable_Casino_Tisch_Datum", TdbDatabase_Roulette,
                                  "Casino_Tisch_Datum"),
      TdbTable_Permanenz("TdbTable_Permanenz", TdbDatabase_Roulette, "Permanenz"),
      TdbTable_Permanenz_Tag_Zusammenfassung("TdbTable_Permanenz_Tag_Zusammenfassung",
                                             TdbDatabase_Roulette, "Permanenz_Tag_Zusammenfassung"),
      TdbTable_Permanenz_Tag_Zusammenfassung_G("TdbTable_Permanenz_Tag_Zusammenfassung_G",
                                               TdbDatabase_Roulette,
                                               "Permanenz_Tag_Zusammenfassung_G"),
      TdbTable_Permanenz_Aufnahme("TdbTable_Permanenz_Aufnahme", TdbDatabase_Roulette,
                                  "Permanenz_Aufnahme"),
      TdbTable_Systeme("TdbTable_Systeme", TdbDatabase_Roulette, "Systeme"),
      TdbTable_Systeme_2("TdbTable_Systeme_2", TdbDatabase_Roulette, "Systeme"),
      TdbTable_System_Daten("TdbTable_System_Daten", TdbDatabase_Roulette, "System_Daten"),
      TdbTable_System_Daten_2("TdbTable_System_Daten_2", TdbDatabase_Roulette, "System_Daten"),
      TdbTable_System_Ereignisse("TdbTable_System_Ereignisse", TdbDatabase_Roulette,
                                 "System_Ereignisse"),
      TdbTable_System_Ereignisse_2("TdbTable_System_Ereignisse_2", TdbDatabase_Roulette,
                                   "System_Ereignisse"),
      TdbTable_System_Angriffe("TdbTable_System_Angriffe", TdbDatabase_Roulette, "System_Angriffe"),
      TdbTable_System_Angriffe_2("TdbTable_System_Angriffe_2", TdbDatabase_Roulette,
                                 "System_Angriffe"),
      TdbTable_System_Art("TdbTable_System_Art", TdbDatabase_Roulette, "System_Art"),
      TdbTable_System_Chancen("TdbTable_System_Chancen", TdbDatabase_Roulette, "System_Chancen"),
      TdbTable_Systeme_Auswertungen_Ueberblick("TdbTable_Systeme_Auswertungen_Ueberblick",
                                               TdbDatabase_Roulette,
                                               "Systeme_Auswertungen_Ueberblick"),
      TdbTable_Systeme_Abarbeitung("TdbTable_Systeme_Abarbeitung", TdbDatabase_Roulette,
                                   "Systeme_Abarbeitung"),
      TdbTable_Individuell_Daten_1("TdbTable_Individuell_Daten_1", TdbDatabase_Roulette,
                                   "Individuell_1_Daten"),
      TdbTable_Individuell_Daten_2("TdbTable_Individuell_Daten_2", TdbDatabase_Roulette,
                                   "Individuell_2_Daten"),
      TdbTable_Ereignisse("TdbTable_Ereignisse", TdbDatabase_Roulette, "Ereignisse"),
      TdbTable_Ereignis_Zahl("TdbTable_Ereignis_Zahl", TdbDatabase_Roulette, "Ereignis_Zahl"),
      TdbTable_Ereignisse_Serien("TdbTable_Ereignisse_Serien", TdbDatabase_Roulette,
                                 "Ereignisse_Serien"),
      TdbTable_Ereignisse_Rueckstaendigkeit("TdbTable_Ereignisse_Rueckstaendigkeit",
                                            TdbDatabase_Roulette, "Ereignisse_Rueckstaendigkeit"),
      TdbTable_Deutsch_Englisch("TdbTable_Deutsch_Englisch", TdbDatabase_Roulette,
                                "Deutsch_Englisch"),
      TdbTable_DM_HSR("TdbTable_DM_HSR", TdbDatabase_DM_Modul, "DM_HSR"),
      TdbTable_DM_Folge("TdbTable_DM_Folge", TdbDatabase_DM_Modul, "DM_Folge"),
      TdbTable_DM_Folge_Anzeige("TdbTable_DM_Folge_Anzeige", TdbDatabase_DM_Modul,
                                "DM_Folge_Anzeige"),
      TdbTable_DM_Angriff("TdbTable_DM_Angriff", TdbDatabase_DM_Modul, "DM_Angriff"),
      TdbTable_DM_Gewinn_Verlust("TdbTable_DM_Gewinn_Verlust", TdbDatabase_DM_Modul,
                                 "DM_Gewinn_Verlust"),
      TdbTable_DM_Gewinn_Verlust_Berechnung("TdbTable_DM_Gewinn_Verlust_Berechnung",
                                            TdbDatabase_DM_Modul, "DM_Gewinn_Verlust_Berechnung"),
      TdbTable_DM_Gleiche_Art("TdbTable_DM_Gleiche_Art", TdbDatabase_DM_Modul, "DM_Gleiche_Art"),
      TdbQuery_Ereignisse("TdbQuery_Ereignisse", TdbDatabase_Roulette, "Select * FROM Ereignisse"),
      TdbQuery_Permanenz("TdbQuery_Permanenz", TdbDatabase_Roulette, "SELECT * FROM Permanenz"),
      TdbQuery_Permanenz_Systemauswertung("TdbQuery_Permanenz_Systemauswertung",
                                          TdbDatabase_Roulette, "SELECT * FROM Permanenz"),
      TdbQuery_Ereignisse_Haeufigkeit("TdbQuery_Ereignisse_Haeufigkeit", TdbDatabase_Roulette,
                                      "SELECT * FROM Ereignisse"),
      TdbQuery_Ereignisse_Serien("TdbQuery_Ereignisse_Serien", TdbDatabase_Roulette,
                                 "SELECT * FROM Ereignisse_Serien"),
      TdbQuery_Ereignisse_Rueckstaendigkeit("TdbQuery_Ereignisse_Rueckstaendigkeit",
                                            TdbDatabase_Roulette,
                                            "SELECT * FROM Ereignisse_Rueckstaendigkeit"),
      TdbQuery_Data_Alles("TdbQuery_Data_Alles", TdbDatabase_Roulette),
      TdbQuery_DM_Ergebnisse("TdbQuery_DM_Ergebnisse", TdbDatabase_DM_Modul,
                             "SELECT * FROM DM_Gewinn_Verlust"),
      TdbQuery_Gleiche_Art("TdbQuery_Gleiche_Art", TdbDatabase_DM_Modul, "SELECT * FROM DM_Folge"),
      programDirectory_(std::move(programDirectory)),
      zustand_(zustand) {
    TdbDatabase_Roulette.setLocation(programDirectory_ /
                                     Database::fileName(DatabaseFile::Roulette));
    TdbDatabase_DM_Modul.setLocation(programDirectory_ / Database::fileName(DatabaseFile::DmModul));

    // Index orders.
    TdbTable_Casino.setIndexName("Index_ID_Casino");
    TdbTable_Permanenz.setIndexName("sys_primary");
    TdbTable_Permanenz_Tag_Zusammenfassung.setIndexName("Index_Datum");
    TdbTable_Systeme.setIndexName("Index_System_Nummer");
    TdbTable_Systeme_2.setIndexName("Index_System_Nummer");
    TdbTable_System_Ereignisse.setIndexName("sys_primary");
    TdbTable_System_Ereignisse_2.setIndexName("sys_primary");
    TdbTable_Systeme_Auswertungen_Ueberblick.setIndexName("sys_primary");
    TdbTable_Systeme_Abarbeitung.setIndexName("sys_primary");
    TdbTable_Ereignisse_Serien.setIndexName("Index_Serie");
    TdbTable_Ereignisse_Rueckstaendigkeit.setIndexName("Index_Rueckstaendigkeit");
    TdbTable_DM_Gleiche_Art.setIndexName("sys_primary");

    // Master links, declared here once.
    links_ = {
        {&TdbTable_Casino_Tisch_Datum, &TdbTable_Casino, {{"ID_Casino_AutoInc", "ID_Casino"}}},
        {&TdbTable_Permanenz,
         &TdbTable_Wahl,
         {{"ID_Casino", "ID_Casino"}, {"Tisch", "Tisch"}, {"Datum", "Datum"}}},
        {&TdbTable_Permanenz_Tag_Zusammenfassung,
         &TdbTable_Wahl,
         {{"ID_Casino", "ID_Casino"}, {"Tisch", "Tisch"}}},
        {&TdbTable_Permanenz_Tag_Zusammenfassung_G,
         &TdbTable_Wahl,
         {{"ID_Casino", "ID_Casino"}, {"Tisch", "Tisch"}}},
        {&TdbTable_System_Daten, &TdbTable_Systeme, kSystemInstanz},
        {&TdbTable_System_Ereignisse, &TdbTable_Systeme, kSystemInstanz},
        {&TdbTable_System_Angriffe, &TdbTable_Systeme, kSystemInstanz},
        {&TdbTable_System_Daten_2, &TdbTable_Systeme_2, kSystemInstanz},
        {&TdbTable_System_Ereignisse_2, &TdbTable_Systeme_2, kSystemInstanz},
        {&TdbTable_System_Angriffe_2, &TdbTable_Systeme_2, kSystemInstanz},
        {&TdbTable_Systeme_Auswertungen_Ueberblick, &TdbTable_Systeme, kSystem},
        {&TdbTable_Systeme_Abarbeitung, &TdbTable_Permanenz, {{"ID_Zahl", "Permanenz_ID_Zahl"}}},
        {&TdbTable_Individuell_Daten_1, &TdbTable_Systeme, kSystem},
        {&TdbTable_Individuell_Daten_2, &TdbTable_Systeme, kSystem},
    };
    for (const auto& link : links_) {
        link.detail->setMasterLink(link.master, link.fields);
    }

    // Cursors whose filter is on; the operations owning a filter install its predicate.
    for (auto* c : {&TdbTable_Casino, &TdbTable_Permanenz_Tag_Zusammenfassung, &TdbTable_Systeme,
                    &TdbTable_Systeme_2, &TdbTable_Ereignisse, &TdbTable_Ereignisse_Serien,
                    &TdbTable_Ereignisse_Rueckstaendigkeit}) {
        c->setFiltered(true);
    }

    openOrder_ = {&TdbTable_Casino,
                  &TdbTable_Casino_Tisch_Datum,
                  &TdbTable_Permanenz,
                  &TdbTable_Permanenz_Tag_Zusammenfassung,
                  &TdbTable_Permanenz_Tag_Zusammenfassung_G,
                  &TdbTable_Permanenz_Aufnahme,
                  &TdbTable_Systeme,
                  &TdbTable_Systeme_2,
                  &TdbTable_System_Daten,
                  &TdbTable_System_Daten_2,
                  &TdbTable_System_Ereignisse,
                  &TdbTable_System_Ereignisse_2,
                  &TdbTable_System_Angriffe,
                  &TdbTable_System_Angriffe_2,
                  &TdbTable_System_Art,
                  &TdbTable_System_Chancen,
                  &TdbTable_Systeme_Auswertungen_Ueberblick,
                  &TdbTable_Systeme_Abarbeitung,
                  &TdbTable_Ereignisse,
                  &TdbTable_Ereignis_Zahl,
                  &TdbTable_Ereignisse_Serien,
                  &TdbTable_Ereignisse_Rueckstaendigkeit,
                  &TdbTable_Individuell_Daten_1,
                  &TdbTable_Individuell_Daten_2,
                  &TdbTable_Deutsch_Englisch,
                  &TdbTable_DM_HSR,
                  &TdbTable_DM_Folge,
                  &TdbTable_DM_Folge_Anzeige,
                  &TdbTable_DM_Angriff,
                  &TdbTable_DM_Gewinn_Verlust,
                  &TdbTable_DM_Gewinn_Verlust_Berechnung,
                  &TdbTable_DM_Gleiche_Art};
    closeOrder_ = {&TdbTable_Wahl,
                   &TdbTable_Casino,
                   &TdbTable_Casino_Tisch_Datum,
                   &TdbTable_Permanenz,
                   &TdbTable_Permanenz_Tag_Zusammenfassung,
                   &TdbTable_Permanenz_Tag_Zusammenfassung_G,
                   &TdbTable_Permanenz_Aufnahme,
                   &TdbTable_System_Art,
                   &TdbTable_System_Chancen,
                   &TdbTable_System_Daten,
                   &TdbTable_System_Daten_2,
                   &TdbTable_System_Ereignisse,
                   &TdbTable_System_Ereignisse_2,
                   &TdbTable_System_Angriffe,
                   &TdbTable_System_Angriffe_2,
                   &TdbTable_Systeme_Auswertungen_Ueberblick,
                   &TdbTable_Systeme_Abarbeitung,
                   &TdbTable_Systeme,
                   &TdbTable_Systeme_2,
                   &TdbTable_Ereignisse,
                   &TdbTable_Ereignis_Zahl,
                   &TdbTable_Ereignisse_Serien,
                   &TdbTable_Ereignisse_Rueckstaendigkeit,
                   &TdbTable_Individuell_Daten_1,
                   &TdbTable_Individuell_Daten_2,
                   &TdbTable_Deutsch_Englisch,
                   &TdbTable_DM_HSR,
                   &TdbTable_DM_Folge,
                   &TdbTable_DM_Folge_Anzeige,
                   &TdbTable_DM_Angriff,
                   &TdbTable_DM_Gewinn_Verlust,
                   &TdbTable_DM_Gewinn_Verlust_Berechnung,
                   &TdbTable_DM_Gleiche_Art};
    queries_ = {&TdbQuery_Ereignisse,
                &TdbQuery_Permanenz,
                &TdbQuery_Permanenz_Systemauswertung,
                &TdbQuery_Ereignisse_Haeufigkeit,
                &TdbQuery_Ereignisse_Serien,
                &TdbQuery_Ereignisse_Rueckstaendigkeit,
                &TdbQuery_Data_Alles,
                &TdbQuery_DM_Ergebnisse,
                &TdbQuery_Gleiche_Art};
    installHooks();
}

DataModule_Roulette::~DataModule_Roulette() {
    // Closing on destruction keeps pending edits; errors cannot leave a destructor.
    try {
        close();
    } catch (...) {
    }
}

void DataModule_Roulette::installHooks() {
    // The casino lists offer only casinos marked "x".
    TdbTable_Casino.setFilter(
        [](const RowView& row) { return row.text("Casino_In_Liste") == "x"; });

    // The day window: the N days up to the selected day (N = Wahl.System_Tage_Anzahl).
    TdbTable_Permanenz_Tag_Zusammenfassung.setFilter([this](const RowView& row) {
        const int n = TdbTable_Wahl.integer("System_Tage_Anzahl");
        const Date day = zustand_.gewaehlter_tag;
        const Date d = row.date("Datum");
        return !row.isNull("Datum") && day.addDays(-n + 1) <= d && d <= day;
    });

    TdbTable_Permanenz_Tag_Zusammenfassung.setFilterRange("Datum", [this] {
        const int n = TdbTable_Wahl.integer("System_Tage_Anzahl");
        const Date day = zustand_.gewaehlter_tag;
        return std::pair<Value, Value>(Value(day.addDays(-n + 1)), Value(day));
    });

    // The events of the evaluation's chance class.
    TdbTable_Ereignisse.setFilter([this](const RowView& row) {
        return row.integer("ID_Gruppe_Ereignis") == TdbTable_Wahl.integer("ID_Chancen_Auswertung");
    });

    auto names = [this](const RowView& row, std::vector<Value>& calculated) {
        fillEventNames(row, calculated);
    };
    TdbTable_System_Ereignisse.setCalcFieldsHook(names);
    TdbTable_System_Ereignisse_2.setCalcFieldsHook(names);
    TdbTable_Systeme_Abarbeitung.setCalcFieldsHook(
        [this, names](const RowView& row, std::vector<Value>& calculated) {
            if (!zustand_.massenschreiben) {
                names(row, calculated);
            }
        });

    // The attacked event is always the last one of a sequence.
    TdbTable_System_Ereignisse.setAfterDeleteHook([](TableCursor& c) {
        if (!c.isEmpty()) {
            Letztes_Ereignis_Angreifen(c);
        }
    });
}

void Letztes_Ereignis_Angreifen(TableCursor& folge) {
    const ControlsSuspended angehalten(folge);
    for (folge.first(); !folge.eof(); folge.next()) {
        if (folge.text("Angriff") == "x") {
            folge.setNull("Angriff");
            folge.post();
        }
    }
    folge.last();
    folge.setText("Angriff", "x");
    folge.post();
}

void DataModule_Roulette::fillEventNames(const RowView& row, std::vector<Value>& calculated) const {
    if (!TdbQuery_Ereignisse.isOpen() || calculated.size() < 2) {
        return;
    }
    const Value& id = row.value("ID_Ereignis");
    if (id.isNull()) {
        return;
    }
    auto& events = const_cast<QueryCursor&>(TdbQuery_Ereignisse);
    const int idIndex = events.fieldIndex("ID_Ereignis");
    const bool en = zustand_.englisch();
    const int nameIndex = events.fieldIndex(en ? "Ereignis_Englisch" : "Ereignis");
    const int infoIndex = events.fieldIndex(en ? "Ereignis_Info_Englisch" : "Ereignis_Info");
    for (int i = 0; const Row* r = events.rowAt(i); ++i) {
        if (r->values[static_cast<std::size_t>(idIndex)].toInt64() == id.toInt64()) {
            calculated[0] = r->values[static_cast<std::size_t>(nameIndex)];
            calculated[1] = r->values[static_cast<std::size_t>(infoIndex)];
            return;
        }
    }
}

void DataModule_Roulette::open() {
    if (open_) {
        return;
    }
    TdbDatabase_Roulette.disconnect();
    TdbDatabase_Roulette.setLocation(programDirectory_ /
                                     Database::fileName(DatabaseFile::Roulette));
    TdbDatabase_Roulette.connect();
    TdbDatabase_DM_Modul.disconnect();
    TdbDatabase_DM_Modul.setLocation(programDirectory_ / Database::fileName(DatabaseFile::DmModul));
    TdbDatabase_DM_Modul.connect();
    open_ = true;
    TdbQuery_Ereignisse.open();
    TdbTable_Wahl.open();
    for (auto* c : openOrder_) {
        c->open();
    }
}

void DataModule_Roulette::close() {
    if (!open_) {
        return;
    }
    // Post pending edits first (an inserted row that was never posted is dropped), then close.
    // A failing post does not keep the other cursors open; its error is reported at the end.
    std::exception_ptr firstError;
    for (auto* c : closeOrder_) {
        if (c->state() == CursorState::Edit) {
            try {
                c->post();
            } catch (...) {
                if (!firstError) {
                    firstError = std::current_exception();
                }
            }
        }
        c->close();
    }
    for (auto* q :
         {&TdbQuery_Data_Alles, &TdbQuery_Ereignisse, &TdbQuery_Permanenz, &TdbQuery_Gleiche_Art}) {
        q->close();
    }
    for (auto* q : queries_) {
        q->close();
    }
    TdbDatabase_Roulette.disconnect();
    TdbDatabase_DM_Modul.disconnect();
    open_ = false;
    if (firstError) {
        std::rethrow_exception(firstError);
    }
}

void DataModule_Roulette::detachMasterLink(TableCursor& cursor) {
    cursor.clearMasterLink();
}

void DataModule_Roulette::restoreMasterLink(TableCursor& cursor) {
    for (const auto& link : links_) {
        if (link.detail == &cursor) {
            cursor.setMasterLink(link.master, link.fields);
            return;
        }
    }
    cursor.clearMasterLink();
}

MasterLinkDetached::MasterLinkDetached(DataModule_Roulette& dm, TableCursor& cursor)
    : dm_(dm), cursor_(cursor), uncaught_(std::uncaught_exceptions()) {
    dm_.detachMasterLink(cursor_);
}

MasterLinkDetached::~MasterLinkDetached() noexcept(false) {
    if (!active_) {
        return;
    }
    active_ = false;
    if (std::uncaught_exceptions() > uncaught_) {
        // Leaving by an exception: that one is reported, not a follow-up error of re-reading.
        try {
            dm_.restoreMasterLink(cursor_);
        } catch (...) {
        }
        return;
    }
    dm_.restoreMasterLink(cursor_);
}

void MasterLinkDetached::restore() {
    if (active_) {
        active_ = false;
        dm_.restoreMasterLink(cursor_);
    }
}

Cursor* DataModule_Roulette::cursor(std::string_view name) {
    if (auto* t = table(name)) {
        return t;
    }
    return query(name);
}

TableCursor* DataModule_Roulette::table(std::string_view name) {
    if (name == TdbTable_Wahl.name()) {
        return &TdbTable_Wahl;
    }
    for (auto* c : openOrder_) {
        if (name == c->name()) {
            return c;
        }
    }
    return nullptr;
}

QueryCursor* DataModule_Roulette::query(std::string_view name) {
    for (auto* q : queries_) {
        if (name == q->name()) {
            return q;
        }
    }
    return nullptr;
}

}  // namespace spinalyst::store
