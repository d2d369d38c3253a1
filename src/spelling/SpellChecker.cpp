#include "spelling/SpellChecker.h"

#include "storage/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

#include <hunspell.hxx>

#include <algorithm>

SpellChecker::SpellChecker(const QString& dictionaryFolder, const QString& personalPath) : personalPath_(personalPath)
{
    const QString aff = dictionaryFolder + QStringLiteral("/cs_CZ.aff");
    const QString dic = dictionaryFolder + QStringLiteral("/cs_CZ.dic");
    QFile affFile(aff);
    QFile dicFile(dic);
    if (!affFile.open(QIODevice::ReadOnly) || !dicFile.open(QIODevice::ReadOnly)) {
        problem_ = QStringLiteral("Český slovník není nainstalován (balíček hunspell-cs).");
        return;
    }
    auto hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
    // The dictionary says its own encoding; UTF-8 and Latin-1 are read here, others are not.
    const QString encoding = QString::fromStdString(hunspell->get_dict_encoding()).trimmed();
    const auto known = QStringConverter::encodingForName(encoding.toLatin1().constData());
    if (!known) {
        problem_ = QStringLiteral("Český slovník je v kódování %1, které program neumí číst.").arg(encoding);
        return;
    }
    encoder_ = QStringEncoder(*known);
    decoder_ = QStringDecoder(*known);
    if (!hunspell->spell(inDictionaryEncoding(QStringLiteral("pes")))) {
        problem_ = QStringLiteral("Český slovník nelze přečíst.");
        return;
    }
    hunspell_ = std::move(hunspell);
    QFile personal(personalPath_);
    if (personal.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : personal.readAll().split('\n')) {
            const QString word = QString::fromUtf8(line).trimmed();
            if (!word.isEmpty())
                hunspell_->add(inDictionaryEncoding(word));
        }
    }
}

SpellChecker::~SpellChecker() = default;

std::string SpellChecker::inDictionaryEncoding(const QString& text) const
{
    const QByteArray bytes = encoder_.encode(text);
    encoder_.resetState();
    return bytes.toStdString();
}

QString SpellChecker::systemDictionaryFolder()
{
    return QStringLiteral("/usr/share/hunspell");
}

bool SpellChecker::isCorrect(const QString& word) const
{
    if (!hunspell_ || ignored_.contains(word))
        return true;
    if (const auto it = known_.constFind(word); it != known_.cend())
        return *it;
    const QByteArray encoded = encoder_.encode(word);
    bool correct = false;  // a word the dictionary's letters cannot spell is wrong
    if (encoder_.hasError())
        encoder_.resetState();
    else
        correct = hunspell_->spell(encoded.toStdString());
    if (known_.size() > 100000)
        known_.clear();  // a bound, never reached by captions
    known_.insert(word, correct);
    return correct;
}

QList<std::pair<int, int>> SpellChecker::misspelled(const QString& text) const
{
    QList<std::pair<int, int>> words;
    if (!hunspell_)
        return words;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    // The finder stands at the text's start, which is no boundary it moves to.
    int start = finder.isAtBoundary() && finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem ? 0 : -1;
    while (finder.toNextBoundary() != -1) {
        const int at = int(finder.position());
        if (finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem) {
            start = at;
            continue;
        }
        if (!(finder.boundaryReasons() & QTextBoundaryFinder::EndOfItem) || start < 0)
            continue;
        const QString word = text.mid(start, at - start);
        const bool letters = std::any_of(word.cbegin(), word.cend(), [](QChar c) { return c.isLetter(); });
        const bool digits = std::any_of(word.cbegin(), word.cend(), [](QChar c) { return c.isDigit(); });
        if (letters && !digits && !isCorrect(word))
            words.append({start, at - start});
        start = -1;
    }
    return words;
}

QStringList SpellChecker::suggestions(const QString& word) const
{
    QStringList offered;
    if (!hunspell_)
        return offered;
    for (const std::string& suggestion : hunspell_->suggest(inDictionaryEncoding(word))) {
        const QString text = decoder_.decode(QByteArray::fromStdString(suggestion));
        decoder_.resetState();
        if (!storage::ProfileFile::canEncode(text, storage::Encoding::Windows1250) || offered.contains(text))
            continue;
        offered << text;
        if (offered.size() == 8)
            break;
    }
    return offered;
}

bool SpellChecker::addToPersonal(const QString& word)
{
    if (hunspell_)
        hunspell_->add(inDictionaryEncoding(word));
    ignored_.insert(word);
    known_.clear();  // other forms may be right now
    QFile personal(personalPath_);
    if (!personal.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray line = word.toUtf8() + '\n';
    return personal.write(line) == line.size() && personal.flush();
}
