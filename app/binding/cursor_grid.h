#pragma once

#include <QTableView>
#include <set>

#include "app/binding/cursor_table_model.h"

namespace spinalyst::binding {

// A grid over a CursorTableModel: one row per shown row of the cursor, the selected row is the
// cursor's current row in both directions (selecting a row moves the cursor, moving the cursor
// selects its row). Read-only browsing by default; setEditing(true) allows in-place editing of
// the model's editable columns. Tab leaves the grid (it does not walk the cells). Column widths
// follow the columns' preferred widths, their samples and the headings of the current language;
// columns sized to their content grow to the longest text shown whenever the rows change. A
// width the user has set by dragging a heading's edge is kept from then on.
class CursorGrid : public QTableView {
    Q_OBJECT
  public:
    CursorGrid(CursorTableModel* model, QWidget* parent = nullptr);

    CursorTableModel* cursorModel() const { return model_; }

    // Editing: a double click, F2 or a typed key opens the editor of an editable cell, and the
    // selection is one cell. Browsing: no editor opens, the selection is the row; an editor still
    // open keeps what was typed and closes.
    void setEditing(bool editing);
    bool editing() const { return editing_; }
    // A cell's editor is open.
    bool cellEditorOpen() const { return state() == QAbstractItemView::EditingState; }

    // Height that shows the heading and `rows` rows without scrolling.
    int heightForRows(int rows) const;

    QSize sizeHint() const override;

  private:
    void syncFromCursor(int row);
    void syncToCursor(const QModelIndex& current);
    void updateColumnWidths();
    void fitColumnsToContent();
    // Width from the heading, the preferred width in characters and the sample.
    int preferredWidth(int column) const;
    // Sets a column's width unless the user has set it.
    void setWidth(int column, int width);

    CursorTableModel* model_;
    bool editing_ = false;
    bool syncing_ = false;
    bool sizing_ = false;       // the grid itself is setting widths
    std::set<int> userWidths_;  // columns whose width the user has set
};

}  // namespace spinalyst::binding
