#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QLineEdit;
class QToolButton;

// The clock a held spin button repeats on: a QTimer in the program; a test puts in one it ticks
// itself, so that no test waits on real time.
class RepeatClock {
public:
    virtual ~RepeatClock() = default;
    // Calls `tick` once, after `ms` milliseconds (the field starts it again for the next step).
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    std::function<void()> tick;
};

// An integer field with limits and two spin buttons.
// - value(): the text read as a decimal integer (leading blanks and a sign allowed), or the
//   minimum when the text is not an integer; reading does not bring it into the limits.
// - setValue() first brings the number into [minimum, maximum]; no limit applies while
//   minimum equals maximum. Changing the limits does not correct the number shown.
// - When the field loses the focus, an out-of-range number is corrected into the limits.
// - Typing accepts digits, "+", "-", the decimal separator and control keys other than Enter;
//   any other character, Enter included, is refused with the platform's beep (a field whose Enter
//   confirms its window takes it without the beep, see setEnterBeeps). Paste is unfiltered.
// - Up and down keys and the spin buttons step by 1 and stop at the limits (no wrap-around);
//   a spin button held down repeats after 400 ms, then every 100 ms.
// - maxLength() limits what the user types or pastes; text the program sets is never cut.
class SpinEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(int value READ value WRITE setValue)
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)

public:
    explicit SpinEdit(QWidget* parent = nullptr);

    int value() const;
    void setValue(int value);
    int minValue() const { return min_; }
    void setMinValue(int min) { min_ = min; }
    int maxValue() const { return max_; }
    void setMaxValue(int max) { max_ = max; }
    int maxLength() const { return maxLength_; }
    void setMaxLength(int length);
    // Whether Enter is refused with the beep after enterPressed() (the default). A field whose
    // Enter confirms its window turns the beep off, as a window's default button takes Enter
    // without a sound.
    bool enterBeeps() const { return enterBeeps_; }
    void setEnterBeeps(bool beeps) { enterBeeps_ = beeps; }

    QString text() const;
    void setText(const QString& text);

    QLineEdit* lineEdit() const { return edit_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

    // The clock the spin buttons repeat on (the field takes it over).
    void setRepeatClock(std::unique_ptr<RepeatClock> clock);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The text changed, whoever changed it.
    void changed();
    // Enter (with or without Shift or Ctrl) was pressed in the field; the field then refuses
    // the Enter character itself, with the beep unless enterBeeps() is off.
    void enterPressed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int delta);
    void buttonPressed(int delta);
    void repeat();
    int clamped(int value) const;
    void onTextChanged();

    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0;
    int max_ = 0;
    int maxLength_ = 32767;  // QLineEdit's own default
    bool enterBeeps_ = true;
    std::unique_ptr<RepeatClock> repeatClock_;
    int heldDelta_ = 0;  // the step of the spin button held down, 0 while none is
};
