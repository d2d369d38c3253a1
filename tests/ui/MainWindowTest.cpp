// The main window at start-up: its controls, menus, toolbar and the empty state.
#include "MainWindowFixture.h"
#include "ui/windows/TForm2.h"
#include "ui/main/ToolbarEditor.h"
#include "ui_TForm2.h"

#include <QListWidget>

#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

QList<QWidget*> navigation(Ui::TForm1& u)
{
    return {u.BitBtnFirst, u.BitBtnPrevious, u.BitBtnNext, u.BitBtnLast, u.SpinEditJump, u.BitBtnJump, u.BitBtnNext1};
}

}  // namespace

TEST_F(MainWindowTest, StartsInTheEmptyStateWithDefaultSettings)
{
    auto& u = ui();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Albisko"));
    EXPECT_FALSE(u.GBAlbum->isEnabled());
    EXPECT_FALSE(u.GBFotka->isEnabled());
    for (QWidget* w : navigation(u))
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(u.SpinEditJump->text(), QStringLiteral("1"));
    EXPECT_EQ(u.Panel1->text(), QStringLiteral("Není obrázek"));
    for (QAction* a : {u.MenuSave, u.TBSave, u.MenuSaveAs, u.TBSaveAs})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(u.LabelFoto->text().isEmpty());

    const auto& s = form->album().state();
    EXPECT_EQ(form->album().table().RowCount(), 1);
    EXPECT_FALSE(s.AlbumOpen);
    EXPECT_FALSE(s.Modified);
    EXPECT_EQ(s.CurrentRow, 0);
    EXPECT_EQ(s.ProgramDir, work.path());
    // No settings file: both folders are the working folder, the last folder is kept, and
    // autosave is on every 5 minutes.
    EXPECT_EQ(s.AlbumDir, work.path());
    EXPECT_EQ(s.DefaultDir, work.path());
    EXPECT_TRUE(s.SaveLastDir);
    EXPECT_TRUE(s.AutoSave);
    EXPECT_EQ(s.AutoSaveMinutes, 5);
    EXPECT_FALSE(form->album().autosaveTimer().isActive()) << "autosave waits for an album";
    EXPECT_FALSE(QFile::exists(work.file(QStringLiteral("albisko.ini")))) << "start-up writes nothing";

    EXPECT_TRUE(windows->form3->ui().CheckBoxSave->isChecked()) << "settings window follows the settings";
    EXPECT_TRUE(windows->form3->ui().CheckBoxAdr->isChecked());
}

TEST_F(MainWindowTest, LayoutKeepsItsPlaces)
{
    auto& u = ui();
    form->show();
    const int menuHeight = form->menuBar()->height();
    EXPECT_EQ(form->size(), QSize(727, 569 + menuHeight));
    EXPECT_EQ(form->minimumSize(), form->size());
    EXPECT_EQ(form->statusBar()->height(), 20);
    EXPECT_EQ(u.ToolBar1->geometry(), QRect(0, 0, 727, 29));
    EXPECT_EQ(u.GBAlbum->geometry(), QRect(8, 32, 297, 241));
    EXPECT_EQ(u.GBFotka->geometry(), QRect(8, 280, 297, 257));
    EXPECT_EQ(u.EditAName->geometry(), QRect(8, 32, 281, 21));
    EXPECT_EQ(u.MemoF->geometry(), QRect(8, 152, 281, 65));
    EXPECT_EQ(u.BitBtnNext1->geometry(), QRect(216, 224, 75, 25));
    EXPECT_EQ(u.Panel1->geometry(), QRect(320, 32, 400, 300));
    EXPECT_EQ(u.Panel1->maximumSize(), QSize(400, 300));
    EXPECT_EQ(u.SpinEditJump->geometry(), QRect(464, 376, 57, 22));
    EXPECT_EQ(u.BitBtnJump->geometry(), QRect(536, 376, 81, 25));

    EXPECT_EQ(u.GBAlbum->font().pixelSize(), 11);
    EXPECT_FALSE(u.GBAlbum->font().bold());
    EXPECT_EQ(u.LabelFoto->font().pixelSize(), 13);
    EXPECT_TRUE(u.LabelFoto->font().bold());
    EXPECT_EQ(u.Panel1->font().pixelSize(), 16);
    EXPECT_EQ(u.BitBtnJump->font().pixelSize(), 11);

    // Hidden controls stay hidden; the visible ones show.
    for (QWidget* w : {static_cast<QWidget*>(u.CheckBoxRights), static_cast<QWidget*>(u.SpinEditA),
                       static_cast<QWidget*>(u.BtnRights), static_cast<QWidget*>(u.SpinEditF),
                       static_cast<QWidget*>(u.LabelFRights), static_cast<QWidget*>(u.RichEdit1),
                       static_cast<QWidget*>(u.RichEdit2)})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(u.CheckBoxDate->isVisible());
    EXPECT_FALSE(u.CheckBoxDate->isChecked());

    // Only the toolbar follows the window's width.
    form->resize(1000, 800);
    EXPECT_TRUE(QTest::qWaitFor([&] { return u.ToolBar1->width() == 1000; })) << u.ToolBar1->width();
    EXPECT_EQ(u.Panel1->geometry(), QRect(320, 32, 400, 300));
    EXPECT_EQ(u.GBAlbum->geometry(), QRect(8, 32, 297, 241));
    form->close();
}

