#include "ui/widgets/SpinEdit.h"

#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <ostream>

// Readable QStrings in failure messages.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A shown, active window holding a line edit, the spin field and another line edit, so that
// the focus can really enter and leave the field.
class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        before = new QLineEdit(window.get());
        spin = new SpinEdit(window.get());
        after = new QLineEdit(window.get());
        layout->addWidget(before);
        layout->addWidget(spin);
        layout->addWidget(after);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void TearDown() override { window.reset(); }

    // The field with the focus and the given limits and text.
    void focusWith(int min, int max, const QString& text)
    {
        spin->setMinValue(min);
        spin->setMaxValue(max);
        spin->setText(text);
        spin->setFocus();
        ASSERT_TRUE(edit()->hasFocus());
    }

    QLineEdit* edit() const { return spin->lineEdit(); }

    ScriptedDialogs dialogs;
    std::unique_ptr<QWidget> window;
    QLineEdit* before = nullptr;
    SpinEdit* spin = nullptr;
    QLineEdit* after = nullptr;
};

// --- The value -------------------------------------------------------------------------------

TEST_F(SpinEditTest, ValueReadsTheTextAsADecimalIntegerOrTheMinimum)
{
    spin->setMinValue(5);
    spin->setMaxValue(10);
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"7", 7},           {"  8", 8},         {"+9", 9},           {"  -3", -3},
        {"250", 250},       {"-2147483648", INT_MIN}, {"2147483647", INT_MAX},
        {"", 5},            {"abc", 5},         {"4,5", 5},          {"12 ", 5},
        {"1-", 5},          {"+", 5},           {"- 4", 5},          {"2147483648", 5},
        {"\t4", 5},
    };
    for (const auto& c : cases) {
        spin->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(spin->value(), c.value) << "text '" << c.text << "'";
        EXPECT_EQ(spin->text(), QString::fromLatin1(c.text)) << "reading changed the text";
    }
    spin->setMinValue(-1);
    spin->setText(QStringLiteral("x"));
    EXPECT_EQ(spin->value(), -1);
}

TEST_F(SpinEditTest, SetValueBringsTheNumberIntoTheLimits)
{
    spin->setMinValue(1);
    spin->setMaxValue(60);
    spin->setValue(0);
    EXPECT_EQ(spin->text(), "1");
    spin->setValue(INT_MIN);
    EXPECT_EQ(spin->text(), "1");
    spin->setValue(61);
    EXPECT_EQ(spin->text(), "60");
    spin->setValue(30);
    EXPECT_EQ(spin->text(), "30");
    spin->setValue(-5);
    EXPECT_EQ(spin->text(), "1");
    EXPECT_EQ(spin->value(), 1);
}

TEST_F(SpinEditTest, ChangingTheLimitsLeavesTheNumberShown)
{
    spin->setMinValue(1);
    spin->setMaxValue(60);
    spin->setValue(50);
    QSignalSpy changed(spin, &SpinEdit::changed);
    spin->setMaxValue(10);
    EXPECT_EQ(spin->text(), "50");
    EXPECT_EQ(spin->value(), 50);
    spin->setMinValue(70);
    spin->setMaxValue(80);
    EXPECT_EQ(spin->text(), "50");
    EXPECT_EQ(changed.count(), 0);
    // The new limits apply to the next number set.
    spin->setValue(50);
    EXPECT_EQ(spin->text(), "70");
}

TEST_F(SpinEditTest, NoLimitAppliesWhileMinimumEqualsMaximum)
{
    EXPECT_EQ(spin->text(), "0");  // a new field: limits 0..0, showing 0
    spin->setValue(12345);
    EXPECT_EQ(spin->text(), "12345");
    spin->setValue(-7);
    EXPECT_EQ(spin->text(), "-7");

    focusWith(5, 5, QStringLiteral("5"));
    spin->setValue(100);
    EXPECT_EQ(spin->text(), "100");
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(spin->text(), "101");
    spin->setValue(5);
    QTest::keyClick(edit(), Qt::Key_Down);
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "3");
    // Nor when the field loses the focus.
    spin->setText(QStringLiteral("900"));
    after->setFocus();
    EXPECT_EQ(spin->text(), "900");
}

