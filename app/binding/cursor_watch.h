#pragma once

#include <functional>

#include "store/cursor.h"

namespace spinalyst::binding {

// Registers callbacks as an observer of one cursor for its own lifetime. The cursor must
// outlive the watch (the data module outlives every window).
class CursorWatch final : public store::CursorObserver {
  public:
    struct Callbacks {
        std::function<void()> reset;       // shown rows changed as a whole
        std::function<void()> rowChanged;  // values of the current row changed
        std::function<void()> moved;       // the cursor moved to another row
    };

    CursorWatch(store::Cursor& cursor, Callbacks callbacks)
        : cursor_(cursor), callbacks_(std::move(callbacks)) {
        cursor_.addObserver(this);
    }
    ~CursorWatch() override { cursor_.removeObserver(this); }
    CursorWatch(const CursorWatch&) = delete;
    CursorWatch& operator=(const CursorWatch&) = delete;

    store::Cursor& cursor() const { return cursor_; }

    void cursorReset(store::Cursor&) override { call(callbacks_.reset); }
    void currentRowChanged(store::Cursor&) override { call(callbacks_.rowChanged); }
    void positionChanged(store::Cursor&) override { call(callbacks_.moved); }

  private:
    static void call(const std::function<void()>& f) {
        if (f) {
            f();
        }
    }
    store::Cursor& cursor_;
    Callbacks callbacks_;
};

}  // namespace spinalyst::binding
