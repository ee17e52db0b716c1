#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "store/zustand.h"

namespace spinalyst::binding {

// What the bound controls and grids of one window share: the language their headings and
// language-dependent fields follow, where store errors go (the window shows them), and the
// list of edits whose typed text has not reached the cursor yet. Owned by the window.
class BindingContext : public QObject {
    Q_OBJECT
  public:
    explicit BindingContext(QObject* parent = nullptr);

    store::Sprache language() const { return language_; }
    // Switches every model and control of the context to the language.
    void setLanguage(store::Sprache language);

    // Called by controls and models when the store refused a write.
    void reportError(const QString& message);

    // Registers the commit action of an edit; it is dropped when the owner is destroyed.
    void addPendingEdit(QObject* owner, std::function<void()> commit);
    // Writes every edit's typed text into its cursor (without posting), as leaving the edit
    // would. Run before the cursors are posted and closed.
    void commitAll();

  signals:
    void languageChanged(store::Sprache language);
    void errorOccurred(const QString& message);

  private:
    struct PendingEdit {
        QObject* owner;
        std::function<void()> commit;
    };
    store::Sprache language_ = store::Sprache::Deutsch;
    std::vector<PendingEdit> edits_;
};

}  // namespace spinalyst::binding
