// The binding toolkit over real cursors of a fresh program directory.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QValidator>
#include <memory>

#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/binding/cursor_table_model.h"
#include "app/binding/value_format.h"
#include "store/datamodule.h"
#include "store/referenzdaten.h"

using spinalyst::binding::BindingContext;
using spinalyst::binding::BoundCheckBox;
using spinalyst::binding::BoundComboBox;
using spinalyst::binding::BoundLineEdit;
using spinalyst::binding::BoundLookupComboBox;
using spinalyst::binding::Column;
using spinalyst::binding::CursorGrid;
using spinalyst::binding::CursorTableModel;
using spinalyst::store::Date;
using spinalyst::store::Sprache;
using spinalyst::store::TableCursor;
using spinalyst::store::Value;

class BindingTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void modelsPassTheModelTesterThroughACursorsLife_data();
    void modelsPassTheModelTesterThroughACursorsLife();
    void modelShowsRowsFormattedAndRaw();
    void modelFollowsValuesAndPositionOfTheCursor();
    void modelWritesEditsAndRefusesWhatTheStoreRefuses();
    void markAndNameColumnsTakeWhatTheFieldHolds();
    void gridEditorsFitTheFieldAndCloseWhenBrowsingResumes();
    void modelSwitchesHeadingsAndFieldsWithTheLanguage();
    void detachedModelShowsNothingUntilAttached();
    void gridSelectionAndCursorPositionFollowEachOther();
    void gridColumnsFitTheirTextsAndKeepWidthsTheUserSets();
    void lineEditWritesWhenEditingEndsWithoutPosting();
    void lineEditAcceptsOnlyIntegersAndKeepsTheOldValueForBadText();
    void checkBoxesStoreTAndFAndTwoCopiesAgree();
    void comboBoxWritesItemsAsTheFieldsType();
    void lookupComboBoxStoresTheKeyAndShowsTheLanguagesField();
    void controlsOnAClosedCursorShowNothingAndWriteNothing();

  private:
    void appendCoups(std::initializer_list<int> zahlen);
    TableCursor& wahl() { return dm->TdbTable_Wahl; }
    // Casinos 1 "Casino" (in the list) and 2 "Zweites" (not), every casino shown.
    TableCursor& casinos();
    static std::vector<Column> casinoColumns() {
        return {Column("ID_Casino", "Nr."), Column("Casino_Name", "Name").editableCell(),
                Column("Casino_In_Liste", "iL").editableMark()};
    }

    std::unique_ptr<QTemporaryDir> dir;
    spinalyst::store::Modulzustand sitzung;
    std::unique_ptr<spinalyst::store::DataModule_Roulette> dm;
    std::unique_ptr<BindingContext> context;
};

void BindingTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    dm =
        std::make_unique<spinalyst::store::DataModule_Roulette>(dir->path().toStdString(), sitzung);
    dm->open();
    context = std::make_unique<BindingContext>();
}

void BindingTest::cleanup() {
    context.reset();
    dm->close();
    dm.reset();
    dir.reset();
}

void BindingTest::appendCoups(std::initializer_list<int> zahlen) {
    TableCursor& p = dm->TdbTable_Permanenz;
    for (int zahl : zahlen) {
        p.appendRecord(
            spinalyst::store::makeRow(p.table(), {{"ID_Casino", wahl().integer("ID_Casino")},
                                                  {"Tisch", wahl().text("Tisch")},
                                                  {"Datum", wahl().date("Datum")},
                                                  {"Zahl", zahl}}));
    }
}

TableCursor& BindingTest::casinos() {
    TableCursor& c = dm->TdbTable_Casino;
    c.setFiltered(false);
    c.appendRecord(spinalyst::store::makeRow(
        c.table(), {{"ID_Casino", 1}, {"Casino_Name", "Casino"}, {"Casino_In_Liste", "x"}}));
    c.appendRecord(
        spinalyst::store::makeRow(c.table(), {{"ID_Casino", 2}, {"Casino_Name", "Zweites"}}));
    return c;
}

