// The keyboard as a user meets it: Qt's own texts in Czech, the window's commands taking their
// keys from any field, Alt+letters that never type, and fields ready to be typed over.
#include "MainWindowFixture.h"

#include "app/Translation.h"

#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <qpa/qwindowsysteminterface.h>

namespace {

QStringList actionTexts(QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

}  // namespace

class KeyboardTest : public MainWindowTest {
protected:
    void showWindow()
    {
        form->show();
        QApplication::setActiveWindow(form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }

    // A key as the window system delivers it: through the shortcuts first, then to the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text = QString())
    {
        for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
                form->windowHandle(), type, key, modifiers, text);
    }

    // The text, memo and spin fields of the main window, each as the widget that takes the keys.
    std::vector<std::pair<const char*, QWidget*>> fields()
    {
        return {{"EditAName", ui().EditAName},   {"EditADate", ui().EditADate},
                {"MemoA", ui().MemoA},           {"SpinEditA", ui().SpinEditA->lineEdit()},
                {"EditFTitle", ui().EditFTitle}, {"EditFName", ui().EditFName},
                {"EditFdate", ui().EditFdate},   {"MemoF", ui().MemoF},
                {"SpinEditF", ui().SpinEditF->lineEdit()}};
    }

    static QString textOf(QWidget* field)
    {
        if (auto* line = qobject_cast<QLineEdit*>(field))
            return line->text();
        return static_cast<QPlainTextEdit*>(field)->toPlainText();
    }
};

TEST_F(KeyboardTest, QtsOwnButtonsDialogsAndContextMenusAreCzech)
{
    ASSERT_TRUE(installQtCzech(*QCoreApplication::instance())) << "Qt's Czech translation is not installed";
    const auto uninstall = qScopeGuard([] {
        for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>())
            QCoreApplication::removeTranslator(translator);
    });
    QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Ano"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::No)->text(), QStringLiteral("&Ne"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Zrušit"));

    std::unique_ptr<QMenu> menu(ui().EditFTitle->createStandardContextMenu());
    const QStringList texts = actionTexts(menu.get());
    for (const char* english : {"&Undo", "Cu&t", "&Copy", "&Paste", "Select All"})
        EXPECT_FALSE(texts.join(u'|').contains(QLatin1String(english))) << english << " in " << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.join(u'|').contains(QStringLiteral("Vybrat vše"))) << texts.join(u'|').toStdString();

    // The program's own captions stay as they are.
    EXPECT_EQ(ui().MenuOpen->text(), QStringLiteral("&Otevřít..."));
}

TEST_F(KeyboardTest, CtrlAOpensTheSettingsFromEveryField)
{
    open(makeAlbum(QStringLiteral("Klavesy"), {"a.jpg", "b.jpg"}));
    showWindow();
    for (const auto& [name, field] : fields()) {
        SCOPED_TRACE(name);
        field->setFocus();
        const int shown = dialogs.dialogsShown;
        press(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(dialogs.dialogsShown, shown + 1) << "Nastavení did not open";
        if (auto* line = qobject_cast<QLineEdit*>(field)) {
            EXPECT_FALSE(line->hasSelectedText()) << "the field selected its text instead";
        }
    }
    form->hide();
}

TEST_F(KeyboardTest, AnAltLetterNoControlTakesOnlyBeeps)
{
    // On the last photo "Další" is disabled; Alt+Q belongs to nothing at all.
    open(makeAlbum(QStringLiteral("Konec"), {"a.jpg", "b.jpg"}));
    showWindow();
    ui().BitBtnLast->click();
    ASSERT_FALSE(ui().BitBtnNext1->isEnabled());
    for (const auto& [name, field] : fields()) {
        SCOPED_TRACE(name);
        field->setFocus();
        const QString before = textOf(field);
        const int beeps = dialogs.beeps;
        press(Qt::Key_D, Qt::AltModifier, QStringLiteral("d"));
        press(Qt::Key_Q, Qt::AltModifier | Qt::ShiftModifier, QStringLiteral("Q"));
        EXPECT_EQ(textOf(field), before);
        EXPECT_EQ(dialogs.beeps, beeps + 2);
    }
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("2/2"));
    form->hide();
}

TEST_F(KeyboardTest, DalsiAndTabLeaveTheFieldReadyToBeTypedOver)
{
    open(makeAlbum(QStringLiteral("Rada"), {"a.jpg", "b.jpg", "c.jpg"}));
    showWindow();
    ui().EditFTitle->setFocus();
    press(Qt::Key_D, Qt::AltModifier, QStringLiteral("d"));
    ASSERT_EQ(ui().LabelFoto->text(), QStringLiteral("2/3"));
    ASSERT_TRUE(ui().EditFName->hasFocus());
    EXPECT_EQ(ui().EditFName->selectedText(), QStringLiteral("b"));
    press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    EXPECT_EQ(ui().EditFName->text(), QStringLiteral("x"));

    // Tab from the title into the name field selects the name too.
    ui().EditFTitle->setFocus();
    press(Qt::Key_Tab, Qt::NoModifier);
    ASSERT_TRUE(ui().EditFName->hasFocus());
    EXPECT_EQ(ui().EditFName->selectedText(), QStringLiteral("x"));
    form->hide();
}
