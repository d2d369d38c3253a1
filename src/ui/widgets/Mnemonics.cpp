#include "ui/widgets/Mnemonics.h"

#include <QAbstractButton>
#include <QEvent>
#include <QShortcutEvent>
#include <QWidget>

namespace {

class ImmediateMnemonic : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        auto* button = static_cast<QAbstractButton*>(watched);
        // An ambiguous mnemonic (two controls with the same letter) only moves the focus: Qt's way.
        if (static_cast<QShortcutEvent*>(event)->isAmbiguous() || !button->isEnabled())
            return false;
        if (button->focusPolicy() != Qt::NoFocus)
            button->setFocus(Qt::ShortcutFocusReason);
        button->window()->setAttribute(Qt::WA_KeyboardFocusChange);
        button->click();
        return true;
    }
};

}  // namespace

void makeMnemonicsImmediate(QWidget* window)
{
    auto* filter = new ImmediateMnemonic(window);
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        button->installEventFilter(filter);
}
