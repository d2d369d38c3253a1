#include "app/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtCore/private/qlocale_p.h>

#include <cstring>

namespace {

// Texts Qt shows in its file pickers that its Czech catalogue (Qt 6.4) has no translation for:
// every "Typ" Qt gives an entry that is not a file (a file's type is its MIME type's Czech
// name): a folder, the root folder (under "Počítač"), and a listed link whose target vanished
// or an entry that became a FIFO while the picker was open. The Czech words are those Qt's
// catalogue uses for the same things elsewhere ("Disková jednotka", "Neznámý"); a link is
// "Odkaz", as in Czech file managers.
struct Text {
    const char* context;
    const char* source;
    const char* czech;
};
constexpr Text missingFromQt[] = {
    {"QAbstractFileIconProvider", "Folder", "Složka"},
    {"QAbstractFileIconProvider", "Drive", "Disková jednotka"},
    {"QAbstractFileIconProvider", "Shortcut", "Odkaz"},
    {"QAbstractFileIconProvider", "Unknown", "Neznámý"},
};

// Answers only the texts of the table, whatever the disambiguation Qt gives them ("All other
// platforms"); everything else is left to the catalogues installed before it. Qt asks from its
// file-information thread too: the table is constant, so that is safe.
class MissingQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (!context || !sourceText)
            return QString();
        for (const Text& text : missingFromQt)
            if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, sourceText) == 0)
                return QString::fromUtf8(text.czech);
        return QString();  // null: not ours, the next translator is asked
    }
};

// The system as Qt sees it, Czech: asked anything, it has no answer of its own, so Qt takes every
// format and name from its Czech locale data.
class CzechSystem : public QSystemLocale {
public:
    QVariant query(QueryType, QVariant) const override { return QVariant(); }
    QLocale fallbackLocale() const override { return QLocale(QLocale::Czech, QLocale::Czechia); }
};

}  // namespace

bool installQtCzech(QCoreApplication& app)
{
    // "qt_cs" gathers the Czech catalogues of every Qt module installed beside it.
    auto* translator = new QTranslator(&app);
    bool loaded = translator->load(QLocale(QLocale::Czech, QLocale::Czechia), QStringLiteral("qt"),
                                   QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        loaded = QCoreApplication::installTranslator(translator);
    else
        delete translator;
    // Installed last, asked first.
    QCoreApplication::installTranslator(new MissingQtTexts(&app));
    return loaded;
}

CzechSystemLocale::CzechSystemLocale() : locale_(std::make_unique<CzechSystem>()) {}

CzechSystemLocale::~CzechSystemLocale() = default;
