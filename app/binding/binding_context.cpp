#include "app/binding/binding_context.h"

#include <algorithm>

namespace spinalyst::binding {

BindingContext::BindingContext(QObject* parent) : QObject(parent) {}

void BindingContext::setLanguage(store::Sprache language) {
    language_ = language;
    emit languageChanged(language);
}

void BindingContext::reportError(const QString& message) {
    emit errorOccurred(message);
}

void BindingContext::addPendingEdit(QObject* owner, std::function<void()> commit) {
    edits_.push_back({owner, std::move(commit)});
    connect(owner, &QObject::destroyed, this, [this](QObject* gone) {
        std::erase_if(edits_, [gone](const PendingEdit& e) { return e.owner == gone; });
    });
}

void BindingContext::commitAll() {
    // A commit may show an error box, which runs the event loop; work on a copy.
    const auto edits = edits_;
    for (const PendingEdit& e : edits) {
        e.commit();
    }
}

}  // namespace spinalyst::binding
