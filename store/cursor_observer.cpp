#include "store/cursor_observer.h"

#include <algorithm>

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

}  // namespace spinalyst::store
