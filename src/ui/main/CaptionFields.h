#pragma once

#include "storage/ProfileFile.h"

#include <QPlainTextEdit>

class QLineEdit;

// The caption fields take only what the album's caption file can hold (Windows-1250, or
// anything where the album's "info.txt" is UTF-8), and no more than album::MaxCaptionLength
// characters, the most a value reads back whole: typing or pasting anything else is refused
// with the platform's beep, so what the user sees is what the file gets. Text the program
// itself sets is not filtered. `encoding` is the album's, which each Open sets.

// Makes a single-line field refuse what the caption file cannot hold.
void refuseUnholdable(QLineEdit* edit, const storage::Encoding* encoding);

// The text of a multi-line field exactly as typed, for the file: no-break spaces stay (the
// field's plain text would turn them into blanks); paragraph and line separators become "\n".
QString captionText(const QPlainTextEdit* memo);

// A multi-line caption field (album and photo descriptions).
class CaptionMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CaptionMemo(QWidget* parent = nullptr);
    void setEncoding(const storage::Encoding* encoding) { encoding_ = encoding; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Whether inserting `text` in place of the selection keeps the field within what the file
    // holds; beeps when not.
    bool takes(const QString& text) const;

    const storage::Encoding* encoding_ = nullptr;
};