void BindingTest::modelsPassTheModelTesterThroughACursorsLife_data() {
    QTest::addColumn<QString>("cursor");
    QTest::newRow("events (named order, filter)") << "TdbTable_Ereignisse";
    QTest::newRow("coups (paged, detail of Wahl)") << "TdbTable_Permanenz";
    QTest::newRow("stakes (detail of Systeme)") << "TdbTable_System_Angriffe";
    QTest::newRow("query") << "TdbQuery_Ereignisse";
}

// Opens, appends, edits, moves, deletes, refreshes and closes under the model tester, which
// fails the test on any inconsistent signal or answer of the model.
void BindingTest::modelsPassTheModelTesterThroughACursorsLife() {
    QFETCH(QString, cursor);
    spinalyst::store::Cursor* c = dm->cursor(cursor.toStdString());
    QVERIFY(c != nullptr);
    std::vector<Column> columns;
    for (const std::string& field : c->fieldNames()) {
        columns.emplace_back(field, QString::fromStdString(field));
    }
    QVERIFY(!columns.empty());
    columns.back().editableCell();
    CursorTableModel model(*c, columns, context.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    auto* table = dynamic_cast<TableCursor*>(c);
    if (cursor == "TdbTable_Permanenz") {
        appendCoups({1, 2, 3});
        QCOMPARE(model.rowCount(), 3);
    }
    if (cursor == "TdbTable_System_Angriffe") {
        TableCursor& systeme = dm->TdbTable_Systeme;
        systeme.appendRecord(spinalyst::store::makeRow(
            systeme.table(), {{"ID_Instanz", 1}, {"ID_System_Nummer", 1}}));
        for (const char* stufe : {"1", "2", "G"}) {
            table->append();
            table->setText("ID_Angriff", stufe);
            table->post();
        }
        QCOMPARE(model.rowCount(), 3);
    }
    QVERIFY(model.rowCount() > 0);
    c->last();
    c->first();
    QVERIFY(c->moveTo(model.rowCount() - 1));
    if (table != nullptr) {
        table->edit();
        const std::string& field = c->fieldNames().back();
        if (table->table().field(field)->type == spinalyst::store::FieldType::Integer) {
            table->setInteger(field, 7);
        }
        table->post();
        table->refresh();
        QVERIFY(model.setData(model.index(0, model.columnCount() - 1), QStringLiteral("5")) ||
                !(model.flags(model.index(0, model.columnCount() - 1)) & Qt::ItemIsEditable));
        if (cursor != "TdbTable_Ereignisse") {
            table->remove();
        }
    }
    c->close();
    QCOMPARE(model.rowCount(), 0);
    c->open();
    QVERIFY(model.rowCount() > 0);
    context->setLanguage(Sprache::Englisch);
}

void BindingTest::modelShowsRowsFormattedAndRaw() {
    // The day rows show the day window up to the selected day.
    sitzung.gewaehlter_tag = Date::fromYmd(2021, 3, 8);
    TableCursor& tage = dm->TdbTable_Permanenz_Tag_Zusammenfassung;
    tage.appendRecord(
        spinalyst::store::makeRow(tage.table(), {{"ID_Casino", wahl().integer("ID_Casino")},
                                                 {"Tisch", wahl().text("Tisch")},
                                                 {"Datum", Date::fromYmd(2021, 3, 7)},
                                                 {"Gewinn_Verlust", -12}}));
    CursorTableModel model(tage,
                           {Column("Datum", "Tag", "Day"), Column("Gewinn_Verlust", "G/V").right(),
                            Column("Angriffe", "Angriffe"), Column("", "")},
                           context.get());
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("07.03.2021"));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("-12"));
    QCOMPARE(model.data(model.index(0, 1), CursorTableModel::RawValueRole).value<Value>(),
             Value(-12));
    QCOMPARE(model.data(model.index(0, 0), CursorTableModel::RawValueRole).value<Value>(),
             Value(Date::fromYmd(2021, 3, 7)));
    // Null and the column without field show nothing.
    QCOMPARE(model.data(model.index(0, 2)).toString(), QString());
    QVERIFY(model.data(model.index(0, 2), CursorTableModel::RawValueRole).value<Value>().isNull());
    QCOMPARE(model.data(model.index(0, 3)).toString(), QString());
    QCOMPARE(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
}

