// Albums opened from outside the window: the folder on the command line and drops onto the
// main window, through the real Open sequence.
#include "MainWindowFixture.h"

#include "ui/OpenFromOutside.h"

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
    openFromCommandLine(*form, folder);  // no picker: an unscripted one would fail the test
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tatry - Albisko"));
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("1/2"));
    EXPECT_EQ(form->state().AlbumDir, folder);

    // A folder without photos: Open's own empty window; a path that is no folder: a warning.
    dialogs.answerQuestion(false);  // the album just opened counts as changed
    openFromCommandLine(*form, albums.makeFolder(QStringLiteral("prazdna")));
    EXPECT_FALSE(form->state().AlbumOpen);
    for (const QString& wrong : {albums.file(QStringLiteral("neni")), folder + QStringLiteral("/a.jpg")}) {
        openFromCommandLine(*form, wrong);
        ASSERT_EQ(dialogs.warnings.size(), 1);
        EXPECT_EQ(dialogs.warnings.takeFirst(), QStringLiteral("%1 není složka s fotkami, kterou by šlo otevřít.").arg(wrong));
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Albisko"));
}

TEST_F(OpenFromOutsideTest, AFolderOrAPhotoDroppedOnTheWindowOpensItsAlbum)
{
    const QString tatry = makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"});
    const QString fatra = makeAlbum(QStringLiteral("Fatra"), {"c.jpg"});
    ASSERT_TRUE(drop(tatry));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tatry - Albisko"));

    // A photo means its folder; the changes of the album open are asked about first.
    typeText(ui().EditFTitle, QStringLiteral("Chata"));
    dialogs.answerQuestion(false);
    ASSERT_TRUE(drop(fatra + QStringLiteral("/c.jpg")));
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Fatra - Albisko"));

    // Anything else is not taken.
    writeBytes(albums.file(QStringLiteral("poznamka.txt")), "x");
    EXPECT_FALSE(drop(albums.file(QStringLiteral("poznamka.txt"))));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Fatra - Albisko"));
}