TEST_F(SpinEditTest, PropertiesAreSetByNameAsADesignerFormSetsThem)
{
    EXPECT_TRUE(spin->setProperty("minValue", 1));
    EXPECT_TRUE(spin->setProperty("maxValue", 60));
    EXPECT_TRUE(spin->setProperty("maxLength", 2));
    EXPECT_TRUE(spin->setProperty("value", 75));
    EXPECT_EQ(spin->minValue(), 1);
    EXPECT_EQ(spin->maxValue(), 60);
    EXPECT_EQ(spin->maxLength(), 2);
    EXPECT_EQ(spin->text(), "60");
    EXPECT_EQ(spin->property("value").toInt(), 60);
}

// --- changed() -------------------------------------------------------------------------------

TEST_F(SpinEditTest, ChangedIsEmittedOnlyWhenTheTextReallyChanges)
{
    focusWith(0, 10, QStringLiteral("0"));
    QSignalSpy changed(spin, &SpinEdit::changed);
    spin->setValue(5);
    EXPECT_EQ(changed.count(), 1);
    spin->setValue(5);
    spin->setText(QStringLiteral("5"));
    EXPECT_EQ(changed.count(), 1);
    spin->setValue(50);  // brought to 10: a change
    EXPECT_EQ(changed.count(), 2);
    QTest::keyClick(edit(), Qt::Key_Up);  // at the maximum: no change
    EXPECT_EQ(changed.count(), 2);
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(changed.count(), 3);
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClick(edit(), Qt::Key_7);
    EXPECT_EQ(spin->text(), "97");
    EXPECT_EQ(changed.count(), 4);
    QTest::keyClick(edit(), Qt::Key_A);  // refused: no change
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(changed.count(), 4);
}

// --- Focus loss ------------------------------------------------------------------------------

TEST_F(SpinEditTest, LosingTheFocusCorrectsAnOutOfRangeNumber)
{
    focusWith(0, 100, QStringLiteral("0"));
    edit()->selectAll();
    QTest::keyClicks(edit(), "250");
    EXPECT_EQ(spin->text(), "250");  // typing alone does not correct
    after->setFocus();
    EXPECT_EQ(spin->text(), "100");

    focusWith(0, 100, QStringLiteral("  -4"));
    QTest::keyClick(edit(), Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(spin->text(), "0");
}

TEST_F(SpinEditTest, LosingTheFocusLeavesNumbersInRangeAndOtherTextAsTyped)
{
    for (const char* text : {" +5", "-0", "100", "", "abc", "4,5", "12 ", "99999999999"}) {
        focusWith(0, 100, QString::fromLatin1(text));
        after->setFocus();
        EXPECT_EQ(spin->text(), QString::fromLatin1(text));
    }
}

TEST_F(SpinEditTest, AMenuOrAnotherWindowTakingTheFocusDoesNotCorrect)
{
    focusWith(1, 9, QStringLiteral("25"));
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(edit(), &out);
        EXPECT_EQ(spin->text(), "25") << "reason " << reason;
    }
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(edit(), &out);
    EXPECT_EQ(spin->text(), "9");
}

// --- Keyboard --------------------------------------------------------------------------------

