#include "store/schema.h"

#include <algorithm>

namespace spinalyst::store {

namespace {

using FT = FieldType;

const std::vector<TableDef> kTables = {
    {"Wahl",
     DatabaseFile::Roulette,
     {
         {"ID_Casino", FT::Integer, 0, true},
         {"Tisch", FT::Text, 4, true},
         {"Datum", FT::Date, 0, true},
         {"Permanenz_Zahl", FT::Integer, 0, false},
         {"ID_Chancen_Auswertung", FT::Integer, 0, false},
         {"ID_System", FT::Integer, 0, false},
         {"ID_System_Art", FT::Integer, 0, false},
         {"ID_System_Chancen", FT::Integer, 0, false},
         {"Auswertung_H_S_R", FT::Text, 1, false},
         {"Auswertung_Coups_Anzahl", FT::Integer, 0, false},
         {"Auswertung_Tage_Anzahl", FT::Integer, 0, false},
         {"Auswertung_Tage_uebergreifend", FT::Text, 1, false},
         {"Auswertung_Gewinn_fach", FT::Text, 7, false},
         {"System_Tage_Anzahl", FT::Integer, 0, false},
         {"System_Online_Alle", FT::Text, 1, false},
         {"System_Online_Tage_uebergreifend", FT::Text, 1, false},
         {"ID_Instanz", FT::Integer, 0, false},
         {"Online_Vordergrund", FT::Text, 1, false},
         {"Tag_Gewinn_Verlust", FT::Integer, 0, false},
         {"Tag_Gewinn_Maximal", FT::Integer, 0, false},
         {"Tag_Verlust_Maximal", FT::Integer, 0, false},
         {"Tag_Angriffe", FT::Integer, 0, false},
         {"DM_ID_HSR", FT::Integer, 0, false},
         {"DM_ID_Folge", FT::Integer, 0, false},
         {"DM_ID_Gleiche_Art", FT::Integer, 0, false},
         {"DM_Casino_letztes_DM", FT::Text, 30, false},
         {"DM_Tisch_letztes_DM", FT::Text, 5, false},
         {"DM_Datum_von_letztes_DM", FT::Date, 0, false},
         {"DM_Datum_bis_letztes_DM", FT::Date, 0, false},
         {"DM_Tage_letztes_DM", FT::Integer, 0, false},
         {"DM_Coups_letztes_DM", FT::Integer, 0, false},
         {"DM_Haeufigkeit_Anzahl_von", FT::Integer, 0, false},
         {"DM_Haeufigkeit_Anzahl_bis", FT::Integer, 0, false},
         {"DM_Haeufigkeit_Coups_zurueck_von", FT::Integer, 0, false},
         {"DM_Haeufigkeit_Coups_zurueck_bis", FT::Integer, 0, false},
         {"DM_Haeufigkeit_vor_Ereignisfolge", FT::Text, 1, false},
         {"DM_Serien_Anzahl_von", FT::Integer, 0, false},
         {"DM_Serien_Anzahl_bis", FT::Integer, 0, false},
         {"DM_Serien_von", FT::Integer, 0, false},
         {"DM_Serien_bis", FT::Integer, 0, false},
         {"DM_Serien_Coups_zurueck_von", FT::Integer, 0, false},
         {"DM_Serien_Coups_zurueck_bis", FT::Integer, 0, false},
         {"DM_Serien_vor_Ereignisfolge", FT::Text, 1, false},
         {"DM_Rueckstaendigkeit_Anzahl_von", FT::Integer, 0, false},
         {"DM_Rueckstaendigkeit_Anzahl_bis", FT::Integer, 0, false},
         {"DM_Rueckstaendigkeit_Coups_zurueck_von", FT::Integer, 0, false},
         {"DM_Rueckstaendigkeit_Coups_zurueck_bis", FT::Integer, 0, false},
         {"DM_Rueckstaendigkeit_vor_Ereignisfolge", FT::Text, 1, false},
         {"DM_Datum_von", FT::Date, 0, false},
         {"DM_Datum_bis", FT::Date, 0, false},
         {"DM_Tage_uebergreifend", FT::Text, 1, false},
         {"DM_Chancen_1", FT::Text, 1, false},
         {"DM_Chancen_2", FT::Text, 1, false},
         {"DM_Chancen_5", FT::Text, 1, false},
         {"DM_Chancen_8", FT::Text, 1, false},
         {"DM_Chancen_11", FT::Text, 1, false},
         {"DM_Chancen_17", FT::Text, 1, false},
         {"DM_Chancen_35", FT::Text, 1, false},
         {"DM_Ereignisfolge_11", FT::Text, 1, false},
         {"DM_Ereignisfolge_21", FT::Text, 1, false},
         {"DM_Ereignisfolge_51", FT::Text, 1, false},
         {"DM_Ereignisfolge_ungleich", FT::Text, 1, false},
         {"DM_Ereignisfolge_Anzahl", FT::Integer, 0, false},
         {"DM_Haeufigkeit_aktiv", FT::Text, 1, false},
         {"DM_Haeufigkeit_Ereignisse_alle", FT::Text, 1, false},
         {"DM_Serien_aktiv", FT::Text, 1, false},
         {"DM_Serien_Ereignisse_alle", FT::Text, 1, false},
         {"DM_Rueckstaendigkeit_aktiv", FT::Text, 1, false},
         {"DM_Rueckstaendigkeit_Ereignisse_alle", FT::Text, 1, false},
         {"DM_Chance", FT::Integer, 0, false},
         {"DM_Sortierung_G_V_Minimum", FT::Integer, 0, false},
         {"DM_Sortierung", FT::Text, 1, false},
         {"DM_Anzahl_Angriffe", FT::Integer, 0, false},
         {"DM_Art_Angriff", FT::Text, 1, false},
     },
     {}},
    {"Casino",
     DatabaseFile::Roulette,
     {
         {"ID_Casino_AutoInc", FT::AutoInc, 0, false},
         {"ID_Casino", FT::Integer, 0, false},
         {"Casino_Name", FT::Text, 20, false},
         {"Casino_In_Liste", FT::Text, 1, false},
         {"Casino_Bemerkungen", FT::Memo, 0, false},
         {"Zufallsgenerator_Coups", FT::Integer, 0, false},
         {"Zufallsgenerator", FT::Text, 1, false},
     },
     {{"Index_ID_Casino", {"ID_Casino"}, true}}},
    {"Casino_Tisch_Datum",
     DatabaseFile::Roulette,
     {
         {"ID_Casino", FT::Integer, 0, true},
         {"Tisch", FT::Text, 4, true},
         {"Datum_von", FT::Date, 0, false},
         {"Datum_bis", FT::Date, 0, false},
         {"Tage", FT::Integer, 0, false},
     },
     {{"Casino_Tisch_Datum_Tisch", {"ID_Casino", "Tisch"}, false}}},
    {"Permanenz",
     DatabaseFile::Roulette,
     {
         {"ID_Casino", FT::Integer, 0, true},
         {"Tisch", FT::Text, 4, true},
         {"Datum", FT::Date, 0, true},
         {"ID_Zahl", FT::AutoInc, 0, false},
         {"Zahl", FT::Integer, 0, false},
         {"Angriff_Satz", FT::Integer, 0, false},
         {"Gewinn_Verlust", FT::Integer, 0, false},
     },
     {{"Permanenz_Tag", {"ID_Casino", "Tisch", "Datum"}, false}}},
    {"Permanenz_Tag_Zusammenfassung",
     DatabaseFile::Roulette,
     {
         {"ID_Casino", FT::Integer, 0, true},
         {"Tisch", FT::Text, 4, true},
         {"Datum", FT::Date, 0, true},
         {"ID_System_aktuell", FT::Integer, 0, false},
         {"Gewinn_Verlust", FT::Integer, 0, false},
         {"Gewinn_Maximal", FT::Integer, 0, false},
         {"Verlust_Maximal", FT::Integer, 0, false},
         {"Coups_Anzahl", FT::Integer, 0, false},
         {"Angriffe", FT::Integer, 0, false},
     },
     {{"Index_Datum", {"Datum"}, true},
      {"Permanenz_Tag_Zusammenfassung_Tag", {"ID_Casino", "Tisch", "Datum"}, false}}},
    {"Permanenz_Tag_Zusammenfassung_G",
     DatabaseFile::Roulette,
     {
         {"ID_Casino", FT::Integer, 0, true},
         {"Tisch", FT::Text, 4, true},
         {"Tage", FT::Integer, 0, false},
         {"ID_System_aktuell", FT::Integer, 0, false},
         {"Gewinn_Verlust", FT::Integer, 0, false},
         {"Gewinn_Maximal", FT::Integer, 0, false},
         {"Verlust_Maximal", FT::Integer, 0, false},
         {"Coups_Anzahl", FT::Integer, 0, false},
         {"Angriffe", FT::Integer, 0, false},
     },
     {{"Permanenz_Tag_Zusammenfassung_G_Tisch", {"ID_Casino", "Tisch"}, false}}},
    {"Permanenz_Aufnahme",
     DatabaseFile::Roulette,
     {
         {"Aufnahme_String_txt", FT::Text, 35, false},
     },
     {}},
    {"Ereignisse",
     DatabaseFile::Roulette,
     {
         {"ID_Ereignis", FT::Integer, 0, true},
         {"Ereignis", FT::Text, 35, true},
         {"Ereignis_Englisch", FT::Text, 35, false},
         {"Ereignis_Info", FT::Text, 35, false},
         {"Ereignis_Info_Englisch", FT::Text, 35, false},
         {"ID_Gruppe_Ereignis", FT::Integer, 0, false},
         {"Gruppe_Ereignis", FT::Text, 35, false},
         {"Gruppe_Ereignis_Info", FT::Text, 35, false},
         {"Ereignis_Einsatz", FT::Integer, 0, false},
         {"Ereignis_Gewinn", FT::Integer, 0, false},
         {"Zahlen_Anzahl", FT::Integer, 0, false},
         {"Zahlen_Prozent", FT::Text, 7, false},
         {"Serien", FT::Integer, 0, false},
         {"Serien_Kennzeichen", FT::Text, 1, false},
         {"Rueckstaendigkeit", FT::Integer, 0, false},
         {"Rueckstaendigkeit_Kennzeichen", FT::Text, 1, false},
         {"Rueckstaendigkeit_1_Ereignis", FT::Text, 1, false},
     },
     {{"Ereignisse_ID", {"ID_Ereignis"}, false},
      {"Ereignisse_Gruppe", {"ID_Gruppe_Ereignis", "ID_Ereignis"}, false}}},
    {"Ereignis_Zahl",
     DatabaseFile::Roulette,
     {
         {"ID_Ereignis", FT::Integer, 0, true},
         {"Zahl", FT::Integer, 0, true},
     },
     {{"Ereignis_Zahl_Ereignis", {"ID_Ereignis"}, false}}},
    {"Ereignisse_Serien",
     DatabaseFile::Roulette,
     {
         {"ID_Ereignis_Gruppe", FT::Integer, 0, false},
         {"ID_Ereignis", FT::Integer, 0, false},
         {"Ereignis", FT::Text, 35, true},
         {"Ereignis_Info", FT::Text, 35, false},
         {"Serie", FT::Integer, 0, false},
         {"Serie_Anzahl", FT::Integer, 0, false},
         {"Serie_Prozent", FT::Text, 7, false},
     },
     {{"Index_Serie", {"Serie"}, true}, {"Ereignisse_Serien_Ereignis", {"ID_Ereignis"}, false}}},
    {"Ereignisse_Rueckstaendigkeit",
     DatabaseFile::Roulette,
     {
         {"ID_Ereignis_Gruppe", FT::Integer, 0, false},
         {"ID_Ereignis", FT::Integer, 0, false},
         {"Ereignis", FT::Text, 35, true},
         {"Ereignis_Info", FT::Text, 35, false},
         {"Rueckstaendigkeit", FT::Integer, 0, false},
         {"Rueckstaendigkeit_Anzahl", FT::Integer, 0, false},
         {"Rueckstaendigkeit_Prozent", FT::Text, 7, false},
     },
     {{"Index_Rueckstaendigkeit", {"Rueckstaendigkeit"}, true},
      {"Ereignisse_Rueckstaendigkeit_Ereignis", {"ID_Ereignis"}, false}}},
    {"Systeme",
     DatabaseFile::Roulette,
     {
         {"ID_System_AutoInc", FT::AutoInc, 0, false},
         {"ID_Instanz", FT::Integer, 0, true},
         {"ID_System_Nummer", FT::Integer, 0, false},
         {"ID_System_Art", FT::Integer, 0, false},
         {"ID_System_Chancen", FT::Integer, 0, false},
         {"System_Name", FT::Text, 45, false},
         {"System_Informationen", FT::Memo, 0, false},
         {"System_Online_Aktiv", FT::Text, 1, false},
         {"Systemaenderung_erfolgt", FT::Text, 1, false},
         {"Systemangriff_Beendung_Einzeln_Alle", FT::Text, 1, false},
         {"Systemangriff", FT::Integer, 0, false},
         {"Systemangriff_Instanz_1", FT::Text, 1, false},
         {"Systemangriff_Instanz_2", FT::Text, 1, false},
         {"Systemangriff_Instanz_3", FT::Text, 1, false},
         {"Systemangriff_Beendung_Einzeln", FT::Text, 1, false},
     },
     {{"Index_System_Nummer", {"ID_System_Nummer"}, true}}},
    {"System_Art",
     DatabaseFile::Roulette,
     {
         {"ID_System_Art_AutoInc", FT::AutoInc, 0, false},
         {"ID_System_Art", FT::Integer, 0, false},
         {"System_Art_Name", FT::Text, 15, false},
         {"System_Art_Name_Englisch", FT::Text, 20, false},
     },
     {}},
    {"System_Chancen",
     DatabaseFile::Roulette,
     {
         {"ID_System_Chancen", FT::Integer, 0, false},
         {"Chancen", FT::Text, 10, false},
     },
     {}},
    {"System_Daten",
     DatabaseFile::Roulette,
     {
         {"ID_System", FT::Integer, 0, true},
         {"ID_Instanz", FT::Integer, 0, true},
         {"ID_Ereignis_Haeufigkeit", FT::Integer, 0, false},
         {"Ereignis_Haeufigkeit_Info", FT::Text, 35, false},
         {"Haeufigkeit_Anzahl_von", FT::Integer, 0, false},
         {"Haeufigkeit_Anzahl_bis", FT::Integer, 0, false},
         {"Haeufigkeit_ungleich", FT::Text, 1, false},
         {"Haeufigkeit_Coups_zurueck_von", FT::Integer, 0, false},
         {"Haeufigkeit_Coups_zurueck_bis", FT::Integer, 0, false},
         {"Haeufigkeit_vor_Ereignisfolge", FT::Text, 1, false},
         {"Haeufigkeit_Filterung_aktiv", FT::Text, 1, false},
         {"ID_Ereignis_Serien", FT::Integer, 0, false},
         {"Ereignis_Serien_Info", FT::Text, 35, false},
         {"Serien_Anzahl_von", FT::Integer, 0, false},
         {"Serien_Anzahl_bis", FT::Integer, 0, false},
         {"Serien_von", FT::Integer, 0, false},
         {"Serien_bis", FT::Integer, 0, false},
         {"Serien_ungleich", FT::Text, 1, false},
         {"Serien_Coups_zurueck_von", FT::Integer, 0, false},
         {"Serien_Coups_zurueck_bis", FT::Integer, 0, false},
         {"Serien_vor_Ereignisfolge", FT::Text, 1, false},
         {"Serien_Filterung_aktiv", FT::Text, 1, false},
         {"ID_Ereignis_Rueckstaendigkeit", FT::Integer, 0, false},
         {"Ereignis_Rueckstaendigkeit_Info", FT::Text, 35, false},
         {"Rueckstaendigkeit_Anzahl_von", FT::Integer, 0, false},
         {"Rueckstaendigkeit_Anzahl_bis", FT::Integer, 0, false},
         {"Rueckstaendigkeit_ungleich", FT::Text, 1, false},
         {"Rueckstaendigkeit_Coups_zurueck_von", FT::Integer, 0, false},
         {"Rueckstaendigkeit_Coups_zurueck_bis", FT::Integer, 0, false},
         {"Rueckstaendigkeit_vor_Ereignisfolge", FT::Text, 1, false},
         {"Rueckstaendigkeit_Filterung_aktiv", FT::Text, 1, false},
         {"Ereignisfolge_Angriff_OK_von", FT::Integer, 0, false},
         {"Ereignisfolge_Angriff_OK_bis", FT::Integer, 0, false},
         {"Ereignisfolgen_zurueck_von", FT::Integer, 0, false},
         {"Ereignisfolgen_zurueck_bis", FT::Integer, 0, false},
         {"Ereignisfolge_ungleich", FT::Text, 1, false},
         {"Ereignisfolge_Filterung_aktiv", FT::Text, 1, false},
         {"Setzart", FT::Text, 1, false},
     },
     {{"System_Daten_System", {"ID_System", "ID_Instanz"}, false}}},
    {"System_Ereignisse",
     DatabaseFile::Roulette,
     {
         {"ID_System", FT::Integer, 0, true},
         {"ID_Instanz", FT::Integer, 0, true},
         {"Nr_Ereignis", FT::AutoInc, 0, false},
         {"ID_Ereignis", FT::Integer, 0, false},
         {"Angriff", FT::Text, 2, false},
         {"Ereignis", FT::Calculated, 20, false},
         {"Ereignis_Info", FT::Calculated, 20, false},
     },
     {{"System_Ereignisse_System", {"ID_System", "ID_Instanz"}, false}}},
    {"System_Angriffe",
     DatabaseFile::Roulette,
     {
         {"ID_System", FT::Integer, 0, true},
         {"ID_Instanz", FT::Integer, 0, true},
         {"ID_Angriff", FT::Text, 2, true},
         {"Satz", FT::Integer, 0, false},
     },
     {{"System_Angriffe_System", {"ID_System", "ID_Instanz"}, false}}},
    {"Systeme_Abarbeitung",
     DatabaseFile::Roulette,
     {
         {"Permanenz_ID_Zahl", FT::Integer, 0, false},
         {"ID_System", FT::Integer, 0, false},
         {"ID_Instanz", FT::Integer, 0, false},
         {"ID_Ereignis", FT::Integer, 0, true},
         {"Satz", FT::Integer, 0, false},
         {"Gewinn_Verlust", FT::Integer, 0, false},
         {"Ereignis", FT::Calculated, 20, false},
         {"Ereignis_Info", FT::Calculated, 20, false},
     },
     {{"Systeme_Abarbeitung_Coup", {"Permanenz_ID_Zahl"}, false}}},
    {"Systeme_Auswertungen_Ueberblick",
     DatabaseFile::Roulette,
     {
         {"ID_System", FT::Integer, 0, true},
         {"ID_Casino", FT::Integer, 0, true},
         {"Tisch", FT::Text, 4, true},
         {"Datum_von", FT::Date, 0, true},
         {"Datum_bis", FT::Date, 0, true},
         {"Casino_Name", FT::Text, 25, false},
         {"Tage", FT::Integer, 0, false},
         {"Tage_positiv", FT::Integer, 0, false},
         {"Gewinn_Verlust", FT::Integer, 0, false},
         {"Gewinn_Maximal", FT::Integer, 0, false},
         {"Verlust_Maximal", FT::Integer, 0, false},
         {"Coups_Anzahl", FT::Integer, 0, false},
         {"Angriffe", FT::Integer, 0, false},
     },
     {{"Systeme_Auswertungen_Ueberblick_System", {"ID_System"}, false}}},
    {"Individuell_1_Daten",
     DatabaseFile::Roulette,
     {
         {"ID_System", FT::Integer, 0, true},
         {"Anzahl_Ereignisse", FT::Integer, 0, false},
         {"Chance", FT::Integer, 0, false},
         {"Anzahl_Coups_zurueck", FT::Integer, 0, false},
         {"Anzahl_Coups_rueckstaendig", FT::Integer, 0, false},
     },
     {{"Individuell_1_Daten_System", {"ID_System"}, false}}},
    {"Individuell_2_Daten",
     DatabaseFile::Roulette,
     {
         {"ID_System", FT::Integer, 0, true},
         {"Anzahl_Ereignisse", FT::Integer, 0, false},
         {"Chance", FT::Integer, 0, false},
     },
     {{"Individuell_2_Daten_System", {"ID_System"}, false}}},
    {"Deutsch_Englisch",
     DatabaseFile::Roulette,
     {
         {"Object", FT::Text, 50, true},
         {"Dialog", FT::Text, 50, false},
         {"Deutsch_Caption", FT::Text, 100, false},
         {"Englisch_Caption", FT::Text, 100, false},
         {"Bemerkung", FT::Text, 100, false},
     },
     {{"Deutsch_Englisch_Object", {"Object"}, false}}},
    {"DM_HSR",
     DatabaseFile::DmModul,
     {
         {"ID_HSR", FT::Integer, 0, true},
         {"ID_Ereignis_Haeufigkeit", FT::Integer, 0, false},
         {"Haeufigkeit_ungleich", FT::Text, 1, false},
         {"Haeufigkeit_aktiv", FT::Text, 1, false},
         {"ID_Ereignis_Serien", FT::Integer, 0, false},
         {"Serien_ungleich", FT::Text, 1, false},
         {"Serien_aktiv", FT::Text, 1, false},
         {"ID_Ereignis_Rueckstaendigkeit", FT::Integer, 0, false},
         {"Rueckstaendigkeit_ungleich", FT::Text, 1, false},
         {"Rueckstaendigkeit_aktiv", FT::Text, 1, false},
     },
     {}},
    {"DM_Folge",
     DatabaseFile::DmModul,
     {
         {"ID_Folge", FT::AutoInc, 0, false},
         {"Gleiche_Art", FT::Integer, 0, false},
         {"Gleiche_Art_Ansicht", FT::Text, 40, false},
         {"Ereignis_1_vor_Angriff", FT::Integer, 0, false},
         {"Ereignis_2_vor_Angriff", FT::Integer, 0, false},
         {"Ereignis_3_vor_Angriff", FT::Integer, 0, false},
         {"Ereignis_4_vor_Angriff", FT::Integer, 0, false},
         {"Ereignis_5_vor_Angriff", FT::Integer, 0, false},
         {"Anzahl", FT::Integer, 0, false},
         {"Geprueft", FT::Text, 1, false},
     },
     {{"DM_Folge_Gleiche_Art", {"Gleiche_Art"}, false}}},
    {"DM_Folge_Anzeige",
     DatabaseFile::DmModul,
     {
         {"Nr_Ereignis", FT::Integer, 0, false},
         {"ID_Ereignis", FT::Integer, 0, false},
         {"Ereignis", FT::Text, 30, false},
         {"Ereignis_Info", FT::Text, 30, false},
         {"Angriff", FT::Text, 2, false},
     },
     {}},
    {"DM_Angriff",
     DatabaseFile::DmModul,
     {
         {"ID_Chance", FT::Integer, 0, true},
         {"Art_Angriff", FT::Text, 1, true},
         {"ID_Angriff", FT::Integer, 0, true},
         {"Satz", FT::Integer, 0, false},
         {"Gewinn", FT::Integer, 0, false},
         {"Verlust", FT::Integer, 0, false},
     },
     {{"DM_Angriff_Schluessel", {"ID_Chance", "Art_Angriff", "ID_Angriff"}, false}}},
    {"DM_Gewinn_Verlust",
     DatabaseFile::DmModul,
     {
         {"ID_HSR", FT::Integer, 0, true},
         {"ID_Folge", FT::Integer, 0, true},
         {"Art", FT::Text, 1, true},
         {"ID_Ereignis", FT::Integer, 0, true},
         {"ID_Angriff", FT::Integer, 0, true},
         {"Anzahl", FT::Integer, 0, false},
         {"Anzahl_OK", FT::Integer, 0, false},
         {"Anzahl_OK_Prozent", FT::Float, 0, false},
         {"Anzahl_OK_Prozent_String", FT::Text, 6, false},
         {"Gewinn_Verlust", FT::Integer, 0, false},
     },
     {{"DM_Gewinn_Verlust_HSR", {"ID_HSR"}, false}}},
    {"DM_Gewinn_Verlust_Berechnung",
     DatabaseFile::DmModul,
     {
         {"Art", FT::Text, 1, true},
         {"ID_Ereignis", FT::Integer, 0, true},
         {"ID_Angriff", FT::Integer, 0, true},
         {"Anzahl_OK", FT::Integer, 0, false},
         {"Gewinn_Verlust", FT::Integer, 0, false},
     },
     {{"DM_Gewinn_Verlust_Berechnung_Schluessel", {"Art", "ID_Ereignis", "ID_Angriff"}, false}}},
    {"DM_Gleiche_Art",
     DatabaseFile::DmModul,
     {
         {"ID_Gleiche_Art", FT::Integer, 0, true},
         {"Gleiche_Art", FT::Text, 40, false},
     },
     {}},

};

const char* sqlType(FieldType t) {
    switch (t) {
        case FieldType::Integer:
            return "INTEGER";
        case FieldType::AutoInc:
            return "INTEGER PRIMARY KEY AUTOINCREMENT";
        case FieldType::Float:
            return "REAL";
        case FieldType::Date:
            // Stored as ISO text; the declared type lets query cursors hand dates out as days.
            return "DATE";
        case FieldType::Text:
        case FieldType::Memo:
        case FieldType::Calculated:
            break;
    }
    return "TEXT";
}

}  // namespace

const FieldDef* TableDef::autoIncField() const {
    for (const auto& f : fields) {
        if (f.type == FieldType::AutoInc) {
            return &f;
        }
    }
    return nullptr;
}

const FieldDef* TableDef::field(std::string_view fieldName) const {
    const int i = fieldIndex(fieldName);
    return i < 0 ? nullptr : &fields[static_cast<std::size_t>(i)];
}

int TableDef::fieldIndex(std::string_view fieldName) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fieldName == fields[i].name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const IndexDef* TableDef::index(std::string_view indexName) const {
    for (const auto& ix : indexes) {
        if (indexName == ix.name) {
            return &ix;
        }
    }
    return nullptr;
}

int TableDef::storedFieldCount() const {
    return static_cast<int>(
        std::count_if(fields.begin(), fields.end(), [](const FieldDef& f) { return f.stored(); }));
}

const std::vector<TableDef>& schemaTables() {
    return kTables;
}

const TableDef* findTable(std::string_view name) {
    for (const auto& t : kTables) {
        if (name == t.name) {
            return &t;
        }
    }
    return nullptr;
}

std::vector<const TableDef*> tablesOf(DatabaseFile file) {
    std::vector<const TableDef*> result;
    for (const auto& t : kTables) {
        if (t.file == file) {
            result.push_back(&t);
        }
    }
    return result;
}

std::vector<std::string> createStatements(const TableDef& table) {
    std::vector<std::string> result;
    std::string sql = std::string("CREATE TABLE \"") + table.name + "\" (";
    bool firstField = true;
    for (const auto& f : table.fields) {
        if (!f.stored()) {
            continue;
        }
        if (!firstField) {
            sql += ", ";
        }
        firstField = false;
        sql += std::string("\"") + f.name + "\" " + sqlType(f.type);
        if (f.required) {
            sql += " NOT NULL";
        }
    }
    sql += ")";
    result.push_back(sql);
    for (const auto& ix : table.indexes) {
        std::string s = std::string("CREATE INDEX \"") + ix.name + "\" ON \"" + table.name + "\" (";
        for (std::size_t i = 0; i < ix.fields.size(); ++i) {
            s += (i ? ", \"" : "\"") + std::string(ix.fields[i]) + "\"";
        }
        s += ")";
        result.push_back(s);
    }
    return result;
}

}  // namespace spinalyst::store
