#include "ui/spelling/SpellFields.h"

#include "spelling/SpellChecker.h"

#include <QAction>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextBlock>

namespace {

QTextCharFormat misspelledFormat()
{
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    format.setUnderlineColor(Qt::red);
    return format;
}

// The word of `text` around `position`, as a range; none when there is no misspelled word there.
std::optional<std::pair<int, int>> rangeAt(const QList<std::pair<int, int>>& words, int position)
{
    for (const auto& word : words) {
        if (position >= word.first && position <= word.first + word.second)
            return word;
    }
    return std::nullopt;
}

}  // namespace

class MemoSpelling : public QSyntaxHighlighter {
public:
    MemoSpelling(QTextDocument* document, const SpellChecker& checker, const bool& enabled)
        : QSyntaxHighlighter(document), checker_(checker), enabled_(enabled)
    {
    }

protected:
    void highlightBlock(const QString& text) override
    {
        if (!enabled_)
            return;
        for (const auto& [start, length] : checker_.misspelled(text))
            setFormat(start, length, misspelledFormat());
    }

private:
    const SpellChecker& checker_;
    const bool& enabled_;
};

SpellFields::SpellFields(SpellChecker& checker, const QList<QLineEdit*>& lines, const QList<QPlainTextEdit*>& memos,
                         QObject* parent)
    : QObject(parent), checker_(checker), lines_(lines), memos_(memos)
{
    for (QLineEdit* line : lines_) {
        connect(line, &QLineEdit::textChanged, this, [this, line] { recheck(line); });
        line->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(line, &QWidget::customContextMenuRequested, this, [this, line](const QPoint& at) {
            QMenu* menu = contextMenu(line, at);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(line->mapToGlobal(at));
        });
    }
    for (QPlainTextEdit* memo : memos_) {
        highlighters_ << new MemoSpelling(memo->document(), checker_, enabled_);
        memo->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(memo, &QWidget::customContextMenuRequested, this, [this, memo](const QPoint& at) {
            QMenu* menu = contextMenu(memo, at);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(memo->viewport()->mapToGlobal(at));
        });
    }
}

void SpellFields::setEnabled(bool enabled)
{
    enabled_ = enabled && checker_.available();
    recheckAll();
}

void SpellFields::recheckAll()
{
    for (QLineEdit* line : lines_)
        recheck(line);
    for (MemoSpelling* highlighter : highlighters_)
        highlighter->rehighlight();
}

QList<std::pair<int, int>> SpellFields::underlined(const QLineEdit* field) const
{
    return underlined_.value(field);
}

// A single-line field has no formats of its own; the underlines go in as the formats of an
// input method's (empty) pre-edit text, which the field draws over its text.
void SpellFields::recheck(QLineEdit* field)
{
    const QList<std::pair<int, int>> words = enabled_ ? checker_.misspelled(field->text()) : QList<std::pair<int, int>>();
    underlined_.insert(field, words);
    QList<QInputMethodEvent::Attribute> formats;
    for (const auto& [start, length] : words)
        formats << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, start - field->cursorPosition(), length,
                                                misspelledFormat());
    QInputMethodEvent event(QString(), formats);
    QCoreApplication::sendEvent(field, &event);
}

QMenu* SpellFields::contextMenu(QWidget* field, const QPoint& at)
{
    auto* line = qobject_cast<QLineEdit*>(field);
    auto* memo = qobject_cast<QPlainTextEdit*>(field);
    QMenu* menu = line ? line->createStandardContextMenu() : memo->createStandardContextMenu(at);
    if (!enabled_)
        return menu;
    // The misspelled word under the mouse, if any, and how to replace it as typed.
    std::optional<std::pair<int, int>> word;
    QString text;
    if (line) {
        text = line->text();
        word = rangeAt(checker_.misspelled(text), line->cursorPositionAt(at));
    } else {
        const QTextCursor cursor = memo->cursorForPosition(at);
        const QTextBlock block = cursor.block();
        text = block.text();
        word = rangeAt(checker_.misspelled(text), cursor.positionInBlock());
        if (word)
            word->first += block.position();
        text = memo->toPlainText();
    }
    if (!word)
        return menu;
    const QString misspelled = text.mid(word->first, word->second);
    QAction* first = menu->actions().value(0);
    const auto add = [&](QAction* action) { menu->insertAction(first, action); };
    const QStringList corrections = checker_.suggestions(misspelled);
    for (const QString& correction : corrections) {
        auto* action = new QAction(correction, menu);
        QFont bold = action->font();
        bold.setBold(true);
        action->setFont(bold);
        connect(action, &QAction::triggered, field, [line, memo, range = *word, correction] {
            if (line) {
                line->setSelection(range.first, range.second);
                line->insert(correction);
            } else {
                QTextCursor cursor(memo->document());
                cursor.setPosition(range.first);
                cursor.setPosition(range.first + range.second, QTextCursor::KeepAnchor);
                cursor.insertText(correction);
            }
        });
        add(action);
    }
    if (corrections.isEmpty()) {
        auto* none = new QAction(QStringLiteral("(žádné návrhy)"), menu);
        none->setEnabled(false);
        add(none);
    }
    menu->insertSeparator(first);
    auto* addWord = new QAction(QStringLiteral("Přidat do slovníku"), menu);
    connect(addWord, &QAction::triggered, this, [this, misspelled] {
        checker_.addToPersonal(misspelled);
        recheckAll();
    });
    add(addWord);
    auto* ignore = new QAction(QStringLiteral("Ignorovat"), menu);
    connect(ignore, &QAction::triggered, this, [this, misspelled] {
        checker_.ignore(misspelled);
        recheckAll();
    });
    add(ignore);
    menu->insertSeparator(first);
    return menu;
}
