#pragma once

#include <QDate>
#include <QDateEdit>

namespace spinalyst::app {

// The date picker of the selection bar: a date edit with a calendar pop-up that reports a chosen
// day once, when it is complete, instead of on every keystroke. A day counts as chosen on Enter,
// when the focus leaves the edit, on a pick in the calendar, or when the window asks for it
// (festlegen()); `gewaehlt` follows only when the day differs from the one chosen last.
// Typing a day the shown month does not have (31 while April is shown) keeps that day in mind:
// the month typed next gets it when it has it (31.05), as a player typing "31.05." expects.
class Datumswahl : public QDateEdit {
    Q_OBJECT
  public:
    explicit Datumswahl(QWidget* parent = nullptr);

    // Shows the day as the chosen one without reporting it.
    void setzen(const QDate& tag);
    // The day chosen last (the one the selection works on).
    QDate gewaehlterTag() const { return gewaehlt_; }
    // Takes the shown day as chosen; reports it when it differs from the one chosen last.
    void festlegen();

  signals:
    void gewaehlt(const QDate& tag);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void gemerktenTagAnwenden();

    QDate gewaehlt_;
    QString getippterTag_;  // digits typed into the day field since it was entered
    int gemerkterTag_ = 0;  // a typed day the shown month lacks; 0: none
};

}  // namespace spinalyst::app
