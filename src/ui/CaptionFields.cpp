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
// such characters (set by the program) can still be edited otherwise: the field's last text
// is the measure, since the field already shows the edit while it is being validated.
class HoldableValidator : public QValidator {
public:
    explicit HoldableValidator(QLineEdit* edit) : QValidator(edit), allowed_(album::unholdableCount(edit->text()))
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            allowed_ = album::unholdableCount(text);
        });
    }

    State validate(QString& input, int&) const override
    {
        if (album::unholdableCount(input) <= allowed_)
            return Acceptable;
        platform::dialogs().beep();
        return Invalid;
    }

private:
    int allowed_;
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
