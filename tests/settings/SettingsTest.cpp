// The settings file "albisko.ini" and the settings window, driven through the program's own
// windows: the file is written into the working folder before the windows are created, the
// settings window is shown by the settings command, and the file's bytes are checked after the
// main window closes.
#include "settings/Settings.h"
#include "ui/windows/TForm3.h"
#include "support/ProgramFixture.h"
#include "ui/widgets/SpinEdit.h"
#include "ui/main/TForm1.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Readable QStrings and rectangles in failure messages.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QRect& r, std::ostream* out)
{
    *out << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

namespace {

// Text with "\n" line ends as the settings file holds it: UTF-8 with CR LF.
QByteArray iniText(const QString& text)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return crlf.toUtf8();
}

QRect primaryArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

class SettingsTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        programDir = QDir::currentPath();
    }

    QString iniPath() const { return QDir(programDir).filePath(QStringLiteral("albisko.ini")); }
    void writeIni(const QString& text) { writeBytes(iniPath(), iniText(text)); }
    QByteArray iniBytes() const { return readBytes(iniPath()); }

    void start()
    {
        ProgramTest::start();
        form3 = windows->form3;
    }
    // The main window as the program shows it.
    void showMain()
    {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    // The program ends: the main window closes (which writes the settings file), then its
    // windows go.
    void quit()
    {
        form->close();
        windows.reset();
        form = nullptr;
        form3 = nullptr;
    }

    Ui::TForm3& set() { return form3->ui(); }
    album::WorkingState& state() { return form->album().state(); }
    QTimer& timer() { return form->album().autosaveTimer(); }

    // The settings command shows the settings window; `action` runs while it is open and active.
    // Returns the window's result.
    int inSettings(const std::function<void(TForm3&)>& action)
    {
        bool ran = false;
        dialogs.duringNextDialog([&](QDialog& dialog) {
            QApplication::setActiveWindow(&dialog);
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            action(static_cast<TForm3&>(dialog));
            ran = true;
        });
        const int shownBefore = dialogs.dialogsShown;
        form->ui().MenuSet->trigger();
        EXPECT_EQ(dialogs.dialogsShown, shownBefore + 1);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(form3->isVisible());
        return form3->result();
    }

    // The interval field's text replaced by typing, the field having the focus.
    void typeInterval(const QString& text)
    {
        SpinEdit* spin = set().SpinEditTime;
        spin->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([&] { return spin->lineEdit()->hasFocus(); }));
        spin->lineEdit()->selectAll();
        QTest::keyClick(spin->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(spin->lineEdit(), text);
        ASSERT_EQ(spin->text(), text);
    }

    TempFolder folders;  // album and default folders
    QString programDir;
    TForm3* form3 = nullptr;
};

// ---- Loading --------------------------------------------------------------------------------

TEST_F(SettingsTest, LoadsEveryValueIntoTheStateTheSettingsWindowAndThePlacement)
{
    const QString album = folders.makeFolder(QStringLiteral("Tatry 2004"));
    const QString defaults = folders.makeFolder(QStringLiteral("Fotky"));
    writeIni(QStringLiteral("[config]\nSaveLastDir=no\nLastDir=%1\nDefaultDir=%2\nAutoSave=no\nAutoSaveValue=17\n"
                            "[window]\nPositionLeft=31\nPositionTop=42\nWidth=760\nHeight=650\nWindowState=Normal\n")
                 .arg(album, defaults));
    start();

    EXPECT_EQ(state().ProgramDir, programDir);
    EXPECT_FALSE(state().SaveLastDir);
    EXPECT_EQ(state().AlbumDir, album);
    EXPECT_EQ(state().DefaultDir, defaults);
    EXPECT_FALSE(state().AutoSave);
    EXPECT_EQ(state().AutoSaveMinutes, 17);
    EXPECT_EQ(timer().interval(), 17 * 60000);
    EXPECT_FALSE(timer().isActive());

    // The settings window starts from these values, and the handlers of what changed ran.
    EXPECT_FALSE(set().CheckBoxAdr->isChecked());
    EXPECT_TRUE(set().EditAdr->isEnabled());
    EXPECT_TRUE(set().SBtnBrowse->isEnabled());
    EXPECT_EQ(set().EditAdr->text(), defaults);
    EXPECT_FALSE(set().CheckBoxSave->isChecked());
    EXPECT_FALSE(set().SpinEditTime->isEnabled());
    EXPECT_EQ(set().SpinEditTime->text(), "17");

    // The numbers are the outer frame's: before the window is first shown it has no frame.
    EXPECT_EQ(form->frameGeometry(), QRect(31, 42, 760, 650));
    EXPECT_EQ(form->windowState() & ~Qt::WindowActive, Qt::WindowNoState);
    showMain();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->frameGeometry() == QRect(31, 42, 760, 650); }))
        << "shown with its frame: " << form->frameGeometry().x() << ',' << form->frameGeometry().y() << ' '
        << form->frameGeometry().width() << 'x' << form->frameGeometry().height();
}

