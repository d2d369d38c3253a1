// The album's overview through the real main window on a 1920 x 1080 screen: its marks follow the
// album, clicks and keys go to the photo, the photos selected get captions as one step that
// undoes whole, photos without a thumbnail get grey tiles, and F9 finds it room.
#include "MainWindowFixture.h"

#include "settings/Settings.h"
#include "support/JpegWriter.h"
#include "ui/commands/BatchCaptions.h"
#include "ui/commands/EditCommands.h"
#include "ui/picture/PhotoSlot.h"
#include "ui/overview/AlbumOverview.h"
#include "ui/overview/OverviewPlace.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <sys/stat.h>

namespace {

const QColor Titled(0x2e, 0x7d, 0x32);
const QColor NoThumbnail(0x9e, 0x9e, 0x9e);

QByteArray infoTxt(const QStringList& titles)
{
    QString text = QStringLiteral("[head]\r\nname=Album\r\n");
    for (int i = 0; i < titles.size(); ++i)
        text += QStringLiteral("[p%1]\r\ntitle=%2\r\n").arg(i, 2, 10, QLatin1Char('0')).arg(titles[i]);
    return cp1250(text);
}

}  // namespace

class OverviewTest : public MainWindowTest {
protected:
    AlbumOverview& overview() { return form->overviewPlace().overview(); }

    // The main window shown at `size`, laid out.
    void showAt(QSize size)
    {
        form->resize(size);
        form->show();
        QCoreApplication::processEvents();
    }

    // An album of photos p00.jpg, p01.jpg ... with these titles.
    QString albumWithTitles(const QString& name, const QStringList& titles)
    {
        QStringList photos;
        for (int i = 0; i < titles.size(); ++i)
            photos << QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        const QString folder = makeAlbum(name, photos);
        writeBytes(folder + QStringLiteral("/info.txt"), infoTxt(titles));
        return folder;
    }

    // The tiles as the screen shows them now (repainted only where the overview asked for it).
    QImage tiles()
    {
        QCoreApplication::processEvents();
        const QPoint origin = overview().viewport()->mapTo(form, QPoint());
        return form->screen()->grabWindow(form->winId()).toImage().copy(QRect(origin, overview().viewport()->size()));
    }

    // Which tiles show the mark of a photo with a title, as painted.
    std::vector<bool> marks()
    {
        const QImage image = tiles();
        std::vector<bool> marked;
        for (int row = 0; row < overview().photoCount(); ++row)
            marked.push_back(nearColour(
                image.pixelColor(AlbumOverview::markCentre(overview().tileRect(row)) + QPoint(-3, -5)), Titled, 30));
        return marked;
    }

    QColor thumbnailCentre(int row)
    {
        return tiles().pixelColor(AlbumOverview::thumbnailSquare(overview().tileRect(row)).center());
    }

    void click(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(overview().viewport(), Qt::LeftButton, modifiers, overview().tileRect(row).center());
    }

    int current() { return form->album().state().CurrentRow; }
};

TEST_F(OverviewTest, MarksFollowTypingSavingAndOpening)
{
    const QString folder = albumWithTitles(QStringLiteral("Znacky"), {QString(), QStringLiteral("Most"), QString()});
    showAt({1400, 800});
    open(folder);
    ASSERT_TRUE(overview().isVisible());
    EXPECT_EQ(marks(), (std::vector<bool>{false, true, false}));

    typeText(ui().EditFTitle, QStringLiteral("Hrad"));
    EXPECT_EQ(marks(), (std::vector<bool>{true, true, false}));
    ui().BitBtnNext->click();
    ui().EditFTitle->selectAll();
    QTest::keyClick(ui().EditFTitle, Qt::Key_Backspace);
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(form->editCommands().progressText(), QStringLiteral("Popsáno 1 z 3"));

    ui().MenuSave->trigger();
    open(albums.makeFolder(QStringLiteral("Prazdna")));  // no photos: the album is closed
    EXPECT_EQ(overview().photoCount(), 0);
    EXPECT_TRUE(marks().empty());
    open(folder);
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
}

