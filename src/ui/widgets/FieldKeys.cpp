#include "ui/widgets/FieldKeys.h"

#include "platform/Dialogs.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace {

class FieldKeyGuard : public QObject {
public:
    // The window's commands are all made with the window, before this is.
    explicit FieldKeyGuard(QWidget* window) : QObject(window)
    {
        for (QAction* action : window->findChildren<QAction*>()) {
            if (!action->shortcuts().isEmpty())
                commands_ << action;
        }
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            // Left unaccepted, the key goes on to the window's shortcuts instead of the field.
            return isWindowCommand(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()));
        }
        if (event->type() == QEvent::KeyPress) {
            // A key press with Alt reaches a field only when no shortcut took it.
            const auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers held = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
            if (held == Qt::AltModifier && !key->text().isEmpty() && key->text().front().isPrint()) {
                platform::dialogs().beep();
                return true;
            }
        }
        return false;
    }

private:
    bool isWindowCommand(const QKeySequence& keys) const
    {
        for (const QAction* action : commands_) {
            if (action->isEnabled() && action->shortcuts().contains(keys))
                return true;
        }
        return false;
    }

    QList<QAction*> commands_;  // those with a shortcut
};

}  // namespace

void guardFieldKeys(QWidget* window)
{
    auto* guard = new FieldKeyGuard(window);
    for (QWidget* field : window->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(field) || qobject_cast<QPlainTextEdit*>(field)
            || qobject_cast<QTextEdit*>(field) || qobject_cast<QAbstractSpinBox*>(field))
            field->installEventFilter(guard);
    }
}