void BindingTest::modelFollowsValuesAndPositionOfTheCursor() {
    appendCoups({17, 5, 0});
    TableCursor& p = dm->TdbTable_Permanenz;
    Column zahl("Zahl", "Z", "N");
    zahl.color([](const spinalyst::store::RowView& row) -> std::optional<QColor> {
        return row.integer("Zahl") == 0 ? std::optional<QColor>(Qt::green) : std::nullopt;
    });
    CursorTableModel model(p, {zahl, Column("Angriff_Satz", "S", "B")}, context.get());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy moved(&model, &CursorTableModel::currentRowMoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    QVERIFY(p.moveTo(1));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.last().at(0).toInt(), 1);
    QCOMPARE(model.currentRow(), 1);

    // A value set on the current row shows at once (the edit buffer), in that row only.
    p.setInteger("Angriff_Satz", 4);
    QVERIFY(changed.count() >= 1);
    for (const auto& args : changed) {
        QCOMPARE(args.at(0).toModelIndex().row(), 1);
        QCOMPARE(args.at(1).toModelIndex().row(), 1);
    }
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("4"));
    p.post();
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("4"));

    QCOMPARE(model.data(model.index(2, 0), Qt::ForegroundRole).value<QBrush>().color(),
             QColor(Qt::green));
    QVERIFY(!model.data(model.index(0, 0), Qt::ForegroundRole).isValid());

    // A new row resets the model.
    appendCoups({36});
    QVERIFY(reset.count() >= 1);
    QCOMPARE(model.rowCount(), 4);
}

void BindingTest::modelWritesEditsAndRefusesWhatTheStoreRefuses() {
    appendCoups({1, 2, 3});
    TableCursor& p = dm->TdbTable_Permanenz;
    CursorTableModel model(
        p, {Column("Zahl", "Z").editableCell(), Column("Tisch", "T").editableCell()},
        context.get());
    QSignalSpy errors(context.get(), &BindingContext::errorOccurred);

    QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    QVERIFY(model.setData(model.index(2, 0), QStringLiteral("33")));
    QCOMPARE(p.recordIndex(), 2);
    QVERIFY(!p.isEditing());
    p.refresh();
    QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("33"));

    // No integer: refused, nothing written.
    QVERIFY(!model.setData(model.index(2, 0), QStringLiteral("x1")));
    QCOMPARE(p.integer("Zahl"), 33);

    // A required field left empty: the store refuses, the error goes to the window, the row
    // keeps its value and the cursor is not left editing.
    QVERIFY(!model.setData(model.index(1, 1), QString()));
    QCOMPARE(errors.count(), 1);
    QVERIFY(!p.isEditing());
    QCOMPARE(model.data(model.index(1, 1)).toString(),
             QString::fromStdString(wahl().text("Tisch")));

    // A before-post hook that cancels: refused quietly.
    p.setBeforePostHook([](TableCursor&) { throw spinalyst::store::PostCancelled(); });
    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("9")));
    QCOMPARE(errors.count(), 1);
    QVERIFY(!p.isEditing());
    p.setBeforePostHook({});
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("1"));

    // Columns not marked editable, and query cursors, are read-only.
    CursorTableModel readOnly(dm->TdbQuery_Ereignisse, {Column("Ereignis", "E").editableCell()},
                              context.get());
    dm->TdbQuery_Ereignisse.open();
    QVERIFY(!(readOnly.flags(readOnly.index(0, 0)) & Qt::ItemIsEditable));
}

// The text a casino has in the database file, read past the cursor's rows.
static QString gespeichert(TableCursor& c, int row, const char* field) {
    c.refresh();
    const spinalyst::store::Row* r = c.rowAt(row);
    if (r == nullptr) {
        return QStringLiteral("<no row>");
    }
    const Value& v = r->values[static_cast<std::size_t>(c.fieldIndex(field))];
    return v.isNull() ? QStringLiteral("<null>") : QString::fromStdString(v.toText());
}