TEST_F(OverviewTest, ClicksAndKeysGoToThePhotoWithItsFields)
{
    QStringList titles;
    for (int i = 1; i <= 30; ++i)
        titles << QStringLiteral("T%1").arg(i);
    showAt({1400, 700});
    open(albumWithTitles(QStringLiteral("Cesta"), titles));
    const int columns = overview().columns();
    ASSERT_GE(columns, 3);
    const int page = overview().viewport()->height() / AlbumOverview::TileHeight * columns;
    overview().setFocus();
    const auto key = [this](int k, Qt::KeyboardModifiers m = {}) {
        return [this, k, m] { QTest::keyClick(&overview(), Qt::Key(k), m); };
    };
    const struct {
        const char* what;
        std::function<void()> input;
        int row;
    } steps[] = {
        {"a click", [this] { click(5); }, 5},
        {"Right", key(Qt::Key_Right), 6},
        {"Down", key(Qt::Key_Down), 6 + columns},
        {"Up", key(Qt::Key_Up), 6},
        {"Left", key(Qt::Key_Left), 5},
        {"End", key(Qt::Key_End), 29},
        {"PgUp", key(Qt::Key_PageUp), 29 - page},
        {"Home", key(Qt::Key_Home), 0},
        {"PgDn", key(Qt::Key_PageDown), page},
        {"Ctrl+Right only moves the focus", key(Qt::Key_Right, Qt::ControlModifier), page},
        {"Enter goes to the focused photo", key(Qt::Key_Return), page + 1},
        {"a click scrolled away (the last)", [this] { overview().verticalScrollBar()->setValue(overview().verticalScrollBar()->maximum()); click(28); }, 28},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.input();
        EXPECT_EQ(current(), step.row);
        EXPECT_EQ(ui().EditFTitle->text(), QStringLiteral("T%1").arg(step.row + 1));
        EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("%1/30").arg(step.row + 1));
        EXPECT_EQ(form->previewSlot().path(), form->album().photoPath(step.row));
        EXPECT_EQ(overview().selectedRows(), std::vector<int>{step.row});
        // The photo shown is in view.
        EXPECT_TRUE(overview().viewport()->rect().contains(overview().tileRect(step.row)));
    }
    // A step of the main window's own scrolls its tile into view.
    ui().BitBtnFirst->click();
    EXPECT_TRUE(overview().viewport()->rect().contains(overview().tileRect(0)));
}

