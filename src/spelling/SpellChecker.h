#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <memory>
#include <string>
#include <utility>

class Hunspell;

// Czech spelling by Hunspell's Czech dictionary (Debian's hunspell-cs), with the user's own
// words: a personal word list (one word a line, UTF-8) that "Přidat do slovníku" adds to, and
// words ignored for the rest of the run.
class SpellChecker {
public:
    // The dictionary cs_CZ.aff/.dic in `dictionaryFolder`; the personal list at `personalPath`
    // (read now when it is there).
    SpellChecker(const QString& dictionaryFolder, const QString& personalPath);
    ~SpellChecker();

    // Whether words can be checked; when not, why, in Czech.
    bool available() const { return hunspell_ != nullptr; }
    QString problem() const { return problem_; }

    // Misspelled words of `text`: their start and length. Words with digits are never checked.
    QList<std::pair<int, int>> misspelled(const QString& text) const;
    bool isCorrect(const QString& word) const;
    // Up to 8 corrections, only those a caption file in Windows-1250 can hold.
    QStringList suggestions(const QString& word) const;
    // False when the personal list could not be written (the word still counts for this run).
    bool addToPersonal(const QString& word);
    void ignore(const QString& word) { ignored_.insert(word); }

    // The folder Debian installs Hunspell's dictionaries in.
    static QString systemDictionaryFolder();

private:
    std::string inDictionaryEncoding(const QString& text) const;

    std::unique_ptr<Hunspell> hunspell_;
    QString problem_;
    QString personalPath_;
    QSet<QString> ignored_;
    // Words already looked up: a keystroke checks its whole paragraph again, and but one of its
    // words is new.
    mutable QHash<QString, bool> known_;
    mutable QStringEncoder encoder_;
    mutable QStringDecoder decoder_;
};