void BindingTest::markAndNameColumnsTakeWhatTheFieldHolds() {
    TableCursor& c = casinos();
    CursorTableModel model(c, casinoColumns(), context.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy errors(context.get(), &BindingContext::errorOccurred);
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    QVERIFY(model.flags(model.index(1, 2)) & Qt::ItemIsEditable);

    // The views hear of an edit only once it is stored.
    QStringList gehoert;
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex& from, const QModelIndex& to) {
                if (from.row() <= 1 && 1 <= to.row() && from.column() <= 1 && 1 <= to.column()) {
                    gehoert << (c.isEditing() ? QStringLiteral("editing")
                                              : QString::fromStdString(c.text("Casino_Name")));
                }
            });
    QVERIFY(model.setData(model.index(1, 1), QStringLiteral("Baden-Baden")));
    QVERIFY(!gehoert.isEmpty());
    QCOMPARE(gehoert.last(), QStringLiteral("Baden-Baden"));
    QVERIFY(!gehoert.contains(QStringLiteral("editing")));
    QCOMPARE(gespeichert(c, 1, "Casino_Name"), QStringLiteral("Baden-Baden"));
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("Baden-Baden"));

    // A name longer than the field is cut by the store, quietly.
    QVERIFY(model.setData(model.index(0, 1), QStringLiteral("Spielbank Bad Homburg vor der Höhe")));
    QCOMPARE(gespeichert(c, 0, "Casino_Name"), QStringLiteral("Spielbank Bad Hombur"));
    QCOMPARE(errors.count(), 0);

    // The mark takes "x" in either case or nothing; anything else is refused and leaves the mark.
    struct Fall {
        int row;
        const char* text;
        bool taken;
        const char* stored;
    };
    const Fall faelle[] = {
        {1, "X", true, "x"},        {1, "", true, "<null>"}, {1, " x ", true, "x"},
        {1, "y", false, "x"},       {1, "xx", false, "x"},   {0, " ", true, "<null>"},
        {0, "ja", false, "<null>"}, {0, "x", true, "x"},
    };
    for (const Fall& f : faelle) {
        const QString was = QStringLiteral("row %1, \"%2\"").arg(f.row).arg(f.text);
        QVERIFY2(model.setData(model.index(f.row, 2), QString::fromUtf8(f.text)) == f.taken,
                 qPrintable(was));
        QVERIFY2(!c.isEditing(), qPrintable(was));
        QCOMPARE(gespeichert(c, f.row, "Casino_In_Liste"), QString::fromUtf8(f.stored));
    }
    QCOMPARE(errors.count(), 0);

    // A refusal of the store goes to the context; the row keeps what it had.
    c.setBeforePostHook([](TableCursor&) { throw spinalyst::store::StoreError("abgelehnt"); });
    QVERIFY(!model.setData(model.index(1, 1), QStringLiteral("Wiesbaden")));
    c.setBeforePostHook({});
    QCOMPARE(errors.count(), 1);
    QVERIFY(!c.isEditing());
    QCOMPARE(gespeichert(c, 1, "Casino_Name"), QStringLiteral("Baden-Baden"));
}

void BindingTest::gridEditorsFitTheFieldAndCloseWhenBrowsingResumes() {
    TableCursor& c = casinos();
    CursorTableModel model(c, casinoColumns(), context.get());
    CursorGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    // Browsing: a double click opens no editor.
    const QPoint zelle = grid.visualRect(model.index(0, 1)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, zelle);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, zelle);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, zelle);
    QVERIFY(!grid.cellEditorOpen());
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    grid.setEditing(true);
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectItems);

    // The name's editor holds no more than the field, the mark's only "x".
    auto editor = [&](int column) {
        grid.setCurrentIndex(model.index(1, column));
        grid.edit(model.index(1, column));
        QLineEdit* offen = nullptr;
        // Closed editors are hidden until they are deleted.
        for (auto* e : grid.viewport()->findChildren<QLineEdit*>()) {
            offen = e->isVisible() ? e : offen;
        }
        return offen;
    };
    QLineEdit* mark = editor(2);
    QVERIFY(mark != nullptr);
    QCOMPARE(mark->maxLength(), 1);
    int pos = 0;
    QString text = QStringLiteral("y");
    QCOMPARE(mark->validator()->validate(text, pos), QValidator::Invalid);
    text = QStringLiteral("X");
    QCOMPARE(mark->validator()->validate(text, pos), QValidator::Acceptable);
    grid.setEditing(false);
    QVERIFY(!grid.cellEditorOpen());

    grid.setEditing(true);
    QLineEdit* name = editor(1);
    QVERIFY(name != nullptr);
    QCOMPARE(name->maxLength(), 20);
    QCOMPARE(name->text(), QStringLiteral("Zweites"));
    name->setText(QStringLiteral("Dritte"));

    // Back to browsing: the typed text is stored, the editor closes, the row is selected.
    grid.setEditing(false);
    QVERIFY(!grid.cellEditorOpen());
    QCOMPARE(gespeichert(c, 1, "Casino_Name"), QStringLiteral("Dritte"));
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(grid.selectionModel()->isRowSelected(1, {}));
}