TEST_F(MainWindowTest, MenusCarryTheirCaptionsShortcutsAndStates)
{
    auto& u = ui();
    struct Item {
        QAction* action;
        const char* text;
        const char* shortcut;
        bool visible;
    };
    const Item items[] = {
        {u.MenuOpen, "&Otevřít...", "Ctrl+O", true},
        {u.MenuSave, "&Uložit", "Ctrl+S", true},
        {u.MenuSaveAs, "Uložit &jako...", "Ctrl+Alt+S", true},
        {u.MenuPrint, "&Tisk", "Ctrl+P", false},
        {u.MenuClose, "&Zavřít", "", true},
        {u.MenuHtml, "&HTML album", "Ctrl+H", true},
        {u.MenuSet, "N&astavení", "Ctrl+A", true},
        {u.MenuBar, "T&lačítková lišta", "", false},
        {u.MenuIndex, "Obsa&h", "F1", true},
        {u.MenuAbout, "O p&rogramu", "Ctrl+R", true},
    };
    for (const Item& item : items) {
        EXPECT_EQ(item.action->text(), QString::fromUtf8(item.text));
        EXPECT_EQ(item.action->shortcut(), QKeySequence(QString::fromUtf8(item.shortcut))) << item.text;
        EXPECT_EQ(item.action->isVisible(), item.visible) << item.text;
    }
    EXPECT_FALSE(u.MenuPrint->isEnabled());
    EXPECT_FALSE(u.MenuBar->isEnabled());
    EXPECT_EQ(u.MenuFile->title(), QStringLiteral("&Soubor"));
    EXPECT_EQ(u.MenuConf->title(), QStringLiteral("&Konfigurace"));
    EXPECT_EQ(u.MenuHelp->title(), QStringLiteral("&Nápověda"));
    EXPECT_FALSE(u.MenuTools->menuAction()->isVisible()) << "the tools menu is never shown";
    EXPECT_EQ(u.MenuTools->title(), QStringLiteral("Nás&troje"));

    // Toolbar: the visible buttons and their hints, in order.
    QStringList shown;
    for (QAction* a : u.ToolBar1->actions())
        if (a->isVisible() && !a->isSeparator())
            shown << a->toolTip();
    EXPECT_EQ(shown, (QStringList{"Otevřít (Ctrl+O)", "Uložit (Ctrl+S)", "Uložit jako (Ctrl+Alt+S)", "Nastavení (Strl+A)"}));
    EXPECT_FALSE(u.TBPrint->isVisible());
    EXPECT_FALSE(u.TBHtml->isVisible());
    auto* open = qobject_cast<QToolButton*>(u.ToolBar1->widgetForAction(u.TBOpen));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->size(), QSize(24, 25));

    // Hints of the fields show as tooltips.
    EXPECT_EQ(u.EditFTitle->toolTip(), QStringLiteral("Zadej nadpis fotky"));
    EXPECT_EQ(u.CheckBoxDate->toolTip(), QStringLiteral("Datum fotek bude stejné s datem alba"));
    EXPECT_EQ(u.BitBtnNext1->text(), QStringLiteral("&Další"));
    EXPECT_EQ(u.BitBtnJump->text(), QStringLiteral("Jdi na"));
}

