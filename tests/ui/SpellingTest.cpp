// Czech spelling in the caption fields, with Debian's Czech dictionary (scripts/setup.sh installs
// hunspell-cs): the checker, the underlines, the context menu's corrections through the real
// window, the personal word list, the switch and its setting, and a missing or odd dictionary.
#include "MainWindowFixture.h"

#include "ui/commands/EditCommands.h"
#include "spelling/SpellChecker.h"
#include "ui/spelling/SpellFields.h"

#include <QAbstractTextDocumentLayout>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using album::Field;

namespace {

QStringList texts(const QMenu* menu)
{
    QStringList result;
    for (const QAction* action : menu->actions())
        result << action->text();
    return result;
}

QAction* actionNamed(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

}  // namespace

TEST(SpellChecker, ChecksCzechWordsAndOffersCorrectionsTheCaptionFileCanHold)
{
    TempFolder work;
    const QString personal = work.file(QStringLiteral("albisko-slovnik.txt"));
    SpellChecker checker(SpellChecker::systemDictionaryFolder(), personal);
    ASSERT_TRUE(checker.available()) << checker.problem().toStdString();
    for (const char* right : {"pes", "Žluťoučký", "kůň", "úpěl", "ďábelské", "ódy"})
        EXPECT_TRUE(checker.isCorrect(QString::fromUtf8(right))) << right;
    const QString text = QStringLiteral("Žlutoučkký kůň pjel přes koččku 2004 IMG_0001");
    const QList<std::pair<int, int>> wrong = checker.misspelled(text);
    QStringList words;
    for (const auto& [start, length] : wrong)
        words << text.mid(start, length);
    EXPECT_EQ(words, (QStringList{"Žlutoučkký", "pjel", "koččku"})) << "the first word too; words with digits are not";

    const QStringList corrections = checker.suggestions(QStringLiteral("koččku"));
    EXPECT_TRUE(corrections.contains(QStringLiteral("kočku"))) << corrections.join(u',').toStdString();
    EXPECT_LE(corrections.size(), 8);
    for (const QString& correction : corrections)
        EXPECT_TRUE(storage::ProfileFile::canEncode(correction, storage::Encoding::Windows1250)) << correction.toStdString();

    // The personal word list: written at once, read by the next checker.
    EXPECT_FALSE(checker.isCorrect(QStringLiteral("Albisko")));
    EXPECT_TRUE(checker.addToPersonal(QStringLiteral("Albisko")));
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("Albisko")));
    EXPECT_EQ(readBytes(personal), QByteArray("Albisko\n"));
    EXPECT_TRUE(SpellChecker(SpellChecker::systemDictionaryFolder(), personal).isCorrect(QStringLiteral("Albisko")));
    checker.ignore(QStringLiteral("pjel"));
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("pjel")));
}

TEST(SpellChecker, AMissingOrOddDictionaryIsSaidAndChecksNothing)
{
    TempFolder folder;
    SpellChecker missing(folder.path(), folder.file(QStringLiteral("slova.txt")));
    EXPECT_FALSE(missing.available());
    EXPECT_TRUE(missing.problem().contains(QStringLiteral("hunspell-cs"))) << missing.problem().toStdString();
    EXPECT_TRUE(missing.misspelled(QStringLiteral("koččku")).isEmpty());

    writeBytes(folder.file(QStringLiteral("cs_CZ.aff")), "SET ISO8859-2\n");
    writeBytes(folder.file(QStringLiteral("cs_CZ.dic")), "1\npes\n");
    SpellChecker odd(folder.path(), folder.file(QStringLiteral("slova.txt")));
    EXPECT_FALSE(odd.available());
    EXPECT_TRUE(odd.problem().contains(QStringLiteral("ISO8859-2"))) << odd.problem().toStdString();
}

class SpellingTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        startSpelling();
    }
    // As the program does at start-up (there on a worker thread).
    void startSpelling() { form->editCommands().startSpelling(SpellChecker::systemDictionaryFolder()); }

    SpellFields& fields() { return *form->editCommands().spellFields(); }
    QAction* switchItem() { return form->editCommands().spellingAction(); }

    static QList<QTextLayout::FormatRange> underlines(QPlainTextEdit* memo)
    {
        return memo->document()->firstBlock().layout()->formats();
    }
};