void BindingTest::modelSwitchesHeadingsAndFieldsWithTheLanguage() {
    TableCursor& e = dm->TdbTable_Ereignisse;
    CursorTableModel model(
        e,
        {Column("Ereignis", "Ereignisse", "Events").englishField("Ereignis_Englisch"),
         Column("ID_Ereignis", "% ")},
        context.get());
    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QString deutsch =
        QString::fromStdString(e.rowAt(0)->values[e.fieldIndex("Ereignis")].toText());
    const QString englisch =
        QString::fromStdString(e.rowAt(0)->values[e.fieldIndex("Ereignis_Englisch")].toText());
    QVERIFY(deutsch != englisch);

    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Ereignisse"));
    QCOMPARE(model.data(model.index(0, 0)).toString(), deutsch);
    context->setLanguage(Sprache::Englisch);
    QCOMPARE(headers.count(), 1);
    QVERIFY(changed.count() >= 1);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Events"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("% "));
    QCOMPARE(model.data(model.index(0, 0)).toString(), englisch);
    context->setLanguage(Sprache::Deutsch);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Ereignisse"));
    QCOMPARE(model.data(model.index(0, 0)).toString(), deutsch);
}

void BindingTest::detachedModelShowsNothingUntilAttached() {
    appendCoups({4, 5});
    CursorTableModel model(dm->TdbTable_Permanenz, {Column("Zahl", "Z")}, context.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setAttached(false);
    QCOMPARE(model.rowCount(), 0);
    appendCoups({6, 7, 8});
    QCOMPARE(model.rowCount(), 0);
    model.setAttached(true);
    QCOMPARE(model.rowCount(), 5);
}

void BindingTest::gridSelectionAndCursorPositionFollowEachOther() {
    appendCoups({10, 11, 12, 13});
    TableCursor& p = dm->TdbTable_Permanenz;
    CursorTableModel model(p, {Column("Zahl", "Z")}, context.get());
    CursorGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QVERIFY(p.moveTo(2));
    QCOMPARE(grid.currentIndex().row(), 2);
    QVERIFY(grid.selectionModel()->isRowSelected(2, {}));

    grid.setCurrentIndex(model.index(0, 0));
    QCOMPARE(p.recordIndex(), 0);
    QCOMPARE(p.integer("Zahl"), 10);

    QTest::keyClick(grid.viewport(), Qt::Key_Down);
    QCOMPARE(p.recordIndex(), 1);

    // Tab leaves the grid instead of walking its cells.
    QVERIFY(!grid.tabKeyNavigation());
}

// A column sized to its content grows with the longest name, also when a name changes; a
// column with a sample has room for it; a width the user dragged survives new rows, a refresh
// and a change of language.
void BindingTest::gridColumnsFitTheirTextsAndKeepWidthsTheUserSets() {
    TableCursor& c = casinos();
    CursorTableModel model(c,
                           {Column("ID_Casino", "Nr.").width(2),
                            Column("Casino_Name", "Name", "Name").width(4).toContent(),
                            Column("Casino_In_Liste", "iL").width(1).fits(QStringLiteral("<>"))},
                           context.get());
    CursorGrid grid(&model);
    grid.resize(600, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QFontMetrics fm = grid.fontMetrics();
    auto passt = [&](int spalte, const QString& text) {
        return grid.columnWidth(spalte) >= fm.horizontalAdvance(text) + 8;
    };
    QVERIFY(passt(1, QStringLiteral("Zweites")));
    QVERIFY(passt(2, QStringLiteral("<>")));

    // (A name holds 20 characters.)
    const QString lang = QStringLiteral("Grand Casino Riviera");
    QVERIFY(!passt(1, lang));
    QVERIFY(c.locate("ID_Casino", {Value(2)}));
    c.edit();
    c.setText("Casino_Name", lang.toStdString());
    c.post();
    QVERIFY(passt(1, lang));

    // The user drags the edges of the name and the number column.
    grid.horizontalHeader()->resizeSection(0, 97);
    grid.horizontalHeader()->resizeSection(1, 61);
    c.appendRecord(spinalyst::store::makeRow(c.table(), {{"ID_Casino", 123456},
                                                         {"Casino_Name",
                                                          "Noch ein viel längerer Name "
                                                          "eines Casinos am Meer"}}));
    c.refresh();
    context->setLanguage(Sprache::Englisch);
    context->setLanguage(Sprache::Deutsch);
    QCOMPARE(grid.columnWidth(0), 97);
    QCOMPARE(grid.columnWidth(1), 61);
    QVERIFY(passt(2, QStringLiteral("<>")));
}

void BindingTest::lineEditWritesWhenEditingEndsWithoutPosting() {
    BoundLineEdit edit(wahl(), "System_Tage_Anzahl", context.get());
    QCOMPARE(edit.text(), QStringLiteral("10"));
    QSignalSpy committed(&edit, &BoundLineEdit::valueCommitted);

    edit.show();
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("7"));
    QCOMPARE(wahl().integer("System_Tage_Anzahl"), 10);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(committed.count(), 1);
    QCOMPARE(wahl().integer("System_Tage_Anzahl"), 7);
    QVERIFY(wahl().isEditing());

    // Typed text is written by commitAll too (the window does that before it closes).
    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("12"));
    context->commitAll();
    QCOMPARE(wahl().integer("System_Tage_Anzahl"), 12);

    // Empty is null.
    edit.clear();
    edit.setModified(true);
    edit.commit();
    QVERIFY(wahl().isNull("System_Tage_Anzahl"));

    // A change from elsewhere shows.
    wahl().setInteger("System_Tage_Anzahl", 3);
    QCOMPARE(edit.text(), QStringLiteral("3"));
    wahl().post();
    QCOMPARE(edit.text(), QStringLiteral("3"));
}