TEST_F(MainWindowTest, TabOrderRunsThroughAlbumThenPhotoThenNavigation)
{
    auto& u = ui();
    const QList<QWidget*> expected = {u.EditAName, u.EditADate, u.MemoA, u.CheckBoxRights, u.SpinEditA,
                                      u.BtnRights, u.CheckBoxDate, u.EditFTitle, u.EditFName, u.EditFdate,
                                      u.MemoF, u.SpinEditF, u.BitBtnNext1, u.BitBtnFirst, u.BitBtnPrevious,
                                      u.BitBtnNext, u.BitBtnLast, u.SpinEditJump, u.BitBtnJump};
    QList<QWidget*> chain;
    QWidget* w = u.EditAName;
    for (int guard = 0; guard < 500 && chain.size() < expected.size(); ++guard) {
        if (expected.contains(w) && !chain.contains(w))
            chain << w;
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(chain, expected);
}

TEST_F(MainWindowTest, MarkModifiedWithoutAlbumChangesNothing)
{
    form->album().MarkModified();
    EXPECT_FALSE(form->album().state().Modified);
    EXPECT_FALSE(ui().MenuSave->isEnabled());
    EXPECT_FALSE(ui().TBSaveAs->isEnabled());
}

TEST_F(MainWindowTest, AboutAndSettingsOpenAsDialogs)
{
    ui().MenuAbout->trigger();
    ui().MenuSet->trigger();
    EXPECT_EQ(dialogs.dialogsShown, 2);
    EXPECT_EQ(windows->form2->windowTitle(), QStringLiteral("O programu"));
    EXPECT_EQ(windows->form3->windowTitle(), QStringLiteral("Nastavení"));
    EXPECT_EQ(windows->form2->ui().LbBuild->text(), QStringLiteral("Albisko verze: " ALBISKO_TEST_VERSION));
}

TEST_F(MainWindowTest, HelpIsOpenedByItsNameInTheWorkingFolder)
{
    ui().MenuIndex->trigger();
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("albisko.html")});
    EXPECT_TRUE(dialogs.errors.isEmpty()) << "nothing is reported when the help is missing";
}

// Every caption of the three windows fits its control in the program's font: a check box's or
// radio button's text beside its mark, a button's beside its icon, a label's in its width.
TEST_F(MainWindowTest, EveryCaptionFitsItsControl)
{
    QStringList cut;
    for (QWidget* window : std::initializer_list<QWidget*>{form, windows->form2, windows->form3}) {
        window->ensurePolished();
        for (QWidget* control : window->findChildren<QWidget*>()) {
            control->ensurePolished();
            QString text;
            int room = control->width();
            if (auto* box = qobject_cast<QCheckBox*>(control)) {
                text = box->text();
                QStyleOptionButton option;
                option.initFrom(box);
                option.text = text;
                room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
            } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
                text = radio->text();
                QStyleOptionButton option;
                option.initFrom(radio);
                option.text = text;
                room = radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio).width();
            } else if (auto* button = qobject_cast<QPushButton*>(control)) {
                text = button->text();
                room -= 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
                if (!button->icon().isNull())
                    room -= button->iconSize().width() + 4;
            } else if (auto* label = qobject_cast<QLabel*>(control)) {
                if (label->wordWrap() || label->textFormat() == Qt::RichText || label->text().contains(u'<'))
                    continue;
                text = label->text();
                room -= 2 * label->margin() + 2 * label->indent() * (label->indent() > 0);
            } else {
                continue;
            }
            if (text.isEmpty() || !control->isVisibleTo(window))
                continue;
            text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
            while (text.endsWith(u' '))  // trailing blanks are invisible and may stick out
                text.chop(1);
            const int width = control->fontMetrics().horizontalAdvance(text);
            if (width > room)
                cut << QStringLiteral("%1 \"%2\": %3 px in %4 px").arg(control->objectName(), text).arg(width).arg(room);
        }
    }
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QStringLiteral("\n")).toStdString();
}

