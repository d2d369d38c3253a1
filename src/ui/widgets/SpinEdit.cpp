#include "ui/widgets/SpinEdit.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {

constexpr int buttonWidth = 15;
constexpr int firstRepeatMs = 400;  // a held spin button repeats after this ...
constexpr int repeatMs = 100;       // ... then at this pace

class TimerRepeatClock : public RepeatClock {
public:
    TimerRepeatClock()
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] { if (tick) tick(); });
    }
    void start(int ms) override { timer_.start(ms); }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

// Text the field lets the user type: digits, signs, the decimal separator and control
// characters other than a line break.
bool typable(const QString& text)
{
    const QString decimalPoint = QLocale().decimalPoint();
    return std::all_of(text.begin(), text.end(), [&](QChar c) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n')
            return false;
        return (u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u < 0x20 || u == 0x7f
            || decimalPoint.contains(c);
    });
}

// Ctrl without Alt: the line edit types nothing then (Ctrl+Alt is AltGr on some keyboards).
bool isShortcut(const QKeyEvent* key)
{
    return (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
}

}  // namespace

SpinEdit::SpinEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    edit_->setText(QStringLiteral("0"));
    edit_->installEventFilter(this);
    setFocusPolicy(edit_->focusPolicy());
    setFocusProxy(edit_);

    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        // The repeat of a held button is the field's own, on a clock a test can drive.
        connect(button, &QToolButton::released, this, [this] {
            heldDelta_ = 0;
            repeatClock_->stop();
        });
    }
    connect(up_, &QToolButton::pressed, this, [this] { buttonPressed(1); });
    connect(down_, &QToolButton::pressed, this, [this] { buttonPressed(-1); });
    setRepeatClock(std::make_unique<TimerRepeatClock>());
    connect(edit_, &QLineEdit::textChanged, this, &SpinEdit::onTextChanged);
}

int SpinEdit::value() const
{
    int value = 0;
    return platform::tryStrToInt(edit_->text(), value) ? value : min_;
}

void SpinEdit::setValue(int value)
{
    setText(QString::number(clamped(value)));
}

void SpinEdit::setMaxLength(int length)
{
    maxLength_ = length;
    edit_->setMaxLength(std::max(length, int(edit_->text().size())));
}

QString SpinEdit::text() const
{
    return edit_->text();
}

// QLineEdit cuts any text to its own limit, so that limit is kept at
// max(maxLength(), length of the text shown): the program's text stays whole, and the user
// can only shorten a text that is already longer than maxLength().
void SpinEdit::setText(const QString& text)
{
    if (text.size() > edit_->maxLength())
        edit_->setMaxLength(int(text.size()));
    edit_->setText(text);
}

void SpinEdit::onTextChanged()
{
    const int limit = std::max(maxLength_, int(edit_->text().size()));
    if (edit_->maxLength() != limit) {
        // Setting the limit puts the cursor at the end; keep it where the edit left it.
        const int cursor = edit_->cursorPosition();
        edit_->setMaxLength(limit);
        edit_->setCursorPosition(cursor);
    }
    emit changed();
}

// Tested in this order, so limits set the wrong way round still give one of them.
int SpinEdit::clamped(int value) const
{
    if (min_ == max_)
        return value;
    if (value < min_)
        return min_;
    if (value > max_)
        return max_;
    return value;
}

void SpinEdit::setRepeatClock(std::unique_ptr<RepeatClock> clock)
{
    repeatClock_ = std::move(clock);
    repeatClock_->tick = [this] { repeat(); };
}

// A spin button steps at once when pressed, again after 400 ms and then every 100 ms while it is
// held (a button the mouse slides off counts as released, and as pressed again when it comes back).
void SpinEdit::buttonPressed(int delta)
{
    heldDelta_ = delta;
    step(delta);
    repeatClock_->start(firstRepeatMs);
}

void SpinEdit::repeat()
{
    if (heldDelta_ == 0)
        return;
    step(heldDelta_);
    repeatClock_->start(repeatMs);
}

void SpinEdit::step(int delta)
{
    const qint64 next = qint64(value()) + delta;
    setValue(int(std::clamp<qint64>(next, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
}

QSize SpinEdit::sizeHint() const
{
    return edit_->sizeHint() + QSize(buttonWidth, 0);
}

QSize SpinEdit::minimumSizeHint() const
{
    return edit_->minimumSizeHint() + QSize(buttonWidth, 0);
}

void SpinEdit::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int editWidth = std::max(0, width() - buttonWidth);
    const int upHeight = height() / 2;
    edit_->setGeometry(0, 0, editWidth, height());
    up_->setGeometry(editWidth, 0, buttonWidth, upHeight);
    down_->setGeometry(editWidth, upHeight, buttonWidth, height() - upHeight);
}

bool SpinEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != edit_)
        return QWidget::eventFilter(watched, event);

    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit enterPressed();
            if (enterBeeps_)
                platform::dialogs().beep();
            return true;
        case Qt::Key_Up:
            step(1);
            return true;
        case Qt::Key_Down:
            step(-1);
            return true;
        default:
            if (isShortcut(key) || typable(key->text()))
                return false;
            platform::dialogs().beep();
            return true;
        }
    }

    // Text composed by an input method (dead keys, compose sequences) is typed text too.
    if (event->type() == QEvent::InputMethod
        && !typable(static_cast<QInputMethodEvent*>(event)->commitString())) {
        platform::dialogs().beep();
        QInputMethodEvent withdrawn;  // ends the composition, types nothing
        QCoreApplication::sendEvent(edit_, &withdrawn);
        return true;
    }

    if (event->type() == QEvent::FocusOut) {
        // Only leaving the field counts: a context menu or another window taking the focus
        // leaves the field focused within its own window. A text that is not a number (its value
        // is the minimum, which is within the limits) is left as typed, and so is a number within
        // the limits, blanks and sign included.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        int typed = 0;
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
            && platform::tryStrToInt(edit_->text(), typed) && clamped(typed) != typed)
            setValue(typed);
    }
    return false;
}