TEST_F(SettingsTest, OnlyLowerCaseYesAndNoCount)
{
    const struct {
        const char* value;
        bool result;  // the flag starts false
    } cases[] = {
        {"yes", true}, {"no", false}, {"Yes", false}, {"YES", false}, {"ano", false}, {"", false}, {"yes!", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        writeIni(QStringLiteral("[config]\nSaveLastDir=%1\nAutoSave=%1\n").arg(QString::fromUtf8(c.value)));
        start();
        EXPECT_EQ(state().SaveLastDir, c.result);
        EXPECT_EQ(state().AutoSave, c.result);
        EXPECT_EQ(form3->keepLastFolder(), c.result);
        EXPECT_EQ(form3->autosaveTicked(), c.result);
        windows.reset();
    }
}

TEST_F(SettingsTest, FoldersThatAreGoneOrAreFilesFallBack)
{
    const QString file = folders.file(QStringLiteral("photo.jpg"));
    writeBytes(file, "not a folder");
    const QString gone = folders.file(QStringLiteral("gone"));
    const struct {
        QString lastDir;
        QString defaultDir;
    } cases[] = {{file, file}, {gone, gone}, {QString(), QString()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastDir.toStdString());
        writeIni(QStringLiteral("[config]\nLastDir=%1\nDefaultDir=%2\n").arg(c.lastDir, c.defaultDir));
        start();
        EXPECT_EQ(state().AlbumDir, QString());
        EXPECT_EQ(state().DefaultDir, programDir);
        EXPECT_EQ(set().EditAdr->text(), programDir);
        windows.reset();
    }
}

TEST_F(SettingsTest, WindowStateDecidesWhetherThePlacementIsRead)
{
    // Placement keys that are no numbers: read only for a normal window.
    const QString badPlacement = QStringLiteral("PositionLeft=x\nPositionTop=y\nWidth=w\nHeight=h\n");
    for (const char* maximised : {"Maximized", "maximized"}) {
        SCOPED_TRACE(maximised);
        writeIni(QStringLiteral("[window]\n") + badPlacement + QStringLiteral("WindowState=%1\n").arg(QLatin1String(maximised)));
        start();
        EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(form->pos(), QPoint(244, 94)) << "its normal placement stays the built-in one";
        windows.reset();
    }
    for (const char* other : std::initializer_list<const char*>{"MAXIMIZED", "NORMAL", "Minimized", "", nullptr}) {
        SCOPED_TRACE(other ? other : "(no key)");
        writeIni(QStringLiteral("[window]\n") + badPlacement
                 + (other ? QStringLiteral("WindowState=%1\n").arg(QLatin1String(other)) : QString()));
        start();
        EXPECT_EQ(form->windowState() & ~Qt::WindowActive, Qt::WindowNoState);
        EXPECT_EQ(form->pos(), QPoint(244, 94));
        windows.reset();
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());

    writeIni(QStringLiteral("[window]\nPositionLeft=20\nPositionTop=30\nWidth=770\nHeight=700\nWindowState=normal\n"));
    start();
    EXPECT_EQ(form->frameGeometry(), QRect(20, 30, 770, 700));
}

// ---- Numbers that are none, placements off every screen (fixed here) -------------------------

TEST_F(SettingsTest, AnIntervalThatIsNoNumberIsReportedOnceAndStartUpCompletes)
{
    const QString placement = QStringLiteral("[window]\nPositionLeft=20\nPositionTop=30\nWidth=770\nHeight=700\nWindowState=Normal\n");
    // A NUL from the file does not cut the message short.
    const QString withNul = QStringLiteral("8") + QChar(0) + QStringLiteral("00");
    for (const QString& value : {QStringLiteral("abc"), QString(), QStringLiteral("5 min"), QStringLiteral("1.5"),
                                 QStringLiteral("99999999999"), QStringLiteral("0x10"), withNul}) {
        SCOPED_TRACE(value.toStdString());
        writeIni(QStringLiteral("[config]\nAutoSave=yes\nAutoSaveValue=%1\n").arg(value) + placement);
        start();
        EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("'%1' is not a valid integer value.").arg(value)});
        EXPECT_EQ(state().AutoSaveMinutes, 5);
        EXPECT_EQ(set().SpinEditTime->text(), "5");
        // Start-up went on: the timer was timed and stopped, and the rest of the file was read.
        EXPECT_EQ(timer().interval(), 5 * 60000);
        EXPECT_FALSE(timer().isActive());
        EXPECT_TRUE(state().AutoSave);
        EXPECT_EQ(form->frameGeometry(), QRect(20, 30, 770, 700));
        EXPECT_FALSE(form->ui().MenuSave->isEnabled());
        windows.reset();
    }

    // A missing key reads as 5 and is no error.
    writeIni(QStringLiteral("[config]\nAutoSave=yes\n"));
    start();
    EXPECT_EQ(state().AutoSaveMinutes, 5);
    EXPECT_EQ(timer().interval(), 5 * 60000);
}

TEST_F(SettingsTest, APlacementThatIsNoNumberIsReportedOnceAndKeepsTheBuiltInPlacement)
{
    const QRect builtIn = [&] {
        start();
        const QRect r = form->frameGeometry();
        windows.reset();
        return r;
    }();
    EXPECT_EQ(builtIn.topLeft(), QPoint(244, 94));
    const struct {
        const char* keys;
        const char* reported;
    } cases[] = {
        {"PositionLeft=left\nPositionTop=30\nWidth=770\nHeight=700\n", "left"},
        {"PositionLeft=20\nPositionTop=30\nWidth=770 px\nHeight=700\n", "770 px"},
        {"PositionLeft=20\nWidth=770\nHeight=700\n", ""},  // PositionTop missing
        {"PositionLeft=20\nPositionTop=30\nWidth=770\nHeight=\n", ""},
        {"PositionLeft=20\nPositionTop=a\nWidth=b\nHeight=c\n", "a"},  // the first one only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        writeIni(QStringLiteral("[config]\nAutoSaveValue=12\n[window]\n") + QString::fromUtf8(c.keys)
                 + QStringLiteral("WindowState=Normal\n"));
        start();
        EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("'%1' is not a valid integer value.").arg(QLatin1String(c.reported))});
        EXPECT_EQ(form->frameGeometry(), builtIn);
        EXPECT_EQ(state().AutoSaveMinutes, 12);
        EXPECT_EQ(timer().interval(), 12 * 60000);
        EXPECT_FALSE(timer().isActive());
        windows.reset();
    }

    // Two broken values make one error box, for the first of them.
    writeIni(QStringLiteral("[config]\nAutoSaveValue=often\n[window]\nPositionLeft=far\nPositionTop=30\n"
                            "Width=770\nHeight=700\nWindowState=Normal\n"));
    start();
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("'often' is not a valid integer value.")});
    EXPECT_EQ(state().AutoSaveMinutes, 5);
    EXPECT_EQ(form->frameGeometry(), builtIn);
}

