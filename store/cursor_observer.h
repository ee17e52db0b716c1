#pragma once

#include <functional>
#include <vector>

// Notifications of a cursor: the views listening to it, its data-change hook, and the scoped
// suspension of both.
namespace spinalyst::store {

class Cursor;

// Views (grids, bound controls) and other listeners of a cursor. All calls come after the
// cursor's state has changed. They are suspended together by Cursor::disableControls (or a
// ControlsSuspended scope).
class CursorObserver {
  public:
    virtual ~CursorObserver() = default;
    // The shown rows changed as a whole: opened, closed, refreshed, re-linked, filtered, a row
    // appended or deleted.
    virtual void cursorReset(Cursor&) {}
    // The values of the current row changed (a field was set, or the row was posted).
    virtual void currentRowChanged(Cursor&) {}
    // The cursor moved to another row.
    virtual void positionChanged(Cursor&) {}
};

// The listeners of one cursor — its observers and its data-change hook — and the number of
// suspensions in force. Owned by the cursor, which decides when each call is due; every call is
// dropped while a suspension is in force. Observers may add or remove observers while they are
// called: each call goes to the observers registered when it began.
class CursorListeners {
  public:
    using DataChangeHook = std::function<void(Cursor&)>;

    // Adding an observer twice registers it once. The cursor does not own its observers; an
    // observer removes itself before it goes.
    void add(CursorObserver* observer);
    void remove(CursorObserver* observer);
    void setDataChangeHook(DataChangeHook hook) { dataChangeHook_ = std::move(hook); }

    void suspend() { ++suspensions_; }
    // Ends one suspension; true when it was the last. Without a suspension it does nothing and
    // returns false.
    bool resume();
    bool suspended() const { return suspensions_ > 0; }

    // cursorReset / currentRowChanged / positionChanged to every observer, then the data-change
    // hook; nothing while suspended.
    void reset(Cursor& cursor);
    void rowChanged(Cursor& cursor);
    void positionChanged(Cursor& cursor);

    // The two halves of what the end of the last suspension sends, unconditionally: every
    // observer is reset; the data-change hook runs.
    void resetObservers(Cursor& cursor);
    void dataChanged(Cursor& cursor);

  private:
    std::vector<CursorObserver*> observers_;
    DataChangeHook dataChangeHook_;
    int suspensions_ = 0;
};

// Suspends a cursor's notifications for as long as it lives, like Cursor::disableControls; the
// end of the scope (or resume()) calls Cursor::enableControls, so the views reset and the detail
// cursors follow when the last suspension of the cursor ends. Scopes nest, also with
// disableControls calls.
//
// An error of enableControls propagates from resume() and from the end of a scope left normally;
// when the scope is left by an exception, that exception is the one that propagates.
class ControlsSuspended {
  public:
    explicit ControlsSuspended(Cursor& cursor);
    ~ControlsSuspended() noexcept(false);
    ControlsSuspended(const ControlsSuspended&) = delete;
    ControlsSuspended& operator=(const ControlsSuspended&) = delete;

    // Ends the suspension now; the end of the scope then does nothing.
    void resume();

  private:
    Cursor& cursor_;
    int uncaught_;
    bool active_ = true;
};

}  // namespace spinalyst::store
