#include "app/core/texte.h"

namespace spinalyst::app {

using store::Sprache;

const char* Hauptfenster_Titel(Sprache sprache) {
    return sprache == Sprache::Englisch
               ? "Molvane's Spinalyst Q/XA     Professional evaluation and system-/strategy "
                 "development - Data Mining - Online Game"
               : "Molvane's Spinalyst Q/XA     Professionelle Permanenzauswertung & "
                 "System-/Strategieentwicklung - Data Mining - Online Spiel";
}

const char* Hilfe_Frage(Sprache sprache) {
    return sprache == Sprache::Englisch
               ? "The help is available as a pdf-file from the installation directory!\nStart?"
               : "Die vollständige Hilfe liegt als pdf-Datei im Installationsverzeichnis "
                 "vor!\nStarten?";
}

const char* Hilfe_Datei(Sprache sprache) {
    return sprache == Sprache::Englisch ? "Help_Roulette.pdf" : "Hilfe_Roulette.pdf";
}

std::string Hilfe_Nicht_Geoeffnet(Sprache sprache, const std::string& verzeichnis) {
    const std::string datei = Hilfe_Datei(sprache);
    if (sprache == Sprache::Englisch) {
        return "The help could not be opened: no program for pdf files is set up on this "
               "computer, or the file is missing.\n\nThe help file \"" +
               datei + "\" is expected in the program directory:\n" + verzeichnis;
    }
    return "Die Hilfe konnte nicht geöffnet werden: Auf diesem Rechner ist kein Programm für "
           "pdf-Dateien eingerichtet, oder die Datei fehlt.\n\nDie Hilfedatei \"" +
           datei + "\" gehört in das Programmverzeichnis:\n" + verzeichnis;
}

const std::vector<Menuepunkt>& Menuepunkte() {
    static const std::vector<Menuepunkt> punkte = {
        {"MenuItem_Casinos", nullptr, "Casinos"},
        {"MenuItem_Permanenzen", nullptr, "Permanenzen"},
        {"MenuItem_Permanenzen_Aufnahme", "MenuItem_Permanenzen", "Aufnahme"},
        {"MenuItem_Permanenzen_Eingabe", "MenuItem_Permanenzen", "Eingabe"},
        {"MenuItem_Permanenzen_Loeschen", "MenuItem_Permanenzen", "Löschen"},
        {"MenuItem_Permanenzen_Loeschen_Tag", "MenuItem_Permanenzen_Loeschen", "Tag"},
        {"MenuItem_Permanenzen_Loeschen_Monat", "MenuItem_Permanenzen_Loeschen", "Monat"},
        {"MenuItem_Ereignisse", nullptr, "Ereignisse"},
        {"MenuItem_Ereignisse_Ueberblick", "MenuItem_Ereignisse", "Überblick"},
        {"MenuItem_Ereignisse_Auswertung", "MenuItem_Ereignisse", "Auswertung"},
        {"MenuItem_Ereignisse_Haeufigkeit", "MenuItem_Ereignisse_Auswertung", "Häufigkeit"},
        {"MenuItem_Ereignisse_Haeufigkeit_Serien", "MenuItem_Ereignisse_Auswertung",
         "Häufigkeit / Serien"},
        {"MenuItem_Ereignisse_Haeufigkeit_Rueckstandigkeit", "MenuItem_Ereignisse_Auswertung",
         "Häufigkeit / Rückständigkeit"},
        {"MenuItem_Ereignisse_komplett", "MenuItem_Ereignisse_Auswertung", "Komplett"},
        {"MenuItem_Systeme", nullptr, "Systeme"},
        {"MenuItem_Systeme_Information", "MenuItem_Systeme", "Wahl / Information"},
        {"MenuItem_Systeme_Aufnahme", "MenuItem_Systeme", "Aufnahme"},
        {"MenuItem_Systeme_Erstellung", "MenuItem_Systeme", "Erstellung"},
        {"MenuItem_Systeme_Haeufigkeit", "MenuItem_Systeme_Erstellung", "Häufigkeit"},
        {"MenuItem_Systeme_Serien", "MenuItem_Systeme_Erstellung", "Serien"},
        {"MenuItem_Systeme_Rueckstaendigkeit", "MenuItem_Systeme_Erstellung", "Rückständigkeit"},
        {"MenuItem_Systeme_Ereignisfolge", "MenuItem_Systeme_Erstellung", "Ereignisfolge"},
        {"MenuItem_Systeme_Auswertung", "MenuItem_Systeme", "Auswertung"},
        {"MenuItem_Systeme_Auswertungen_Ueberblick", "MenuItem_Systeme", "Auswertung Blick"},
        {kTrenner, "MenuItem_Systeme", ""},
        {"MenuItem_Systeme_Loeschen", "MenuItem_Systeme", "Löschen"},
        {"MenuItem_Individuell", nullptr, "Individuell"},
        {"MenuItem_Individuell_Satzsignale_1", "MenuItem_Individuell", "Satzsignale (1)"},
        {"MenuItem_Individuell_Satzsignale_2", "MenuItem_Individuell", "Satzsignale (2)"},
        {"MenuItem_Individuell_Ihr_System", "MenuItem_Individuell", "Ihr System ..."},
        {"MenuItem_DataMining", nullptr, "Data Mining"},
        {"MenuItem_Online_Spiel", nullptr, "Online Spiel"},
        {"MenuItem_Hilfe", nullptr, "Hilfe"},
        {"MenuItem_Sprache", nullptr, "Sprache"},
        {"MenuItem_Sprache_Deutsch", "MenuItem_Sprache", "Deutsch"},
        {"MenuItem_Sprache_Englisch", "MenuItem_Sprache", "Englisch"},
        {"MenuItem_Ereignis_Aufnehmen", kPopupEreignisfolge, "Aufnehmen"},
        {"MenuItem_Ereignis_Loeschen", kPopupEreignisfolge, "Löschen"},
    };
    return punkte;
}

const std::vector<const char*>& Sprachabhaengige_Menuepunkte() {
    static const std::vector<const char*> namen = {
        "MenuItem_Casinos",
        "MenuItem_Permanenzen",
        "MenuItem_Permanenzen_Aufnahme",
        "MenuItem_Permanenzen_Eingabe",
        "MenuItem_Permanenzen_Loeschen",
        "MenuItem_Permanenzen_Loeschen_Tag",
        "MenuItem_Permanenzen_Loeschen_Monat",
        "MenuItem_Ereignisse",
        "MenuItem_Ereignisse_Ueberblick",
        "MenuItem_Ereignisse_Auswertung",
        "MenuItem_Ereignisse_Haeufigkeit",
        "MenuItem_Ereignisse_Haeufigkeit_Serien",
        "MenuItem_Ereignisse_Haeufigkeit_Rueckstandigkeit",
        "MenuItem_Ereignisse_komplett",
        "MenuItem_Systeme",
        "MenuItem_Systeme_Information",
        "MenuItem_Systeme_Aufnahme",
        "MenuItem_Systeme_Erstellung",
        "MenuItem_Systeme_Haeufigkeit",
        "MenuItem_Systeme_Serien",
        "MenuItem_Systeme_Rueckstaendigkeit",
        "MenuItem_Systeme_Ereignisfolge",
        "MenuItem_Systeme_Auswertung",
        "MenuItem_Systeme_Auswertungen_Ueberblick",
        "MenuItem_Systeme_Loeschen",
        "MenuItem_Individuell",
        "MenuItem_Individuell_Satzsignale_1",
        "MenuItem_Individuell_Satzsignale_2",
        "MenuItem_Individuell_Ihr_System",
        "MenuItem_Online_Spiel",
        "MenuItem_Hilfe",
        "MenuItem_Sprache",
        "MenuItem_Sprache_Deutsch",
        "MenuItem_Sprache_Englisch",
        "MenuItem_Ereignis_Aufnehmen",
        "MenuItem_Ereignis_Loeschen",
    };
    return namen;
}

const std::vector<FesterText>& Feste_Texte() {
    static const std::vector<FesterText> texte = {
        {"Label_Permanenz", "Permanenz", "Permanence"},
        {"BitBtn_Permanenz_Zahl", "Zahl", "No."},
        {"Label_Tage_Permenenz", "Tage", "Days"},
        {"Label_Coups_Permanenz", "Coups", "No."},
        // The permanence evaluation's box and button use the words of the system evaluation.
        {"DBCheckBox_Tage_Permanenz_uebergreifend", "übergreifend", "across"},
        {"BitBtn_Berechnung_Permanenz_Auswertung", "(Permanenz)", "(Permanence)"},
        {"Label_Tage_System", "Tage", "Days"},
        {"DBCheckBox_Tage_System_uebergreifend", "übergreifend", "across"},
        {"BitBtn_System_Neu", "Neu", "New"},
        {"CheckBox_Systemdetails", "Systemdetails", "System details"},
        {"Label_Satzsignale", "(Satzsignale)", "(Signals)"},
        {"Label_Zahlen", "Zahlen", "Numbers"},
        {"Label_von1", "von", "from"},
        {"Label_von2", "von", "from"},
        {"Label_bis1", "bis", "to"},
        {"Label_bis2", "bis", "to"},
        {"Label_Serie", "Serie", "Series"},
        {"DBCheckBox_Online_Tage_System_uebergreifend", "üb", "ac"},
        {"DBCheckBox_Online_Vordergrund", "V", "F"},
    };
    return texte;
}

const std::vector<FesterText>& Kurzhilfen() {
    static const std::vector<FesterText> hilfen = {
        {"*_Filterung_aktiv", "A: Filter aktiv – der Filter dieser Zeile wird angewendet",
         "A: filter active – the filter of this row is applied"},
        {"*_vor_Ereignisfolge",
         "vEf: vor Ereignisfolge – die Coups zurück zählen ab dem Coup vor der Ereignisfolge",
         "vEf: before the event sequence – coups back are counted from the coup before the "
         "event sequence"},
        {"*_ungleich", "<>: ungleich – der Filter gilt, wenn seine Bedingung nicht erfüllt ist",
         "<>: unequal – the filter holds when its condition is not met"},
        {"CheckBox_ungleich_Ereignis",
         "<>: ungleich – das gewählte Ereignis der Folge darf nicht fallen (nicht beim "
         "angegriffenen Ereignis)",
         "<>: unequal – the selected event of the sequence must not hit (not the attacked "
         "event)"},
        {"DBCheckBox_Systemangriff_Beendung_Einzeln_Alle",
         "A: alle Instanzen – der Angriff läuft weiter, solange noch eine Instanz aktiv ist",
         "A: all instances – the attack goes on while any instance is still active"},
        {"Label_Instanz", "I: Instanz des Systems (1 bis 3)", "I: instance of the system (1 to 3)"},
        {"DBComboBox_Instanz_System_Daten", "I: Instanz des Systems (1 bis 3)",
         "I: instance of the system (1 to 3)"},
        {"BitBtn_Gesamtauswertungen", "Σ: Überblick über alle Systemauswertungen",
         "Σ: overview of all system evaluations"},
        {"DBCheckBox_Auswertung_Alle_Systeme",
         "x (A): alle mit \"x\" markierten Systeme (Modus A) statt nur des gewählten Systems",
         "x (A): all systems marked \"x\" (mode A) instead of the selected system only"},
        {"DBCheckBox_Online_Alle_Systeme",
         "x (A): alle mit \"x\" markierten Systeme (Modus A) statt nur des gewählten Systems",
         "x (A): all systems marked \"x\" (mode A) instead of the selected system only"},
        {"Label_von2", "Coups zurück: das Fenster beginnt so viele Coups vor dem Satz",
         "Coups back: the window starts this many coups before the bet"},
        {"Label_bis2", "Coups zurück: das Fenster endet so viele Coups vor dem Satz",
         "Coups back: the window ends this many coups before the bet"},
        {"*_Coups_zurueck_von", "Coups zurück: das Fenster beginnt so viele Coups vor dem Satz",
         "Coups back: the window starts this many coups before the bet"},
        {"*_Coups_zurueck_bis", "Coups zurück: das Fenster endet so viele Coups vor dem Satz",
         "Coups back: the window ends this many coups before the bet"},
        {"DBEdit_Ereignisfolgen_zurueck_von",
         "Frühere Auftreten der Ereignisfolge: ab dem so vielten zurück",
         "Earlier occurrences of the event sequence: from this many back"},
        {"DBEdit_Ereignisfolgen_zurueck_bis",
         "Frühere Auftreten der Ereignisfolge: bis zum so vielten zurück",
         "Earlier occurrences of the event sequence: up to this many back"},
    };
    return hilfen;
}

bool Kurzhilfe_Gilt(const FesterText& hilfe, std::string_view objektname) {
    const std::string_view objekt = hilfe.objekt;
    if (!objekt.empty() && objekt.front() == '*') {
        return objektname.ends_with(objekt.substr(1));
    }
    return objektname == objekt;
}

}  // namespace spinalyst::app