TEST_F(SettingsTest, APlacementWhoseTitleBarShowsNowhereIsMovedOntoThePrimaryScreen)
{
    const QRect area = primaryArea();
    const int width = 760;
    const int height = 650;
    ASSERT_GE(area.width(), width + 40) << "the offscreen screen is smaller than this test assumes";
    ASSERT_GE(area.height(), height);
    // Where a moved window goes: the built-in position, drawn in so that the window fits.
    const QPoint moved = area.topLeft()
        + QPoint(std::min(244, area.width() - width), std::min(94, area.height() - height));
    const struct {
        int left;
        int top;
        QPoint expected;
    } cases[] = {
        {area.right() + 5000, area.top() + 10, moved},         // a screen that is gone
        {area.left() - 5000, area.top() - 5000, moved},
        {area.left() - width + 20, area.top() + 10, moved},    // 20 px of title bar: too little to grab
        {area.left() - width + 60, area.top() + 10, {area.left() - width + 60, area.top() + 10}},
        {area.left() + 10, area.top() - 30, moved},            // the title bar above the screen
        {area.left() + 10, area.top() - 10, {area.left() + 10, area.top() - 10}},
        {area.left() + 10, area.bottom() - 2, moved},
        {area.left() + 10, area.bottom() - 30, {area.left() + 10, area.bottom() - 30}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << ',' << c.top);
        writeIni(QStringLiteral("[window]\nPositionLeft=%1\nPositionTop=%2\nWidth=%3\nHeight=%4\nWindowState=Normal\n")
                     .arg(c.left).arg(c.top).arg(width).arg(height));
        start();
        EXPECT_EQ(form->frameGeometry(), QRect(c.expected, QSize(width, height)));
        windows.reset();
    }
}

TEST_F(SettingsTest, TheTitleBarMustShowOnSomeScreenOfTheSetNowConnected)
{
    // Two screens side by side; the window was last on the right one.
    const QRect left(0, 0, 1920, 1040);
    const QRect right(1920, 0, 1280, 984);
    const QRect onRight(2100, 100, 760, 650);
    EXPECT_EQ(settings::safePlacement(onRight, 24, {left, right}, left), onRight);
    // The right screen is gone: the window comes to the primary one, its size kept.
    EXPECT_EQ(settings::safePlacement(onRight, 24, {left}, left), QRect(244, 94, 760, 650));
    // A primary screen that is not at the origin, and smaller than the built-in position needs.
    const QRect small(-1024, 200, 800, 700);
    EXPECT_EQ(settings::safePlacement(onRight, 24, {small}, small), QRect(-1024 + 40, 200 + 50, 760, 650));
    // Below the right screen's bottom edge only the piece on the left screen counts: it must be
    // wide enough to grab.
    EXPECT_EQ(settings::safePlacement(QRect(1800, 990, 760, 650), 24, {left, right}, left),
              QRect(1800, 990, 760, 650));
    EXPECT_EQ(settings::safePlacement(QRect(1900, 990, 760, 650), 24, {left, right}, left),
              QRect(244, 94, 760, 650));
    // A size larger than every screen together is brought within them.
    EXPECT_EQ(settings::safePlacement(QRect(10, 10, 100000, 90000), 24, {left, right}, left),
              QRect(10, 10, 3200, 1040));
}

TEST_F(SettingsTest, HugeAndNegativeNumbersBreakNothing)
{
    const QRect area = primaryArea();
    writeIni(QStringLiteral("[config]\nAutoSave=yes\nAutoSaveValue=2147483647\n[window]\nPositionLeft=2147483647\n"
                            "PositionTop=-2147483648\nWidth=2147483647\nHeight=-5\nWindowState=Normal\n"));
    start();
    EXPECT_EQ(state().AutoSaveMinutes, 60) << "brought into the interval field's limits";
    EXPECT_EQ(set().SpinEditTime->text(), "60");
    EXPECT_EQ(timer().interval(), 60 * 60000);
    QRect placed = form->frameGeometry();
    EXPECT_TRUE(area.contains(placed.topLeft())) << placed.x() << ',' << placed.y();
    EXPECT_LE(placed.width(), area.width());
    EXPECT_GE(placed.height(), form->minimumHeight()) << "never smaller than the window can be";
    showMain();
    const QImage shot = form->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    placed = form->frameGeometry();
    EXPECT_TRUE(area.intersects(placed));
    quit();

    // What was written reads back as it was written.
    const QString written = QString::fromUtf8(iniBytes());
    EXPECT_TRUE(written.contains(QStringLiteral("AutoSaveValue=60\r\n"))) << written.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("PositionLeft=%1\r\n").arg(placed.left()))) << written.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("Height=%1\r\n").arg(placed.height()))) << written.toStdString();

    writeIni(QStringLiteral("[config]\nAutoSaveValue=-7\n[window]\nPositionLeft=-1\nPositionTop=-1\nWidth=-800\n"
                            "Height=0\nWindowState=Normal\n"));
    start();
    EXPECT_EQ(state().AutoSaveMinutes, 1);
    EXPECT_EQ(timer().interval(), 60000);
    EXPECT_EQ(form->pos(), QPoint(-1, -1)) << "a title bar that shows is left where it is";
    EXPECT_EQ(form->size(), form->minimumSize());
}

// ---- Saving -------------------------------------------------------------------------------------

TEST_F(SettingsTest, WithoutAFileTheDefaultsAreWrittenOnlyWhenTheProgramCloses)
{
    start();
    EXPECT_TRUE(state().SaveLastDir);
    EXPECT_EQ(state().AlbumDir, programDir);
    EXPECT_EQ(state().DefaultDir, programDir);
    // A first start has autosave on, every 5 minutes: the settings window shows it so.
    EXPECT_TRUE(state().AutoSave);
    EXPECT_EQ(state().AutoSaveMinutes, 5);
    EXPECT_TRUE(form3->autosaveTicked());
    EXPECT_EQ(form3->intervalMinutes(), 5);
    EXPECT_EQ(timer().interval(), 5 * 60000);
    EXPECT_FALSE(timer().isActive()) << "autosave waits for an album";
    EXPECT_FALSE(QFileInfo::exists(iniPath()));

    const QRect outer = form->frameGeometry();
    EXPECT_EQ(outer.topLeft(), QPoint(244, 94));
    quit();
    EXPECT_EQ(iniBytes(), iniText(QStringLiteral("[config]\nSaveLastDir=yes\nLastDir=%1\nDefaultDir=%1\nAutoSave=yes\n"
                                                 "AutoSaveValue=5\n[window]\nPositionLeft=244\nPositionTop=94\n"
                                                 "Width=%2\nHeight=%3\nWindowState=Normal\n")
                                      .arg(programDir)
                                      .arg(outer.width())
                                      .arg(outer.height())));
}