TEST_F(SpellingTest, MisspelledWordsAreUnderlinedAndCorrectedFromTheContextMenu)
{
    open(makeAlbum(QStringLiteral("Pravopis"), {"a.jpg"}));
    ASSERT_TRUE(switchItem()->isEnabled());
    ASSERT_TRUE(switchItem()->isChecked()) << "on by default where the dictionary is";
    form->show();
    ui().EditFTitle->setFocus();
    typeText(ui().EditFTitle, QStringLiteral("koččku na střeše"));
    EXPECT_EQ(fields().underlined(ui().EditFTitle), (QList<std::pair<int, int>>{{0, 6}}));
    typeText(ui().MemoF, QStringLiteral("Pes a koččka"));
    const auto memoLines = underlines(ui().MemoF);
    ASSERT_EQ(memoLines.size(), 1);
    EXPECT_EQ(memoLines[0].start, 6);
    EXPECT_EQ(memoLines[0].length, 6);
    EXPECT_EQ(memoLines[0].format.underlineStyle(), QTextCharFormat::SpellCheckUnderline);

    // Right-click on the word: corrections first, then the field's own items.
    std::unique_ptr<QMenu> menu(fields().contextMenu(ui().EditFTitle, QPoint(6, ui().EditFTitle->height() / 2)));
    const QStringList items = texts(menu.get());
    ASSERT_TRUE(items.contains(QStringLiteral("kočku"))) << items.join(u'|').toStdString();
    EXPECT_TRUE(items.contains(QStringLiteral("Přidat do slovníku")));
    EXPECT_TRUE(items.contains(QStringLiteral("Ignorovat")));
    EXPECT_LE(items.indexOf(QStringLiteral("kočku")), 8);
    actionNamed(menu.get(), QStringLiteral("kočku"))->trigger();
    EXPECT_EQ(ui().EditFTitle->text(), QStringLiteral("kočku na střeše"));
    EXPECT_EQ(form->album().table().Get(Field::Title, 0), QStringLiteral("kočku na střeše"));
    EXPECT_TRUE(fields().underlined(ui().EditFTitle).isEmpty());
    ui().EditFTitle->undo();
    EXPECT_EQ(ui().EditFTitle->text(), QStringLiteral("koččku na střeše")) << "the field's undo takes it back";

    // In the description, "Přidat do slovníku" keeps the word in the working folder's list.
    QTextCursor at(ui().MemoF->document());
    at.setPosition(8);
    std::unique_ptr<QMenu> memoMenu(fields().contextMenu(ui().MemoF, ui().MemoF->cursorRect(at).center()));
    actionNamed(memoMenu.get(), QStringLiteral("Přidat do slovníku"))->trigger();
    EXPECT_TRUE(underlines(ui().MemoF).isEmpty());
    EXPECT_EQ(readBytes(work.file(QStringLiteral("albisko-slovnik.txt"))), QByteArray("koččka\n"));
    EXPECT_EQ(ui().MemoF->toPlainText(), QStringLiteral("Pes a koččka"));
    form->hide();
}

TEST_F(SpellingTest, TheSwitchIsStoredAndAMissingDictionaryDisablesIt)
{
    open(makeAlbum(QStringLiteral("Prepinac"), {"a.jpg"}));
    typeText(ui().EditFTitle, QStringLiteral("koččku"));
    switchItem()->trigger();  // off
    EXPECT_TRUE(fields().underlined(ui().EditFTitle).isEmpty());
    {
        // The field owns its menu too: it goes before the window does.
        std::unique_ptr<QMenu> menu(fields().contextMenu(ui().EditFTitle, QPoint(6, 10)));
        EXPECT_FALSE(texts(menu.get()).contains(QStringLiteral("Ignorovat")));
    }

    form->album().state().Modified = false;
    form->close();
    EXPECT_TRUE(readBytes(work.file(QStringLiteral("albisko.ini"))).contains("[spelling]\r\nCheck=no\r\n"));
    windows.reset();
    start();
    startSpelling();
    EXPECT_FALSE(switchItem()->isChecked()) << "read back off";
    switchItem()->trigger();
    form->close();
    EXPECT_TRUE(readBytes(work.file(QStringLiteral("albisko.ini"))).contains("[spelling]\r\nCheck=yes\r\n"));

    // Without a dictionary: the item is disabled and names the package; nothing is underlined.
    TempFolder none;
    form->editCommands().startSpelling(none.path());
    EXPECT_FALSE(switchItem()->isEnabled());
    EXPECT_TRUE(switchItem()->toolTip().contains(QStringLiteral("hunspell-cs")));
    typeText(ui().EditFName, QStringLiteral("koččku"));
    EXPECT_TRUE(fields().underlined(ui().EditFName).isEmpty());
}