// "Uložit jako" and "Nastavení" show pictures of what they do, in colour while enabled and greyed
// only when disabled (the look of a disabled button on an enabled one misleads).
TEST_F(MainWindowTest, ToolbarIconsLookEnabledUnlessDisabled)
{
    const auto colouredPixels = [](const QIcon& icon, QIcon::Mode mode) {
        const QImage image = icon.pixmap(QSize(16, 16), 1.0, mode).toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.alpha() > 128 && c.hsvSaturation() > 80;
            }
        return count;
    };
    for (QAction* action : {ui().TBSaveAs, ui().TBSet}) {
        SCOPED_TRACE(action->objectName().toStdString());
        EXPECT_GE(colouredPixels(action->icon(), QIcon::Normal), 20);
        EXPECT_EQ(colouredPixels(action->icon(), QIcon::Disabled), 0);
    }
    const QImage list = form->style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(16, 16).toImage();
    EXPECT_NE(ui().TBSet->icon().pixmap(16, 16).toImage().convertToFormat(list.format()), list)
        << "the settings button shows a list";
}

// The toolbar's buttons can be rearranged from its context menu, for the rest of the run.
TEST_F(MainWindowTest, ToolbarButtonsCanBeRearranged)
{
    QToolBar* toolbar = ui().ToolBar1;
    const auto shownOrder = [toolbar] {
        QStringList names;
        for (QAction* action : toolbar->actions())
            if (action->isVisible())
                names << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
        return names;
    };
    ASSERT_EQ(shownOrder(), (QStringList{"|", "TBOpen", "TBSave", "|", "TBSaveAs", "|", "TBSet"}));
    QAction* edit = toolbar->findChild<QAction*>(QStringLiteral("ToolbarEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("Upravit panel nástrojů..."));
    EXPECT_EQ(toolbar->contextMenuPolicy(), Qt::CustomContextMenu);

    // Cancelled: nothing moves.
    dialogs.duringNextDialog([](QDialog& dialog) {
        auto& editor = static_cast<ToolbarEditor&>(dialog);
        editor.list()->setCurrentRow(6);
        editor.upButton()->click();
        dialog.reject();
    });
    edit->trigger();
    EXPECT_EQ(shownOrder(), (QStringList{"|", "TBOpen", "TBSave", "|", "TBSaveAs", "|", "TBSet"}));

    // "Nastavení" up to the front, "Otevřít" down by one; the ends cannot be passed.
    dialogs.duringNextDialog([](QDialog& dialog) {
        auto& editor = static_cast<ToolbarEditor&>(dialog);
        editor.list()->setCurrentRow(6);
        for (int i = 0; i < 6; ++i)
            editor.upButton()->click();
        EXPECT_FALSE(editor.upButton()->isEnabled());
        editor.list()->setCurrentRow(2);
        EXPECT_EQ(editor.list()->currentItem()->text(), QStringLiteral("Otevřít"));
        editor.downButton()->click();
        dialog.accept();
    });
    edit->trigger();
    EXPECT_EQ(shownOrder(), (QStringList{"TBSet", "|", "TBSave", "TBOpen", "|", "TBSaveAs", "|"}));
    for (QAction* action : toolbar->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action))) {
            EXPECT_EQ(button->size(), QSize(24, 25)) << action->objectName().toStdString();
        }
    }
    // The commands still act from their new places.
    ui().TBSet->trigger();
    EXPECT_EQ(dialogs.dialogsShown, 3);
}