TEST_F(SettingsTest, WhatIsLoadedIsWrittenBackByteForByte)
{
    const QString album = folders.makeFolder(QStringLiteral("Dovolená na Šumavě"));
    const QString defaults = folders.makeFolder(QStringLiteral("Žluťoučký kůň, \"úl\" = 1; [x]"));
    const QString file = QStringLiteral(
                             "[config]\nSaveLastDir=no\nLastDir=%1\nDefaultDir=%2\nAutoSave=yes\nAutoSaveValue=17\n"
                             "[window]\nPositionLeft=31\nPositionTop=42\nWidth=760\nHeight=650\nWindowState=Normal\n")
                             .arg(album, defaults);
    writeIni(file);
    start();
    showMain();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->frameGeometry() == QRect(31, 42, 760, 650); }));
    quit();
    EXPECT_EQ(iniBytes(), iniText(file));

    // ... and reads back the same at the next start.
    start();
    EXPECT_FALSE(state().SaveLastDir);
    EXPECT_EQ(state().AlbumDir, album);
    EXPECT_EQ(state().DefaultDir, defaults);
    EXPECT_TRUE(state().AutoSave);
    EXPECT_EQ(state().AutoSaveMinutes, 17);
    showMain();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->frameGeometry() == QRect(31, 42, 760, 650); }));
    quit();
    EXPECT_EQ(iniBytes(), iniText(file));
}

TEST_F(SettingsTest, AMaximisedWindowStoresItsMaximisedBoundsAndOpensMaximised)
{
    writeIni(QStringLiteral("[window]\nWindowState=Maximized\n"));
    start();
    showMain();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isMaximized() && form->frameGeometry().width() > 735; }));
    const QRect maximised = form->frameGeometry();
    quit();
    // The file's own entry keeps its place, new keys follow the last entry of their section,
    // and the missing section is added at the end.
    EXPECT_EQ(iniBytes(), iniText(QStringLiteral("[window]\nWindowState=Maximized\nPositionLeft=%1\nPositionTop=%2\n"
                                                 "Width=%3\nHeight=%4\n[config]\nSaveLastDir=no\nLastDir=\n"
                                                 "DefaultDir=%5\nAutoSave=no\nAutoSaveValue=5\n")
                                      .arg(maximised.left())
                                      .arg(maximised.top())
                                      .arg(maximised.width())
                                      .arg(maximised.height())
                                      .arg(programDir)));
    EXPECT_EQ(maximised, primaryArea());

    start();
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(form->pos(), QPoint(244, 94));
}

TEST_F(SettingsTest, AMinimisedWindowIsStoredAsNormal)
{
    // Minimised from the normal and from the maximised state alike (the maximised mark stays
    // with a minimised window, and must not win).
    for (const Qt::WindowStates before : {Qt::WindowStates(Qt::WindowNoState), Qt::WindowStates(Qt::WindowMaximized)}) {
        SCOPED_TRACE(int(before));
        start();
        showMain();
        form->setWindowState(before);
        form->setWindowState(form->windowState() | Qt::WindowMinimized);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->isMinimized(); }));
        EXPECT_EQ(bool(form->windowState() & Qt::WindowMaximized), before == Qt::WindowMaximized);
        quit();
        EXPECT_TRUE(iniBytes().endsWith("WindowState=Normal\r\n")) << iniBytes().toStdString();
    }
}

// ---- The settings window ----------------------------------------------------------------------

TEST_F(SettingsTest, SettingsWindowLayout)
{
    start();
    EXPECT_EQ(form3->parentWidget(), form);
    EXPECT_EQ(form3->windowTitle(), QStringLiteral("Nastavení"));
    EXPECT_EQ(form3->size(), QSize(440, 199));
    EXPECT_EQ(form3->minimumSize(), QSize(440, 199));
    EXPECT_EQ(form3->maximumSize(), QSize(440, 199));
    EXPECT_EQ(form3->font().pixelSize(), 11);
    EXPECT_EQ(set().Label1->font().pixelSize(), 11);

    auto& u = set();
    const struct {
        QWidget* widget;
        QRect geometry;  // a null size: the label sizes itself
        const char* text;
    } controls[] = {
        {u.Bevel1, {8, 8, 425, 137}, nullptr},
        {u.CheckBoxAdr, {24, 16, 297, 17}, "Při ukončení programu ukládat poslední otevřený &adresář"},
        {u.Label1, {16, 40, 0, 0}, "Implicitní adresář"},
        {u.EditAdr, {16, 56, 313, 21}, nullptr},
        {u.SBtnBrowse, {336, 56, 89, 25}, "&Procházet"},
        {u.CheckBoxSave, {16, 104, 129, 17}, "Automatické ukládání"},
        {u.SpinEditTime, {160, 104, 41, 22}, nullptr},
        {u.Label2, {216, 104, 0, 0}, "min"},
        {u.BitBtn1, {184, 160, 73, 25}, "&OK"},
        {u.SBtnUse, {272, 160, 73, 25}, "Po&užít"},
        {u.BitBtn3, {360, 160, 73, 25}, "&Cancel"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.widget->objectName().toStdString());
        if (c.geometry.width() == 0) {
            EXPECT_EQ(c.widget->pos(), c.geometry.topLeft());
            EXPECT_GT(c.widget->width(), 0);
        } else {
            EXPECT_EQ(c.widget->geometry(), c.geometry);
        }
        EXPECT_TRUE(c.widget->isVisibleTo(form3));
        if (!c.text)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(c.widget))
            EXPECT_EQ(button->text(), QString::fromUtf8(c.text));
        else
            EXPECT_EQ(static_cast<QLabel*>(c.widget)->text(), QString::fromUtf8(c.text));
    }
    // Every caption fits its control.
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(u.CheckBoxAdr), static_cast<QAbstractButton*>(u.CheckBoxSave)})
        EXPECT_LE(b->sizeHint().width(), b->width()) << b->objectName().toStdString();

    EXPECT_EQ(u.SpinEditTime->minValue(), 1);
    EXPECT_EQ(u.SpinEditTime->maxValue(), 60);
    EXPECT_EQ(u.SpinEditTime->maxLength(), 2);
    EXPECT_TRUE(u.BitBtn1->isDefault());
    EXPECT_FALSE(u.BitBtn3->isDefault());
    for (QToolButton* flat : {u.SBtnBrowse, u.SBtnUse}) {
        EXPECT_EQ(flat->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(flat->autoRaise());
    }
}

