// Albums opened from outside the window: the folder on the command line and drops onto the
// main window, through the real Open sequence.
#include "MainWindowFixture.h"

#include "ui/commands/OpenFromOutside.h"

#include <QMenu>

#include <QMimeData>
#include <QTest>
#include <QUrl>

class OpenFromOutsideTest : public MainWindowTest {
protected:
    // A drag of `path` entering the window and dropped on it; whether the window took it.
    bool drop(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at(300, 300);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form, &dropped);
        QCoreApplication::processEvents();  // the album opens once the drop is over
        return dropped.isAccepted();
    }
};

TEST_F(OpenFromOutsideTest, TheCommandLineFolderOpensAsIfPicked)
{
    const QString folder = makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"});
    openFromCommandLine(form->album(), folder);  // no picker: an unscripted one would fail the test
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tatry - Albisko"));
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("1/2"));
    EXPECT_EQ(form->album().state().AlbumDir, folder);

    // A photo opens its folder at that photo, as if stepped to.
    dialogs.answerQuestion(false);  // the album just opened counts as changed (no info.txt yet)
    openFromCommandLine(form->album(), folder + QStringLiteral("/b.jpg"));
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("2/2"));
    EXPECT_EQ(ui().EditFName->text(), QStringLiteral("b"));
    EXPECT_EQ(ui().SpinEditJump->maxValue(), 2);

    // A folder without photos: Open's own empty window; a path that is neither: a warning.
    dialogs.answerQuestion(false);
    openFromCommandLine(form->album(), albums.makeFolder(QStringLiteral("prazdna")));
    EXPECT_FALSE(form->album().state().AlbumOpen);
    writeBytes(albums.file(QStringLiteral("popis.txt")), "x");
    for (const QString& wrong : {albums.file(QStringLiteral("neni")), albums.file(QStringLiteral("popis.txt"))}) {
        openFromCommandLine(form->album(), wrong);
        ASSERT_EQ(dialogs.warnings.size(), 1);
        EXPECT_EQ(dialogs.warnings.takeFirst(),
                  QStringLiteral("%1 není složka s fotkami ani fotka, kterou by šlo otevřít.").arg(wrong));
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Albisko"));
}

TEST_F(OpenFromOutsideTest, AFolderOrAPhotoDroppedOnTheWindowOpensItsAlbum)
{
    const QString tatry = makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"});
    const QString fatra = makeAlbum(QStringLiteral("Fatra"), {"c.jpg", "d.jpg"});
    ASSERT_TRUE(drop(tatry));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tatry - Albisko"));

    // A photo means its folder, at that photo; the changes of the album open are asked about first.
    typeText(ui().EditFTitle, QStringLiteral("Chata"));
    dialogs.answerQuestion(false);
    ASSERT_TRUE(drop(fatra + QStringLiteral("/d.jpg")));
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Fatra - Albisko"));
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("2/2"));

    // Anything else is not taken.
    writeBytes(albums.file(QStringLiteral("poznamka.txt")), "x");
    EXPECT_FALSE(drop(albums.file(QStringLiteral("poznamka.txt"))));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Fatra - Albisko"));
}

TEST_F(OpenFromOutsideTest, RecentAlbumsListTheLastEightNewestFirstAndAreStored)
{
    QStringList folders;
    for (int i = 0; i < 9; ++i) {
        folders << makeAlbum(QStringLiteral("Album%1").arg(i), {"a.jpg"});
        form->album().state().Modified = false;
        openFromCommandLine(form->album(), folders.back());
    }
    const auto listed = [this] {
        QMenu* menu = form->recentAlbums().menu();
        emit menu->aboutToShow();
        QStringList items;
        for (const QAction* action : menu->actions())
            items << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (pryč)"));
        return items;
    };
    QStringList expected;
    for (int i = 8; i >= 1; --i)
        expected << folders[i];
    EXPECT_EQ(listed(), expected) << "eight, newest first";

    // Opened again, an album goes to the top once; a folder that is gone stays, disabled.
    form->album().state().Modified = false;
    form->recentAlbums().menu()->actions().at(3)->trigger();  // Album5
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Album5 - Albisko"));
    EXPECT_EQ(listed().value(0), folders[5]);
    EXPECT_EQ(listed().size(), 8);
    ASSERT_TRUE(QDir(folders[8]).removeRecursively());
    EXPECT_EQ(listed().value(1), folders[8] + QStringLiteral(" (pryč)"));

    // Kept in the settings file and read back at the next start.
    const QStringList before = listed();
    form->album().state().Modified = false;
    form->close();
    const QByteArray ini = readBytes(work.file(QStringLiteral("albisko.ini")));
    EXPECT_TRUE(ini.contains(QStringLiteral("[recent]\r\nAlbum1=%1\r\n").arg(folders[5]).toUtf8())) << ini.toStdString();
    windows.reset();
    start();
    EXPECT_EQ(listed(), before);
}