TEST_F(SpinEditTest, DigitsSignsAndTheDecimalSeparatorAreTyped)
{
    focusWith(0, 100, QString());
    QTest::keyClicks(edit(), "0123456789+-");
    QTest::keyClick(edit(), Qt::Key_Comma);  // the Czech decimal separator
    QTest::keyClick(edit(), Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(spin->text(), "0123456789+-,5");
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(SpinEditTest, ControlKeysAndShortcutsWorkWithoutABeep)
{
    focusWith(0, 1000, QStringLiteral("123"));
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClick(edit(), Qt::Key_Backspace);
    EXPECT_EQ(spin->text(), "12");
    QTest::keyClick(edit(), Qt::Key_Home);
    QTest::keyClick(edit(), Qt::Key_Delete);
    EXPECT_EQ(spin->text(), "2");
    QTest::keyClick(edit(), Qt::Key_Left);
    QTest::keyClick(edit(), Qt::Key_9);
    EXPECT_EQ(spin->text(), "92");
    QTest::keyClick(edit(), Qt::Key_Z, Qt::ControlModifier);  // undo
    EXPECT_EQ(spin->text(), "2");
    QTest::keyClick(edit(), Qt::Key_A, Qt::ControlModifier);  // select all
    QTest::keyClick(edit(), Qt::Key_4);
    EXPECT_EQ(spin->text(), "4");
    QTest::keyClick(edit(), Qt::Key_Escape);
    QTest::keyClick(edit(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(edit(), Qt::Key_Shift);
    EXPECT_EQ(dialogs.beeps, 0);
    QTest::keyClick(edit(), Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(SpinEditTest, OtherCharactersAreRefusedWithABeep)
{
    focusWith(0, 100, QStringLiteral("1"));
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClick(edit(), Qt::Key_A);
    QTest::keyClick(edit(), Qt::Key_Period);  // not the decimal separator here
    QTest::keyClick(edit(), Qt::Key_Space);
    QTest::keyClick(edit(), Qt::Key_E, Qt::ShiftModifier);
    QTest::keyClick(edit(), Qt::Key_A, Qt::AltModifier);  // Alt alone types the letter
    QTest::keyClick(edit(), Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);  // so does AltGr
    EXPECT_EQ(dialogs.beeps, 6);
    typeText(edit(), QStringLiteral("ěš½"));
    EXPECT_EQ(dialogs.beeps, 9);
    typeText(edit(), QStringLiteral("\r\n"));  // line breaks from keys other than Enter
    EXPECT_EQ(dialogs.beeps, 11);
    EXPECT_EQ(spin->text(), "1");
}

TEST_F(SpinEditTest, TextComposedByAnInputMethodFollowsTheSameRules)
{
    focusWith(0, 100, QStringLiteral("1"));
    QTest::keyClick(edit(), Qt::Key_End);
    const QRect cursor = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QInputMethodEvent composing(QStringLiteral("´´"), {});
    QApplication::sendEvent(edit(), &composing);
    ASSERT_NE(edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect(), cursor);  // shown after "´´"
    QInputMethodEvent refused;
    refused.setCommitString(QStringLiteral("é"));
    QApplication::sendEvent(edit(), &refused);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(spin->text(), "1");
    // The composition is gone too, not left on show.
    EXPECT_EQ(edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect(), cursor);

    QInputMethodEvent accepted;
    accepted.setCommitString(QStringLiteral("2,5"));
    QApplication::sendEvent(edit(), &accepted);
    EXPECT_EQ(spin->text(), "12,5");
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(SpinEditTest, EnterAsksForTheJumpThenIsRefusedWithABeep)
{
    focusWith(1, 20, QStringLiteral("7"));
    QSignalSpy changed(spin, &SpinEdit::changed);
    int beepsWhenAsked = -1;
    int asked = 0;
    QObject::connect(spin, &SpinEdit::enterPressed, spin, [&] {
        ++asked;
        beepsWhenAsked = dialogs.beeps;
    });

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } enters[] = {
        {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Enter, Qt::KeypadModifier},
        {Qt::Key_Return, Qt::ShiftModifier},
        {Qt::Key_Return, Qt::ControlModifier},
        {Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier},
    };
    int n = 0;
    for (const auto& enter : enters) {
        QTest::keyClick(edit(), enter.key, enter.modifiers);
        ++n;
        EXPECT_EQ(asked, n);
        EXPECT_EQ(beepsWhenAsked, n - 1) << "the beep must follow the jump";
        EXPECT_EQ(dialogs.beeps, n);
    }
    EXPECT_EQ(spin->text(), "7");
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(edit()->hasFocus());

    // Only Enter asks: other refused keys just beep.
    QTest::keyClick(edit(), Qt::Key_X);
    EXPECT_EQ(asked, n);
}

TEST_F(SpinEditTest, EnterThatConfirmsTheWindowIsTakenWithoutABeep)
{
    focusWith(1, 60, QStringLiteral("9"));
    EXPECT_TRUE(spin->enterBeeps());
    spin->setEnterBeeps(false);
    QSignalSpy asked(spin, &SpinEdit::enterPressed);
    QTest::keyClick(edit(), Qt::Key_Return);
    QTest::keyClick(edit(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(asked.count(), 2);
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(spin->text(), "9") << "Enter still types nothing";
    // Other refused keys still beep, and the option can be turned back on.
    QTest::keyClick(edit(), Qt::Key_X);
    EXPECT_EQ(dialogs.beeps, 1);
    spin->setEnterBeeps(true);
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(asked.count(), 3);
    EXPECT_EQ(dialogs.beeps, 2);
}

TEST_F(SpinEditTest, EnterDoesNotCorrectTheNumber)
{
    focusWith(1, 20, QStringLiteral("35"));
    int valueWhenAsked = 0;
    QObject::connect(spin, &SpinEdit::enterPressed, spin, [&] { valueWhenAsked = spin->value(); });
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(valueWhenAsked, 35);
    EXPECT_EQ(spin->text(), "35");
}

TEST_F(SpinEditTest, PastedTextIsTakenUnfiltered)
{
    focusWith(0, 100, QStringLiteral("1"));
    QSignalSpy changed(spin, &SpinEdit::changed);
    QApplication::clipboard()->setText(QStringLiteral("x.2 ě"));
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(spin->text(), "1x.2 ě");
    QTest::keyClick(edit(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(spin->text(), "1x.2 ěx.2 ě");
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(spin->value(), 0);
}

// --- Stepping --------------------------------------------------------------------------------

TEST_F(SpinEditTest, UpAndDownKeysStepByOneAndStopAtTheLimits)
{
    focusWith(1, 3, QStringLiteral("2"));
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(spin->text(), "3");
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(spin->text(), "3");
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(spin->text(), "1");
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(SpinEditTest, SteppingStartsFromTheValueAndBringsItIntoTheLimits)
{
    focusWith(1, 10, QStringLiteral("abc"));  // value: the minimum
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(spin->text(), "2");
    spin->setText(QStringLiteral(" +4"));
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(spin->text(), "3");
    spin->setText(QStringLiteral("250"));
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(spin->text(), "10");
    spin->setText(QStringLiteral("-50"));
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(spin->text(), "1");

    // No overflow at the ends of int while there is no limit.
    focusWith(0, 0, QStringLiteral("2147483647"));
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(spin->text(), "2147483647");
    spin->setText(QStringLiteral("-2147483648"));
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(spin->text(), "-2147483648");
}

TEST_F(SpinEditTest, SpinButtonsStepOncePerClickStopAtTheLimitsAndLeaveTheFocus)
{
    focusWith(0, 2, QStringLiteral("1"));
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "2");
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "2");
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "0");
    EXPECT_TRUE(edit()->hasFocus());

    // A click does not take the focus, so it does not correct the typed number either: it steps it.
    spin->setText(QStringLiteral("7"));
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "2");
    EXPECT_EQ(spin->upButton()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(spin->downButton()->focusPolicy(), Qt::NoFocus);
}

// A clock the test ticks itself: what the field asked of it, and whether it is running.
class RecordingClock : public RepeatClock {
public:
    void start(int ms) override { starts.push_back(ms); running = true; }
    void stop() override { running = false; }
    void fire()
    {
        ASSERT_TRUE(running) << "ticked while the field had not started the clock";
        running = false;
        tick();
    }
    std::vector<int> starts;
    bool running = false;
};

TEST_F(SpinEditTest, AHeldSpinButtonRepeatsAfter400MsThenEvery100MsAndStopsAtTheLimit)
{
    struct Case {
        QToolButton* button;
        const char* start;
        std::vector<const char*> steps;  // the text at the press, then after each tick
    };
    const Case cases[] = {
        {spin->upButton(), "0", {"1", "2", "3"}},
        {spin->downButton(), "1", {"0", "0", "0"}},  // held past the minimum: no wrap-around
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        auto owned = std::make_unique<RecordingClock>();
        RecordingClock* clock = owned.get();
        spin->setRepeatClock(std::move(owned));
        focusWith(0, 10, QString::fromLatin1(c.start));
        QTest::mousePress(c.button, Qt::LeftButton);
        EXPECT_EQ(spin->text(), c.steps[0]) << "at once";
        for (std::size_t i = 1; i < c.steps.size(); ++i) {
            clock->fire();
            EXPECT_EQ(spin->text(), c.steps[i]);
        }
        EXPECT_EQ(clock->starts, (std::vector<int>{400, 100, 100}));
        QTest::mouseRelease(c.button, Qt::LeftButton);
        EXPECT_FALSE(clock->running) << "the release ends the repeat";
        EXPECT_EQ(spin->text(), c.steps.back()) << "the release adds no step";
    }
}

// --- Maximum length --------------------------------------------------------------------------

TEST_F(SpinEditTest, MaxLengthLimitsTypingAndPasting)
{
    spin->setMaxLength(3);
    EXPECT_EQ(spin->maxLength(), 3);
    focusWith(0, 1000, QString());
    QTest::keyClicks(edit(), "12345");
    EXPECT_EQ(spin->text(), "123");
    edit()->clear();
    QApplication::clipboard()->setText(QStringLiteral("98765"));
    QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(spin->text(), "987");
    // Replacing a selection is within the limit.
    edit()->setSelection(1, 1);
    QTest::keyClick(edit(), Qt::Key_0);
    EXPECT_EQ(spin->text(), "907");
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(SpinEditTest, MaxLengthNeverCutsTheTextTheProgramSets)
{
    focusWith(1, 20, QStringLiteral("15"));
    QSignalSpy changed(spin, &SpinEdit::changed);
    spin->setMaxLength(1);
    EXPECT_EQ(spin->text(), "15");
    EXPECT_EQ(changed.count(), 0);
    spin->setMinValue(0);
    spin->setMaxValue(0);
    spin->setValue(12345);
    EXPECT_EQ(spin->text(), "12345");
    spin->setText(QStringLiteral("abcdef"));
    EXPECT_EQ(spin->text(), "abcdef");
    spin->setText(QStringLiteral("7"));
    EXPECT_EQ(spin->text(), "7");
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(SpinEditTest, ATooLongTextCanBeShortenedButNotLengthened)
{
    spin->setMaxLength(2);
    focusWith(0, 0, QStringLiteral("12345"));
    QTest::keyClick(edit(), Qt::Key_Home);
    QTest::keyClick(edit(), Qt::Key_Delete);
    EXPECT_EQ(spin->text(), "2345");
    EXPECT_EQ(edit()->cursorPosition(), 0);
    QTest::keyClick(edit(), Qt::Key_9);  // would lengthen it again
    EXPECT_EQ(spin->text(), "2345");
    QTest::keyClick(edit(), Qt::Key_Right);
    QTest::keyClick(edit(), Qt::Key_Delete);
    EXPECT_EQ(spin->text(), "245");
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClick(edit(), Qt::Key_Backspace);
    QTest::keyClick(edit(), Qt::Key_Backspace);
    EXPECT_EQ(spin->text(), "2");
    QTest::keyClicks(edit(), "678");
    EXPECT_EQ(spin->text(), "26");
}

// --- Widget ----------------------------------------------------------------------------------

TEST_F(SpinEditTest, TheLineEditTakesTheFocusOnceInTheTabChain)
{
    EXPECT_EQ(spin->focusProxy(), edit());
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_TRUE(edit()->hasFocus());
    QTest::keyClick(edit(), Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(edit()->hasFocus());
    spin->clearFocus();
    spin->setFocus();
    EXPECT_TRUE(edit()->hasFocus());
}

TEST_F(SpinEditTest, TheButtonsStandInAColumnOnTheRight)
{
    auto field = std::make_unique<SpinEdit>();
    field->setGeometry(0, 0, 57, 22);
    field->show();
    EXPECT_EQ(field->lineEdit()->geometry(), QRect(0, 0, 42, 22));
    EXPECT_EQ(field->upButton()->geometry(), QRect(42, 0, 15, 11));
    EXPECT_EQ(field->downButton()->geometry(), QRect(42, 11, 15, 11));
    field->resize(49, 23);
    EXPECT_EQ(field->lineEdit()->geometry(), QRect(0, 0, 34, 23));
    EXPECT_EQ(field->upButton()->geometry(), QRect(34, 0, 15, 11));
    EXPECT_EQ(field->downButton()->geometry(), QRect(34, 11, 15, 12));
}

}  // namespace