void BindingTest::lineEditAcceptsOnlyIntegersAndKeepsTheOldValueForBadText() {
    BoundLineEdit edit(wahl(), "Permanenz_Zahl", context.get());
    edit.setIntegerOnly(true);
    edit.show();
    edit.setFocus();
    QTest::keyClicks(&edit, QStringLiteral("-1a2."));
    QCOMPARE(edit.text(), QStringLiteral("-12"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(wahl().integer("Permanenz_Zahl"), -12);

    // A lone sign is no number: the field keeps its value and the edit shows it again.
    edit.setText(QStringLiteral("-"));
    edit.setModified(true);
    edit.commit();
    QCOMPARE(wahl().integer("Permanenz_Zahl"), -12);
    QCOMPARE(edit.text(), QStringLiteral("-12"));

    // A text field takes any text.
    BoundLineEdit tisch(wahl(), "Tisch", context.get());
    tisch.setText(QStringLiteral("T 07"));
    tisch.setModified(true);
    tisch.commit();
    QCOMPARE(wahl().text("Tisch"), std::string("T 07"));
}

void BindingTest::checkBoxesStoreTAndFAndTwoCopiesAgree() {
    BoundCheckBox main(wahl(), "System_Online_Alle", QStringLiteral("x (A)"), context.get());
    BoundCheckBox online(wahl(), "System_Online_Alle", QStringLiteral("x (A)"), context.get());
    QVERIFY(!main.isChecked());
    main.show();
    QTest::mouseClick(&main, Qt::LeftButton);
    QCOMPARE(wahl().text("System_Online_Alle"), std::string("t"));
    QVERIFY(online.isChecked());
    online.click();
    QCOMPARE(wahl().text("System_Online_Alle"), std::string("f"));
    QVERIFY(!main.isChecked());

    // Null and anything but "t" show unticked.
    wahl().setNull("System_Online_Alle");
    QVERIFY(!main.isChecked());
    wahl().setText("System_Online_Alle", "t");
    QVERIFY(main.isChecked());

    // Other values for the two states.
    BoundCheckBox marked(dm->TdbTable_Wahl, "Online_Vordergrund", {}, context.get());
    marked.setValues("x", "");
    marked.click();
    QCOMPARE(wahl().text("Online_Vordergrund"), std::string("x"));
}

void BindingTest::comboBoxWritesItemsAsTheFieldsType() {
    BoundComboBox tisch(wahl(), "Tisch", {"T 01", "T 02", "T 03"}, context.get());
    QCOMPARE(tisch.currentText(), QString::fromStdString(wahl().text("Tisch")));
    QSignalSpy committed(&tisch, &BoundComboBox::valueCommitted);
    emit tisch.activated(2);
    QCOMPARE(committed.count(), 1);
    QCOMPARE(wahl().text("Tisch"), std::string("T 03"));

    BoundComboBox instanz(wahl(), "ID_Instanz", {"1", "2", "3"}, context.get());
    emit instanz.activated(1);
    QVERIFY(wahl().value("ID_Instanz").isInteger());
    QCOMPARE(wahl().integer("ID_Instanz"), 2);

    // A value that is no item shows no item.
    wahl().setInteger("ID_Instanz", 7);
    QCOMPARE(instanz.currentIndex(), -1);
}

void BindingTest::lookupComboBoxStoresTheKeyAndShowsTheLanguagesField() {
    TableCursor& art = dm->TdbTable_System_Art;
    BoundLookupComboBox lookup(wahl(), "ID_System_Art", art, "ID_System_Art_AutoInc",
                               "System_Art_Name", "System_Art_Name_Englisch", context.get());
    QCOMPARE(lookup.count(), art.recordCount());
    QVERIFY(lookup.count() >= 3);
    QCOMPARE(lookup.currentKey(), std::optional<std::int64_t>(wahl().integer("ID_System_Art")));

    QVERIFY(art.moveTo(0));
    emit lookup.activated(2);
    const auto* row = art.rowAt(2);
    const std::int64_t key = row->values[art.fieldIndex("ID_System_Art_AutoInc")].toInt64();
    QCOMPARE(wahl().value("ID_System_Art").toInt64(), key);
    QCOMPARE(lookup.currentIndex(), 2);
    // The list cursor is not moved by the lookup.
    QCOMPARE(art.recordIndex(), 0);

    QCOMPARE(lookup.itemText(2),
             QString::fromStdString(row->values[art.fieldIndex("System_Art_Name")].toText()));
    context->setLanguage(Sprache::Englisch);
    QCOMPARE(
        lookup.itemText(2),
        QString::fromStdString(row->values[art.fieldIndex("System_Art_Name_Englisch")].toText()));
    QCOMPARE(lookup.currentIndex(), 2);

    // The list follows changes of its cursor.
    art.edit();
    art.setText("System_Art_Name_Englisch", "Renamed");
    art.post();
    QCOMPARE(lookup.itemText(0), QStringLiteral("Renamed"));
}

void BindingTest::controlsOnAClosedCursorShowNothingAndWriteNothing() {
    BoundLineEdit edit(wahl(), "System_Tage_Anzahl", context.get());
    BoundCheckBox box(wahl(), "System_Online_Alle", {}, context.get());
    wahl().setText("System_Online_Alle", "t");
    wahl().post();
    QVERIFY(box.isChecked());
    QSignalSpy errors(context.get(), &BindingContext::errorOccurred);
    wahl().close();
    QCOMPARE(edit.text(), QString());
    QVERIFY(!box.isChecked());
    edit.setText(QStringLiteral("5"));
    edit.setModified(true);
    edit.commit();
    box.click();
    QCOMPARE(errors.count(), 0);
    QVERIFY(!box.isChecked());
    wahl().open();
    QCOMPARE(edit.text(), QStringLiteral("10"));
}

QTEST_MAIN(BindingTest)
#include "binding_test.moc"
