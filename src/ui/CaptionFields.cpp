#include "ui/CaptionFields.h"

#include "album/Captions.h"
#include "platform/Dialogs.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QValidator>

namespace {

// Refuses an edit that brings in a character the file cannot hold. Text that already holds
// such characters (set by the program) can still be edited otherwise.
class HoldableValidator : public QValidator {
public:
    explicit HoldableValidator(QLineEdit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int&) const override
    {
        if (album::unholdableCount(input) <= album::unholdableCount(edit_->text()))
            return Acceptable;
        platform::dialogs().beep();
        return Invalid;
    }

private:
    QLineEdit* edit_;
};

}  // namespace

void refuseUnholdable(QLineEdit* edit)
{
    edit->setValidator(new HoldableValidator(edit));
}

CaptionMemo::CaptionMemo(QWidget* parent) : QPlainTextEdit(parent) {}

void CaptionMemo::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty() && !album::captionCanHold(event->text())) {
        platform::dialogs().beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CaptionMemo::inputMethodEvent(QInputMethodEvent* event)
{
    if (!album::captionCanHold(event->commitString())) {
        platform::dialogs().beep();
        QInputMethodEvent empty;  // drops the composition without inserting anything
        QPlainTextEdit::inputMethodEvent(&empty);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

bool CaptionMemo::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void CaptionMemo::insertFromMimeData(const QMimeData* source)
{
    if (!album::captionCanHold(source->text())) {
        platform::dialogs().beep();
        return;
    }
    insertPlainText(source->text());
}
