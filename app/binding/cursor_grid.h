#pragma once

#include <QTableView>

#include "app/binding/cursor_table_model.h"

namespace spinalyst::binding {

// A grid over a CursorTableModel: one row per shown row of the cursor, the selected row is the
// cursor's current row in both directions (selecting a row moves the cursor, moving the cursor
// selects its row). Read-only browsing by default; setEditing(true) allows in-place editing of
// the model's editable columns. Tab leaves the grid (it does not walk the cells). Column widths
// follow the columns' preferred widths and the headings of the current language.
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

    CursorTableModel* model_;
    bool editing_ = false;
    bool syncing_ = false;
};

}  // namespace spinalyst::binding