TEST_F(SettingsTest, SettingsWindowOpensCentredWithTheFocusOnTheFirstEnabledControlAndTabsInOrder)
{
    writeIni(QStringLiteral("[config]\nSaveLastDir=yes\nAutoSave=yes\n"));
    start();
    auto& u = set();
    auto focused = [] {
        QWidget* w = QApplication::focusWidget();
        return w && qobject_cast<SpinEdit*>(w->parentWidget()) ? w->parentWidget() : w;
    };
    // The folder field is disabled while the last folder is kept.
    inSettings([&](TForm3& dialog) {
        const QRect outer = dialog.frameGeometry();
        EXPECT_LE((outer.center() - primaryArea().center()).manhattanLength(), 4);
        EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == u.CheckBoxSave; }));
        QStringList order;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << (focused() ? focused()->objectName() : QStringLiteral("(none)"));
        }
        EXPECT_EQ(order, (QStringList{"SpinEditTime", "BitBtn1", "BitBtn3", "CheckBoxAdr", "CheckBoxSave"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    // The next showing starts from the folder field, now enabled.
    u.CheckBoxAdr->setChecked(false);
    inSettings([&](TForm3&) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == u.EditAdr; }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(), u.CheckBoxSave);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(focused(), u.EditAdr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(focused(), u.CheckBoxAdr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
}

TEST_F(SettingsTest, KeepingTheLastFolderDisablesTheFolderControlsAndApplyWaitsForAChange)
{
    start();
    auto& u = set();
    inSettings([&](TForm3&) {
        EXPECT_TRUE(u.CheckBoxAdr->isChecked());
        EXPECT_FALSE(u.EditAdr->isEnabled());
        EXPECT_FALSE(u.SBtnBrowse->isEnabled());
        EXPECT_FALSE(u.SBtnUse->isEnabled());
        QTest::mouseClick(u.CheckBoxAdr, Qt::LeftButton);
        EXPECT_FALSE(u.CheckBoxAdr->isChecked());
        EXPECT_TRUE(u.EditAdr->isEnabled());
        EXPECT_TRUE(u.SBtnBrowse->isEnabled());
        EXPECT_TRUE(u.SBtnUse->isEnabled());
        EXPECT_FALSE(form3->keepLastFolder());
        QTest::mouseClick(u.SBtnUse, Qt::LeftButton);
        EXPECT_FALSE(u.SBtnUse->isEnabled());
        EXPECT_TRUE(iniBytes().startsWith("[config]\r\nSaveLastDir=no\r\n")) << iniBytes().toStdString();
        QTest::keyClick(u.CheckBoxAdr, Qt::Key_Space);
        EXPECT_TRUE(u.CheckBoxAdr->isChecked());
        EXPECT_FALSE(u.EditAdr->isEnabled());
        EXPECT_FALSE(u.SBtnBrowse->isEnabled());
        EXPECT_TRUE(u.SBtnUse->isEnabled());
    });
    // Each showing starts with apply disabled.
    inSettings([&](TForm3&) { EXPECT_FALSE(u.SBtnUse->isEnabled()); });
}

TEST_F(SettingsTest, CancelAfterUntickingAutosaveKeepsItOffAndClosingWritesNo)
{
    writeIni(QStringLiteral("[config]\nAutoSave=yes\nAutoSaveValue=3\n"));
    start();
    const QByteArray before = iniBytes();
    auto& u = set();
    EXPECT_TRUE(u.CheckBoxSave->isChecked());
    EXPECT_FALSE(timer().isActive()) << "autosave waits for an album";

    const int result = inSettings([&](TForm3&) {
        QTest::mouseClick(u.CheckBoxSave, Qt::LeftButton);
        EXPECT_FALSE(u.CheckBoxSave->isChecked());
        EXPECT_FALSE(u.SpinEditTime->isEnabled());
        EXPECT_FALSE(state().AutoSave);
        EXPECT_FALSE(timer().isActive());
        EXPECT_TRUE(u.SBtnUse->isEnabled());
        QTest::mouseClick(u.BitBtn3, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(iniBytes(), before) << "Cancel writes nothing";
    EXPECT_FALSE(state().AutoSave);
    EXPECT_FALSE(form3->autosaveTicked());
    quit();
    EXPECT_TRUE(iniBytes().contains("AutoSave=no\r\nAutoSaveValue=3\r\n")) << iniBytes().toStdString();
}

TEST_F(SettingsTest, TickingAutosaveStartsTheTimerAtTheFieldsInterval)
{
    writeIni(QStringLiteral("[config]\nAutoSave=no\nAutoSaveValue=7\n"));
    start();
    auto& u = set();
    EXPECT_FALSE(u.SpinEditTime->isEnabled());
    inSettings([&](TForm3&) {
        QTest::mouseClick(u.CheckBoxSave, Qt::LeftButton);
        EXPECT_TRUE(state().AutoSave);
        EXPECT_TRUE(u.SpinEditTime->isEnabled());
        EXPECT_TRUE(timer().isActive());
        EXPECT_EQ(timer().interval(), 7 * 60000);
        EXPECT_EQ(state().AutoSaveMinutes, 7);

        // A changed interval restarts the countdown.
        QTest::qWait(30);
        const int remaining = timer().remainingTime();
        typeInterval(QStringLiteral("8"));
        EXPECT_EQ(timer().interval(), 8 * 60000);
        EXPECT_GT(timer().remainingTime(), remaining + 60000 - 1000);
        EXPECT_EQ(state().AutoSaveMinutes, 8);

        // The spin buttons take effect at once too.
        QTest::mouseClick(u.SpinEditTime->upButton(), Qt::LeftButton);
        EXPECT_EQ(timer().interval(), 9 * 60000);
        QTest::keyClick(u.BitBtn1, Qt::Key_Escape);
    });
    EXPECT_TRUE(timer().isActive()) << "nothing is undone by Cancel";
    quit();
    EXPECT_TRUE(iniBytes().contains("AutoSave=yes\r\nAutoSaveValue=9\r\n")) << iniBytes().toStdString();
}

TEST_F(SettingsTest, ATypedIntervalHoldsUntilTheFieldIsLeft)
{
    writeIni(QStringLiteral("[config]\nAutoSave=yes\n"));
    start();
    auto& u = set();
    inSettings([&](TForm3& dialog) {
        typeInterval(QStringLiteral("90"));
        EXPECT_EQ(state().AutoSaveMinutes, 90);
        EXPECT_EQ(timer().interval(), 90 * 60000);
        EXPECT_TRUE(u.SBtnUse->isEnabled());
        QTest::keyClick(u.SpinEditTime->lineEdit(), Qt::Key_Tab);
        EXPECT_EQ(u.SpinEditTime->text(), "60");
        EXPECT_EQ(state().AutoSaveMinutes, 60);
        EXPECT_EQ(timer().interval(), 60 * 60000);
        dialog.reject();
    });
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(SettingsTest, EnterOrApplyWithTheFieldFocusedWritesTheNumberAsTyped)
{
    writeIni(QStringLiteral("[config]\nAutoSave=yes\n"));
    start();
    auto& u = set();
    // Apply: the flat button leaves the focus in the field.
    inSettings([&](TForm3& dialog) {
        typeInterval(QStringLiteral("90"));
        QTest::mouseClick(u.SBtnUse, Qt::LeftButton);
        EXPECT_TRUE(u.SpinEditTime->lineEdit()->hasFocus());
        EXPECT_EQ(u.SpinEditTime->text(), "90");
        EXPECT_FALSE(u.SBtnUse->isEnabled());
        EXPECT_TRUE(iniBytes().contains("AutoSaveValue=90\r\n")) << iniBytes().toStdString();
        dialog.reject();
    });
    // Enter confirms the window, without a beep.
    QFile::remove(iniPath());
    const int result = inSettings([&](TForm3&) {
        typeInterval(QStringLiteral("75"));
        QTest::keyClick(u.SpinEditTime->lineEdit(), Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_TRUE(iniBytes().contains("AutoSaveValue=75\r\n")) << iniBytes().toStdString();

    // The next start brings it into the field's limits.
    windows.reset();
    start();
    EXPECT_EQ(set().SpinEditTime->text(), "60");
    EXPECT_EQ(state().AutoSaveMinutes, 60);
    EXPECT_EQ(timer().interval(), 60 * 60000);
}

TEST_F(SettingsTest, ATypedZeroStopsTheTicksUntilTheFieldIsLeft)
{
    writeIni(QStringLiteral("[config]\nAutoSave=no\nAutoSaveValue=1\n"));
    start();
    auto& u = set();
    QSignalSpy ticks(&timer(), &QTimer::timeout);
    inSettings([&](TForm3& dialog) {
        QTest::mouseClick(u.CheckBoxSave, Qt::LeftButton);
        ASSERT_TRUE(timer().isActive());
        typeInterval(QStringLiteral("0"));
        EXPECT_EQ(state().AutoSaveMinutes, 0);
        QTest::qWait(100);
        EXPECT_EQ(ticks.count(), 0) << "an interval of 0 minutes makes no ticks";
        QTest::keyClick(u.SpinEditTime->lineEdit(), Qt::Key_Tab);
        EXPECT_EQ(u.SpinEditTime->text(), "1");
        EXPECT_EQ(state().AutoSaveMinutes, 1);
        EXPECT_EQ(timer().interval(), 60000);
        EXPECT_TRUE(timer().isActive());
        dialog.reject();
    });
}

TEST_F(SettingsTest, AnIntervalOfZeroInTheFileBecomesOneMinute)
{
    writeIni(QStringLiteral("[config]\nAutoSave=yes\nAutoSaveValue=0\n"));
    start();
    EXPECT_EQ(set().SpinEditTime->text(), "1");
    EXPECT_EQ(state().AutoSaveMinutes, 1);
    EXPECT_EQ(timer().interval(), 60000);
}

TEST_F(SettingsTest, BrowseChoosesTheDefaultFolder)
{
    const QString first = folders.makeFolder(QStringLiteral("První"));
    const QString second = folders.makeFolder(QStringLiteral("Druhá"));
    writeIni(QStringLiteral("[config]\nSaveLastDir=no\nDefaultDir=%1\n").arg(first));
    start();
    auto& u = set();
    inSettings([&](TForm3&) {
        EXPECT_EQ(u.EditAdr->text(), first);
        dialogs.pickFolderResult(std::nullopt);
        QTest::mouseClick(u.SBtnBrowse, Qt::LeftButton);
        EXPECT_EQ(dialogs.folderPickerStarts.value(0), first);
        EXPECT_EQ(state().DefaultDir, first);
        EXPECT_FALSE(u.SBtnUse->isEnabled()) << "nothing changed";

        dialogs.pickFolderResult(second + QStringLiteral("/"));
        QTest::mouseClick(u.SBtnBrowse, Qt::LeftButton);
        EXPECT_EQ(state().DefaultDir, second);
        EXPECT_EQ(u.EditAdr->text(), second);
        EXPECT_TRUE(u.SBtnUse->isEnabled());

        // A folder that is gone is not offered; cancelling then leaves no default folder.
        ASSERT_TRUE(QDir(second).removeRecursively());
        dialogs.pickFolderResult(std::nullopt);
        QTest::mouseClick(u.SBtnBrowse, Qt::LeftButton);
        EXPECT_EQ(dialogs.folderPickerStarts.value(2), QString());
        EXPECT_EQ(state().DefaultDir, QString());
        EXPECT_EQ(u.EditAdr->text(), QString());

        dialogs.pickFolderResult(first);
        QTest::mouseClick(u.SBtnBrowse, Qt::LeftButton);
        QTest::mouseClick(u.BitBtn1, Qt::LeftButton);
    });
    EXPECT_TRUE(iniBytes().contains(QStringLiteral("DefaultDir=%1\r\n").arg(first).toUtf8())) << iniBytes().toStdString();
}

TEST_F(SettingsTest, ATypedFolderIsTakenWhenItExistsAndNamedInAWarningWhenNot)
{
    const QString folder = folders.makeFolder(QStringLiteral("Alba"));
    const QString other = folders.makeFolder(QStringLiteral("Jiná alba"));
    writeIni(QStringLiteral("[config]\nSaveLastDir=no\nDefaultDir=%1\n").arg(folder));
    start();
    auto& u = set();
    const auto typeOver = [&](const QString& text) {
        u.EditAdr->setFocus();
        u.EditAdr->selectAll();
        u.EditAdr->insert(text);  // as typed (QTest types ASCII only)
    };
    // A folder that does not exist: named in a warning; the field and the setting keep the old one,
    // and the window stays open, whether confirmed by OK (Enter) or by "Použít".
    for (QWidget* confirm : {static_cast<QWidget*>(u.EditAdr), static_cast<QWidget*>(u.SBtnUse)}) {
        SCOPED_TRACE(confirm->objectName().toStdString());
        const int result = inSettings([&](TForm3& dialog) {
            typeOver(folder + QStringLiteral("/jinde"));
            EXPECT_TRUE(u.SBtnUse->isEnabled());
            if (confirm == u.EditAdr)
                QTest::keyClick(u.EditAdr, Qt::Key_Return);  // the default button
            else
                QTest::mouseClick(u.SBtnUse, Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(u.EditAdr->text(), folder);
            EXPECT_EQ(state().DefaultDir, folder);
        });
        EXPECT_EQ(result, QDialog::Rejected);
        ASSERT_EQ(dialogs.warnings.size(), 1);
        EXPECT_EQ(dialogs.warnings.takeFirst(),
                  QStringLiteral("Adresář %1/jinde neexistuje. Implicitní adresář zůstává %1").arg(folder));
    }
    EXPECT_FALSE(QFileInfo::exists(iniPath()) && iniBytes().contains("jinde"));

    // A folder that exists is taken, as typed (tidied) and written at OK.
    const int result = inSettings([&](TForm3&) {
        typeOver(QStringLiteral(" %1/ ").arg(other));
        QTest::keyClick(u.EditAdr, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(dialogs.warnings.isEmpty());
    EXPECT_EQ(state().DefaultDir, other);
    EXPECT_TRUE(iniBytes().contains(QStringLiteral("DefaultDir=%1\r\n").arg(other).toUtf8())) << iniBytes().toStdString();
}

TEST_F(SettingsTest, OkWritesAndClosesCancelAndEscapeOnlyClose)
{
    start();
    auto& u = set();
    EXPECT_EQ(inSettings([&](TForm3&) { QTest::mouseClick(u.BitBtn3, Qt::LeftButton); }), QDialog::Rejected);
    EXPECT_EQ(inSettings([&](TForm3&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }),
              QDialog::Rejected);
    EXPECT_FALSE(QFileInfo::exists(iniPath()));

    const QRect outer = form->frameGeometry();
    EXPECT_EQ(inSettings([&](TForm3& dialog) {
                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
                  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }));
              }),
              QDialog::Accepted);
    EXPECT_EQ(iniBytes(), iniText(QStringLiteral("[config]\nSaveLastDir=yes\nLastDir=%1\nDefaultDir=%1\nAutoSave=yes\n"
                                                 "AutoSaveValue=5\n[window]\nPositionLeft=%2\nPositionTop=%3\n"
                                                 "Width=%4\nHeight=%5\nWindowState=Normal\n")
                                      .arg(programDir)
                                      .arg(outer.left())
                                      .arg(outer.top())
                                      .arg(outer.width())
                                      .arg(outer.height())));
}

// ---- Files it must survive --------------------------------------------------------------------

TEST_F(SettingsTest, ASettingsFileThatIsAFolderIsIgnoredAndNeverWritten)
{
    ASSERT_TRUE(QDir(programDir).mkdir(QStringLiteral("albisko.ini")));
    start();
    EXPECT_TRUE(state().SaveLastDir) << "the defaults";
    EXPECT_EQ(state().DefaultDir, programDir);
    inSettings([&](TForm3&) { QTest::mouseClick(set().BitBtn1, Qt::LeftButton); });
    quit();
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());
}

TEST_F(SettingsTest, EmptyAndGarbledFilesReadAsWhatTheyHold)
{
    writeBytes(iniPath(), QByteArray());
    start();
    EXPECT_FALSE(state().SaveLastDir);
    EXPECT_EQ(state().AlbumDir, QString());
    EXPECT_EQ(state().DefaultDir, programDir);
    EXPECT_EQ(state().AutoSaveMinutes, 5);
    EXPECT_EQ(form->pos(), QPoint(244, 94));
    windows.reset();

    // Lines that are no entries stay in the file; the entries among them count.
    const QString folder = folders.makeFolder(QStringLiteral("Alba"));
    const QByteArray head = QByteArray("\x00\x01", 2) + "garbage without equals\r\n[config\r\n;SaveLastDir=yes\r\n";
    const QByteArray tail = "\xff\xfe\xfd binary tail";
    writeBytes(iniPath(), head
                              + iniText(QStringLiteral("[config]\nthis is not = an entry I know\nSaveLastDir=no\n=\n"
                                                       "DefaultDir=%1\nAutoSaveValue= 9 \n[[window]]]\nWidth=1\n")
                                            .arg(folder))
                              + tail);
    start();
    EXPECT_FALSE(state().SaveLastDir);
    EXPECT_EQ(state().DefaultDir, folder);
    EXPECT_EQ(state().AutoSaveMinutes, 9);
    EXPECT_EQ(form->pos(), QPoint(244, 94));
    const QRect outer = form->frameGeometry();
    quit();
    EXPECT_EQ(iniBytes(),
              head
                  + iniText(QStringLiteral("[config]\nthis is not = an entry I know\nSaveLastDir=no\n=\nDefaultDir=%1\n"
                                           "AutoSaveValue=9\nLastDir=\nAutoSave=no\n[[window]]]\nWidth=1\n")
                                .arg(folder))
                  + tail
                  + iniText(QStringLiteral("\n[window]\nPositionLeft=244\nPositionTop=94\nWidth=%1\nHeight=%2\n"
                                           "WindowState=Normal\n")
                                .arg(outer.width())
                                .arg(outer.height())));

    start();
    EXPECT_FALSE(state().SaveLastDir);
    EXPECT_EQ(state().DefaultDir, folder);
    EXPECT_EQ(state().AutoSaveMinutes, 9);
    EXPECT_EQ(form->frameGeometry(), outer);
}

TEST_F(SettingsTest, FilesInOtherEncodingsAreSurvivedAndTheSettingsWrittenReadBack)
{
    const QString folder = folders.makeFolder(QStringLiteral("Šumava"));
    // A folder name in Windows-1250 bytes names no folder here.
    QStringEncoder cp1250("windows-1250");
    writeBytes(iniPath(), QByteArray("[config]\r\nSaveLastDir=no\r\nDefaultDir=") + QByteArray(cp1250.encode(folder))
                              + "\r\n");
    start();
    EXPECT_FALSE(state().SaveLastDir);
    EXPECT_EQ(state().DefaultDir, programDir);
    windows.reset();

    // With a byte-order mark: read as UTF-8, written back with the mark.
    writeBytes(iniPath(), "\xEF\xBB\xBF" + iniText(QStringLiteral("[config]\nSaveLastDir=no\nDefaultDir=%1\n").arg(folder)));
    start();
    EXPECT_EQ(state().DefaultDir, folder);
    quit();
    EXPECT_TRUE(iniBytes().startsWith("\xEF\xBB\xBF[config]\r\nSaveLastDir=no\r\n")) << iniBytes().toStdString();
    EXPECT_TRUE(iniBytes().contains(QStringLiteral("DefaultDir=%1\r\n").arg(folder).toUtf8()));

    // UTF-16 with its mark, little or big endian: read as the text it is, and replaced whole by
    // UTF-8 with the mark at the next save, never UTF-8 appended to UTF-16 bytes.
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        QStringEncoder utf16(encoding, QStringConverter::Flag::WriteBom);
        writeBytes(iniPath(), utf16.encode(QStringLiteral("[config]\r\nSaveLastDir=no\r\nAutoSaveValue=7\r\n")));
        start();
        EXPECT_FALSE(state().SaveLastDir);
        EXPECT_EQ(state().AutoSaveMinutes, 7);
        set().CheckBoxAdr->setChecked(true);
        set().SpinEditTime->setValue(23);
        quit();
        EXPECT_TRUE(iniBytes().startsWith("\xEF\xBB\xBF[config]\r\nSaveLastDir=yes\r\nAutoSaveValue=23\r\nLastDir="))
            << iniBytes().toStdString();
        start();
        EXPECT_TRUE(state().SaveLastDir);
        EXPECT_EQ(state().AutoSaveMinutes, 23);
        EXPECT_EQ(state().DefaultDir, programDir);
        windows.reset();
    }
}

TEST_F(SettingsTest, AReadOnlyWorkingFolderLosesTheSettingsSilently)
{
    const QString medium = folders.makeFolder(QStringLiteral("medium"));
    Tmpfs mount(medium, 0, "64k");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    const QString folder = folders.makeFolder(QStringLiteral("Alba"));
    const QByteArray file = iniText(QStringLiteral("[config]\nSaveLastDir=no\nDefaultDir=%1\nAutoSave=yes\nAutoSaveValue=4\n").arg(folder));
    writeBytes(medium + QStringLiteral("/albisko.ini"), file);
    ASSERT_TRUE(mount.remountReadOnly());

    ASSERT_TRUE(QDir::setCurrent(medium));
    programDir = QDir::currentPath();
    start();
    EXPECT_EQ(state().DefaultDir, folder);
    EXPECT_EQ(state().AutoSaveMinutes, 4);
    auto& u = set();
    EXPECT_EQ(inSettings([&](TForm3&) {
                  QTest::mouseClick(u.CheckBoxSave, Qt::LeftButton);
                  QTest::mouseClick(u.SBtnUse, Qt::LeftButton);
                  EXPECT_FALSE(u.SBtnUse->isEnabled());
                  QTest::mouseClick(u.BitBtn1, Qt::LeftButton);
              }),
              QDialog::Accepted);
    quit();
    EXPECT_EQ(iniBytes(), file);
    EXPECT_EQ(QDir(medium).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("albisko.ini")});
    ASSERT_TRUE(QDir::setCurrent(work.path()));  // leave the medium before it goes
}

TEST_F(SettingsTest, AFullDiskKeepsTheOldSettingsFileWhole)
{
    const QString disk = folders.makeFolder(QStringLiteral("disk"));
    Tmpfs mount(disk, 0, "64k");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    const QByteArray file = iniText(QStringLiteral("[config]\nSaveLastDir=no\nAutoSave=yes\nAutoSaveValue=4\n"));
    writeBytes(disk + QStringLiteral("/albisko.ini"), file);
    ASSERT_TRUE(QDir::setCurrent(disk));
    programDir = QDir::currentPath();
    start();
    fillDisk(disk);
    quit();
    EXPECT_EQ(iniBytes(), file) << "a settings file cut short would lose every setting";
    ASSERT_TRUE(QDir::setCurrent(work.path()));  // leave the disk before it goes
}

TEST_F(SettingsTest, AValueTheFileCannotHoldEndsTheWritingThereWithoutAWord)
{
    start();
    state().DefaultDir = QString(QChar(0xD800)) + QStringLiteral("half a character");
    quit();
    // The writes before it are kept, the one that failed and those after it are not.
    EXPECT_EQ(iniBytes(), iniText(QStringLiteral("[config]\nSaveLastDir=yes\nLastDir=%1\n").arg(programDir)));
}

}  // namespace
