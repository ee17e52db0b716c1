#include "store/cursor_observer.h"

#include <algorithm>
#include <exception>

#include "store/cursor.h"

namespace spinalyst::store {

void CursorListeners::add(CursorObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void CursorListeners::remove(CursorObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

bool CursorListeners::resume() {
    if (suspensions_ == 0) {
        return false;
    }
    return --suspensions_ == 0;
}

void CursorListeners::reset(Cursor& cursor) {
    if (suspended()) {
        return;
    }
    resetObservers(cursor);
    dataChanged(cursor);
}

void CursorListeners::rowChanged(Cursor& cursor) {
    if (suspended()) {
        return;
    }
    for (auto* o : std::vector<CursorObserver*>(observers_)) {
        o->currentRowChanged(cursor);
    }
    dataChanged(cursor);
}

void CursorListeners::positionChanged(Cursor& cursor) {
    if (suspended()) {
        return;
    }
    for (auto* o : std::vector<CursorObserver*>(observers_)) {
        o->positionChanged(cursor);
    }
    dataChanged(cursor);
}

void CursorListeners::resetObservers(Cursor& cursor) {
    for (auto* o : std::vector<CursorObserver*>(observers_)) {
        o->cursorReset(cursor);
    }
}

void CursorListeners::dataChanged(Cursor& cursor) {
    if (dataChangeHook_) {
        dataChangeHook_(cursor);
    }
}

ControlsSuspended::ControlsSuspended(Cursor& cursor)
    : cursor_(cursor), uncaught_(std::uncaught_exceptions()) {
    cursor_.disableControls();
}

ControlsSuspended::~ControlsSuspended() noexcept(false) {
    if (!active_) {
        return;
    }
    active_ = false;
    if (std::uncaught_exceptions() > uncaught_) {
        // Leaving by an exception: that one is reported, not a follow-up error of the views.
        try {
            cursor_.enableControls();
        } catch (...) {
        }
        return;
    }
    cursor_.enableControls();
}

void ControlsSuspended::resume() {
    if (active_) {
        active_ = false;
        cursor_.enableControls();
    }
}

}  // namespace spinalyst::store
