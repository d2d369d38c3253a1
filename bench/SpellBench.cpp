// Spelling as the user types: one keystroke at the end of a 2,000-character description, with
// the description's misspelled words checked again and underlined (Debian's Czech dictionary).
#include "BenchSupport.h"
#include "spelling/SpellChecker.h"
#include "ui/spelling/SpellFields.h"

#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>

namespace {

void BM_SpellKeystroke(benchmark::State& state)
{
    QTemporaryDir work;
    SpellChecker checker(SpellChecker::systemDictionaryFolder(), work.filePath(QStringLiteral("slova.txt")));
    if (!checker.available()) {
        state.SkipWithError("no Czech dictionary (hunspell-cs)");
        return;
    }
    QPlainTextEdit memo;
    SpellFields fields(checker, {}, {&memo}, nullptr);
    fields.setEnabled(true);
    QString text;
    const QString sentence = QStringLiteral("Žluťoučký kůň úpěl ďábelské ódy u Štrbského plesa, kde pjel koččku. ");
    while (text.size() < 2000)
        text += sentence;
    text.truncate(2000);
    memo.setPlainText(text);
    QTextCursor end(memo.document());
    end.movePosition(QTextCursor::End);
    for (auto _ : state) {
        end.insertText(QStringLiteral("a"));  // the keystroke: its block is checked again
        state.PauseTiming();
        end.deletePreviousChar();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SpellKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace

ALBISKO_BENCHMARK_MAIN()