TEST_F(OverviewTest, SelectedPhotosGetTheCaptionsAsOneStepThatUndoesWhole)
{
    showAt({1400, 800});
    const QString folder = albumWithTitles(QStringLiteral("Davka"), {QStringLiteral("Hrad"), QString(), QString(),
                                                                      QStringLiteral("Vlastní"), QString(), QStringLiteral("Jiný"), QString()});
    open(folder);
    ui().MemoF->setPlainText(QStringLiteral("Za hradbami"));
    ui().MenuSave->trigger();
    QAction* apply = form->batchCaptions().applyAction();
    QAction* undo = form->batchCaptions().undoAction();
    EXPECT_FALSE(apply->isEnabled());  // only the photo shown is selected
    EXPECT_FALSE(undo->isEnabled());

    // Ctrl+click adds, Shift+click adds the range from there; neither leaves the photo shown.
    click(1, Qt::ControlModifier);
    click(2, Qt::ControlModifier);
    click(5, Qt::ShiftModifier);
    click(3, Qt::ControlModifier);  // and takes one out
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(overview().selectedRows(), (std::vector<int>{2, 4, 5}));
    click(1, Qt::ControlModifier);
    ASSERT_TRUE(apply->isEnabled());
    // Never a selection out of sight: hidden, the overview's photos get nothing.
    form->overviewPlace().toggle();
    EXPECT_FALSE(apply->isEnabled());
    form->overviewPlace().toggle();
    EXPECT_TRUE(apply->isEnabled());

    QString summary;
    dialogs.duringNextDialog([&](QDialog& dialog) {
        auto& d = static_cast<ApplyToSelectedDialog&>(dialog);
        summary = d.summary()->text();
        d.box(3)->setChecked(false);  // no description
        EXPECT_EQ(d.summary()->text(), QStringLiteral("Nadpis dostanou 4 fotky; 1 z nich už má vlastní nadpis, ten se přepíše."));
        d.box(0)->setChecked(false);
        EXPECT_FALSE(d.applyButton()->isEnabled());
        d.box(0)->setChecked(true);
        d.box(3)->setChecked(true);
        d.applyButton()->click();
    });
    apply->trigger();
    EXPECT_EQ(summary, QStringLiteral("Nadpis a popis dostanou 4 fotky; 1 z nich už má vlastní nadpis, ten se přepíše."));
    const album::PhotoTable& table = form->album().table();
    for (int row : {1, 2, 4, 5}) {
        EXPECT_EQ(table.Get(album::Field::Title, row), QStringLiteral("Hrad"));
        EXPECT_EQ(table.Get(album::Field::Description, row), QStringLiteral("Za hradbami"));
    }
    EXPECT_EQ(table.Get(album::Field::Title, 3), QStringLiteral("Vlastní"));  // not selected
    EXPECT_EQ(marks(), (std::vector<bool>{true, true, true, true, true, true, false}));
    EXPECT_EQ(form->editCommands().progressText(), QStringLiteral("Popsáno 6 z 7"));
    EXPECT_TRUE(form->album().state().Modified);
    EXPECT_TRUE(undo->isEnabled());

    // A title typed over since stays; everything else of the step goes back, by Ctrl+Z in the overview.
    click(4);
    ui().EditFTitle->setText(QStringLiteral("Brána"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    overview().setFocus();
    QTest::keyClick(&overview(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table.Get(album::Field::Title, 1), QString());
    EXPECT_EQ(table.Get(album::Field::Title, 4), QStringLiteral("Brána"));
    EXPECT_EQ(table.Get(album::Field::Title, 5), QStringLiteral("Jiný"));
    EXPECT_EQ(table.Get(album::Field::Description, 4), QString());
    EXPECT_EQ(ui().MemoF->toPlainText(), QString());
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false, true, true, true, false}));
    EXPECT_FALSE(undo->isEnabled());

    // Saved, the file holds exactly the captions shown; Open forgets the step.
    click(0);
    click(6, Qt::ControlModifier);
    dialogs.duringNextDialog([](QDialog& dialog) { static_cast<ApplyToSelectedDialog&>(dialog).applyButton()->click(); });
    apply->trigger();
    EXPECT_EQ(table.Get(album::Field::Title, 6), QStringLiteral("Hrad"));
    ui().MenuSave->trigger();
    const QByteArray file = readBytes(folder + QStringLiteral("/info.txt"));
    EXPECT_TRUE(file.contains("[p06]\r\ntitle=Hrad\r\n")) << file.constData();
    EXPECT_TRUE(file.contains("[p04]\r\ntitle=Br\xe1na\r\n")) << file.constData();
    // Nothing to give: photos that have the captions already, no photo but the one shown.
    dialogs.duringNextDialog([](QDialog& dialog) { static_cast<ApplyToSelectedDialog&>(dialog).applyButton()->click(); });
    apply->trigger();
    click(0);
    form->batchCaptions().applyToSelected();
    ASSERT_EQ(dialogs.notices.size(), 2);
    EXPECT_EQ(dialogs.notices[0], QStringLiteral("Vybrané fotky už tyto popisky mají."));
    EXPECT_TRUE(dialogs.notices[1].startsWith(QStringLiteral("Vyberte v přehledu alba (F9) fotky")));
    EXPECT_FALSE(form->album().state().Modified);
    open(folder);
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(OverviewTest, TheDatesFromExifForTheSelection)
{
    showAt({1400, 800});
    const QString folder = makeAlbum(QStringLiteral("Exif"), {QStringLiteral("a.jpg")});
    const QByteArray jpeg = writeJpegBytes(64, 48);
    writeBytes(folder + QStringLiteral("/b.jpg"), withExifDates(jpeg, "2003:07:14 10:00:00", ""));
    writeBytes(folder + QStringLiteral("/c.jpg"), jpeg);  // no date taken: keeps its own
    writeBytes(folder + QStringLiteral("/d.jpg"), withExifDates(jpeg, "2005:02:01 10:00:00", ""));
    for (const char* name : {"b.jpg", "c.jpg", "d.jpg"})
        setModificationTime(folder + u'/' + QLatin1String(name), QDateTime(QDate(2004, 1, 15), QTime(12, 0)));
    writeBytes(folder + QStringLiteral("/info.txt"), cp1250(QStringLiteral("[d]\r\ndate=1.1.2005\r\n")));
    open(folder);
    click(1, Qt::ControlModifier);
    click(3, Qt::ShiftModifier);
    dialogs.duringNextDialog([](QDialog& dialog) {
        auto& d = static_cast<ApplyToSelectedDialog&>(dialog);
        d.box(0)->setChecked(false);
        d.box(3)->setChecked(false);
        d.box(2)->setChecked(true);
        d.box(4)->setChecked(true);  // instead of this photo's date
        EXPECT_FALSE(d.box(2)->isChecked());
        EXPECT_EQ(d.summary()->text(),
                  QStringLiteral("Datum pořízení podle EXIF dostanou 2 z 3 fotek; 1 z nich už má vlastní datum, to se přepíše."));
        d.applyButton()->click();
    });
    form->batchCaptions().applyAction()->trigger();
    const album::PhotoTable& table = form->album().table();
    EXPECT_EQ(table.Get(album::Field::Date, 1), QStringLiteral("14.7.2003"));
    EXPECT_EQ(table.Get(album::Field::Date, 2), QStringLiteral("15.1.2004"));
    EXPECT_EQ(table.Get(album::Field::Date, 3), QStringLiteral("1.2.2005"));
    form->batchCaptions().undoAction()->trigger();
    EXPECT_EQ(table.Get(album::Field::Date, 1), QStringLiteral("15.1.2004"));
    EXPECT_EQ(table.Get(album::Field::Date, 3), QStringLiteral("1.1.2005"));

    // Dates bound to the album's: neither date box can be ticked.
    ui().CheckBoxDate->click();
    bool offered = true;
    dialogs.duringNextDialog([&](QDialog& dialog) {
        auto& d = static_cast<ApplyToSelectedDialog&>(dialog);
        offered = d.box(2)->isEnabled() || d.box(4)->isEnabled() || d.ticks()[2] || d.ticks()[4];
    });
    form->batchCaptions().applyAction()->trigger();
    EXPECT_FALSE(offered);
}

TEST_F(OverviewTest, PhotosWithoutAThumbnailGetGreyTilesAndNothingHangs)
{
    const QString folder = albums.makeFolder(QStringLiteral("Zle"));
    writeBytes(folder + QStringLiteral("/a.jpg"), solidJpeg(320, 240, QColor(0, 0, 220)));
    writeBytes(folder + QStringLiteral("/b_empty.jpg"), QByteArray());
    writeBytes(folder + QStringLiteral("/c_damaged.jpg"), solidJpeg(320, 240, Qt::red).left(200));
    writeBytes(folder + QStringLiteral("/d_text.jpg"), QByteArray("no photo at all"));
    writeBytes(folder + QStringLiteral("/e_huge.jpg"), withClaimedSize(solidJpeg(64, 48, Qt::red), 65000, 65000));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/f_fifo.jpg")).constData(), 0600), 0);
    showAt({1400, 800});
    open(folder);
    takeErrors();  // what the preview says of a photo is not the overview's
    ASSERT_EQ(overview().photoCount(), 6);
    form->pictures().thumbnails().waitForAll();
    EXPECT_TRUE(nearColour(thumbnailCentre(0), QColor(0, 0, 220)));
    for (int row = 1; row < 6; ++row) {
        SCOPED_TRACE(row);
        // Grey, with a white cross in the middle.
        const QRect square = AlbumOverview::thumbnailSquare(overview().tileRect(row));
        EXPECT_TRUE(nearColour(tiles().pixelColor(square.topLeft() + QPoint(6, 6)), NoThumbnail, 8));
        EXPECT_TRUE(nearColour(thumbnailCentre(row), Qt::white, 8));
    }
    takeErrors();
}

TEST_F(OverviewTest, F9WidensTheWindowForItAndGivesTheWidthBack)
{
    OverviewPlace& place = form->overviewPlace();
    QAction* f9 = place.action();
    EXPECT_EQ(f9->shortcut(), QKeySequence(Qt::Key_F9));
    showAt(form->minimumSize());
    form->move(1500, 94);  // widened, it would reach past the screen's right edge
    const int narrow = form->width();
    EXPECT_FALSE(overview().isVisible());  // the built-in size has no room: nothing new in it
    EXPECT_FALSE(form->album().state().OverviewShown.has_value());

    f9->trigger();
    EXPECT_TRUE(overview().isVisible());
    EXPECT_TRUE(f9->isChecked());
    EXPECT_EQ(overview().columns(), 3);
    EXPECT_EQ(form->album().state().OverviewShown, true);
    EXPECT_LE(form->frameGeometry().right(), form->screen()->availableGeometry().right());

    f9->trigger();
    EXPECT_FALSE(overview().isVisible());
    EXPECT_EQ(form->width(), narrow);
    EXPECT_EQ(form->album().state().OverviewShown, false);

    // Switched off, it stays off in a window with room, and across a start.
    showAt({1600, 900});
    EXPECT_FALSE(overview().isVisible());
    form->close();
    EXPECT_TRUE(readBytes(settings::settingsPath(form->album().state())).contains("[overview]\r\nVisible=no\r\n"));
    windows.reset();
    start();
    showAt({1600, 900});
    EXPECT_FALSE(overview().isVisible());
    form->overviewPlace().action()->trigger();
    EXPECT_TRUE(overview().isVisible());
    EXPECT_EQ(form->width(), 1600);  // it had room: nothing widened
}
