#include "app/datumswahl.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>

namespace spinalyst::app {

Datumswahl::Datumswahl(QWidget* parent) : QDateEdit(parent) {
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
    // Days a table can have been played on; a stray keystroke cannot reach the calendar's ends.
    setDateRange(QDate(1900, 1, 1), QDate(2100, 12, 31));
    setzen(QDate::currentDate());
    connect(this, &QDateEdit::editingFinished, this, &Datumswahl::festlegen);
    // A pick in the calendar (click, or Enter on a day) closes the pop-up and sets the date
    // first; the choice follows once that is done.
    for (auto signal : {&QCalendarWidget::clicked, &QCalendarWidget::activated}) {
        connect(calendarWidget(), signal, this, &Datumswahl::festlegen, Qt::QueuedConnection);
    }
}

void Datumswahl::setzen(const QDate& tag) {
    const QSignalBlocker block(this);
    setDate(tag);
    gewaehlt_ = date();
    getippterTag_.clear();
    gemerkterTag_ = 0;
}

void Datumswahl::festlegen() {
    getippterTag_.clear();
    gemerkterTag_ = 0;
    if (date() == gewaehlt_) {
        return;
    }
    gewaehlt_ = date();
    emit gewaehlt(gewaehlt_);
}

void Datumswahl::keyPressEvent(QKeyEvent* event) {
    const bool imTag = currentSection() == QDateTimeEdit::DaySection;
    const bool ziffer = event->text().size() == 1 && event->text().at(0).isDigit();
    QDateEdit::keyPressEvent(event);
    if (imTag && ziffer) {
        getippterTag_ += event->text();
        if (getippterTag_.size() > 2) {
            getippterTag_ = event->text();
        }
        // The edit cut the typed day to the shown month's last day.
        const int getippt = getippterTag_.toInt();
        if (getippt > date().day() && getippt <= 31) {
            gemerkterTag_ = getippt;
        }
        if (currentSection() != QDateTimeEdit::DaySection) {
            getippterTag_.clear();
        }
    } else if (imTag || event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
               event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        // Another key in the day field, or a step: the typed day is no longer wanted.
        getippterTag_.clear();
        gemerkterTag_ = 0;
    }
    gemerktenTagAnwenden();
}

void Datumswahl::gemerktenTagAnwenden() {
    const QDate tag = date();
    if (gemerkterTag_ <= tag.day() || gemerkterTag_ > tag.daysInMonth()) {
        return;
    }
    const QDate ziel(tag.year(), tag.month(), gemerkterTag_);
    gemerkterTag_ = 0;
    // Setting the date redraws the text; the player goes on typing where he was.
    const QDateTimeEdit::Section feld = currentSection();
    const bool markiert = lineEdit()->hasSelectedText();
    const int position = lineEdit()->cursorPosition();
    setDate(ziel);
    if (markiert) {
        setSelectedSection(feld);
    } else {
        setCurrentSection(feld);
        lineEdit()->setCursorPosition(position);
    }
}
}  // namespace spinalyst::app
