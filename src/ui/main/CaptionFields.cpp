#include "ui/main/CaptionFields.h"

#include "album/Captions.h"
#include "platform/Dialogs.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTextCursor>
#include <QValidator>

#include <algorithm>

namespace {

storage::Encoding encodingOf(const storage::Encoding* encoding)
{
    return encoding ? *encoding : storage::Encoding::Windows1250;
}

// Refuses an edit that brings in a character the file cannot hold, or makes the text longer
// than a value that reads back whole. Text that already holds such characters (set by the
// program) can still be edited otherwise: the field's last text is the measure, since the field
// already shows the edit while it is being validated.
class HoldableValidator : public QValidator {
public:
    HoldableValidator(QLineEdit* edit, const storage::Encoding* encoding) : QValidator(edit), encoding_(encoding)
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            allowed_ = album::unholdableCount(text, encodingOf(encoding_));
            longest_ = std::max<qsizetype>(text.size(), album::MaxCaptionLength);
        });
    }

    State validate(QString& input, int&) const override
    {
        if (input.size() <= longest_ && album::unholdableCount(input, encodingOf(encoding_)) <= allowed_)
            return Acceptable;
        platform::dialogs().beep();
        return Invalid;
    }

private:
    const storage::Encoding* encoding_;
    int allowed_ = 0;
    qsizetype longest_ = album::MaxCaptionLength;
};

}  // namespace

void refuseUnholdable(QLineEdit* edit, const storage::Encoding* encoding)
{
    edit->setValidator(new HoldableValidator(edit, encoding));
}

QString captionText(const QPlainTextEdit* memo)
{
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

CaptionMemo::CaptionMemo(QWidget* parent) : QPlainTextEdit(parent) {}

bool CaptionMemo::takes(const QString& text) const
{
    const QTextCursor cursor = textCursor();
    const qsizetype length = document()->characterCount() - 1 - (cursor.selectionEnd() - cursor.selectionStart());
    if (album::captionCanHold(text, encodingOf(encoding_)) && length + text.size() <= album::MaxCaptionLength)
        return true;
    platform::dialogs().beep();
    return false;
}

void CaptionMemo::keyPressEvent(QKeyEvent* event)
{
    // Keys that insert something: text, or a line break. Backspace, Delete and the like carry
    // control characters and insert nothing.
    const QString text = event->text();
    const bool inserts = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || (!text.isEmpty() && text.front().isPrint());
    if (inserts && !takes(text.isEmpty() || !text.front().isPrint() ? QStringLiteral("\n") : text)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CaptionMemo::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && !takes(event->commitString())) {
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
    if (!takes(source->text()))
        return;
    insertPlainText(source->text());
}
