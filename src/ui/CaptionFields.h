#pragma once

#include <QPlainTextEdit>

class QLineEdit;

// The caption fields take only what the caption file can hold (Windows-1250): typing or
// pasting anything else is refused with the platform's beep, so what the user sees is what the
// file gets. Text the program itself sets is not filtered.

// Makes a single-line field refuse characters the caption file cannot hold.
void refuseUnholdable(QLineEdit* edit);

// A multi-line caption field (album and photo descriptions).
class CaptionMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CaptionMemo(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
