#pragma once

namespace spinalyst::app {

class Form_Anwendung_Roulette;

// Connects the main window's entries to the system windows of their own: Systeme / "Auswertung
// Blick" and the button "Σ" (`BitBtn_Gesamtauswertungen`) to the evaluations overview, and
// Individuell / "Satzsignale (1)" and "(2)" to the parameter windows of the individual rules
// after their menu check, and "Data Mining" to the data-mining window after its check (the main
// window is drawn anew when it closes). Each window is created on its first opening as a child of
// the main window and kept. Called once while the main window builds itself.
void Systemfenster_Verbinden(Form_Anwendung_Roulette& hauptfenster);

}  // namespace spinalyst::app
