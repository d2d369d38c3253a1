// Qt's own texts and formats in the program's Czech: the texts Qt's Czech catalogue lacks, and
// what Qt formats with the system's locale, whatever the system's locale is.
#include "app/Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtCore/private/qlocale_p.h>
#include <gtest/gtest.h>

namespace {

// The program's translators for one test.
class InstalledCzech {
public:
    InstalledCzech() : qtCatalogue(installQtCzech(*QCoreApplication::instance())) {}
    ~InstalledCzech()
    {
        for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    const bool qtCatalogue;
};

// The environment naming a locale, as a user's session does; restored afterwards.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const char* locale)
    {
        for (const char* name : names) {
            saved_.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
            qputenv(name, locale);
        }
    }
    ~LocaleEnvironment()
    {
        for (const Saved& s : saved_)
            s.wasSet ? qputenv(s.name, s.value) : qunsetenv(s.name);
    }

private:
    static constexpr const char* names[] = {"LC_ALL", "LANG"};
    struct Saved {
        const char* name;
        bool wasSet;
        QByteArray value;
    };
    std::vector<Saved> saved_;
};

}  // namespace

TEST(QtInCzech, TextsQtsCatalogueLacksAreCzechAndTheCatalogueStillAnswersTheRest)
{
    const InstalledCzech czech;
    ASSERT_TRUE(czech.qtCatalogue) << "Qt's Czech translation (qt6-translations-l10n) is not installed";
    struct Row {
        const char* context;
        const char* source;
        const char* disambiguation;
        const char* expected;
    };
    const Row rows[] = {
        // Asked as Qt's pickers ask for the "Typ" of a folder, the root folder, a link that lost
        // its target and a FIFO.
        {"QAbstractFileIconProvider", "Folder", "All other platforms", "Složka"},
        {"QAbstractFileIconProvider", "Drive", nullptr, "Disková jednotka"},
        {"QAbstractFileIconProvider", "Shortcut", "All other platforms", "Odkaz"},
        {"QAbstractFileIconProvider", "Unknown", nullptr, "Neznámý"},
        // Qt's own catalogue still answers what it has.
        {"QFileDialog", "Directory:", nullptr, "Adresář:"},
        {"QPlatformTheme", "&Yes", nullptr, "&Ano"},
        {"QWidgetTextControl", "Select All", nullptr, "Vybrat vše"},
        // The same words in another context are not Qt's to translate.
        {"Albisko", "Folder", nullptr, "Folder"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.context) + " / " + row.source);
        EXPECT_EQ(QCoreApplication::translate(row.context, row.source, row.disambiguation),
                  QString::fromUtf8(row.expected));
    }
}

TEST(QtInCzech, ThePickersSizesDatesAndTypesAreCzechWhateverTheSystemsLocale)
{
    QTemporaryDir album;
    ASSERT_TRUE(album.isValid());
    QFile file(album.filePath(QStringLiteral("info.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(QByteArray(408, 'x')), 408);
    ASSERT_TRUE(file.flush());
    // A local time that exists in every time zone: shown as set, wherever the test runs.
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2004, 12, 9), QTime(18, 5)), QFileDevice::FileModificationTime));
    file.close();
    ASSERT_TRUE(QDir(album.path()).mkdir(QStringLiteral("Tatry")));

    for (const char* system : {"en_US.UTF-8", "C"}) {
        SCOPED_TRACE(system);
        const LocaleEnvironment environment(system);
        { const QSystemLocale refresh; }  // made and gone: Qt reads the system's locale afresh
        ASSERT_EQ(QLocale::system().formattedDataSize(408), QStringLiteral("408 bytes"));

        const CzechSystemLocale czechFormats;
        const InstalledCzech czechTexts;
        // The model Qt's own picker lists the folder with.
        QFileDialog picker(nullptr, QString(), album.path());
        picker.setOption(QFileDialog::DontUseNativeDialog);
        auto* model = picker.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        const QModelIndex info = model->index(album.filePath(QStringLiteral("info.txt")));
        EXPECT_EQ(info.siblingAtColumn(1).data().toString(), QStringLiteral("408 bajty"));
        EXPECT_EQ(info.siblingAtColumn(3).data().toString(), QStringLiteral("09.12.04 18:05"));
        const QModelIndex folder = model->index(album.filePath(QStringLiteral("Tatry")));
        EXPECT_EQ(folder.siblingAtColumn(2).data().toString(), QStringLiteral("Složka"));
    }
}
