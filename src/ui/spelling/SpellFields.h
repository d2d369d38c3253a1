#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <utility>

class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPoint;
class QWidget;
class SpellChecker;

// Spelling in the caption fields: misspelled words underlined in red as the user types, and in
// the field's context menu up to 8 corrections, "Přidat do slovníku" and "Ignorovat" above the
// field's own items. Switched off, nothing is underlined or offered.
class SpellFields : public QObject {
public:
    SpellFields(SpellChecker& checker, const QList<QLineEdit*>& lines, const QList<QPlainTextEdit*>& memos,
                QObject* parent);

    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }

    // The context menu the field shows when right-clicked at `at` (the caller owns it).
    QMenu* contextMenu(QWidget* field, const QPoint& at);
    // The words underlined in a single-line field now.
    QList<std::pair<int, int>> underlined(const QLineEdit* field) const;

private:
    void recheck(QLineEdit* field);
    void recheckAll();

    SpellChecker& checker_;
    QList<QLineEdit*> lines_;
    QList<QPlainTextEdit*> memos_;
    QList<class MemoSpelling*> highlighters_;
    QHash<const QLineEdit*, QList<std::pair<int, int>>> underlined_;  // per single-line field
    bool enabled_ = false;
};
