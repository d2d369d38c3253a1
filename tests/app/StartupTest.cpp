// The built program itself, started as a user starts it.
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

// Readable QStrings in failure messages.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// The program's environment without any display.
QProcessEnvironment withoutADisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

}  // namespace

TEST(Startup, WithoutADisplaySaysSoInOneLine)
{
    QProcess program;
    program.setProcessEnvironment(withoutADisplay());
    program.start(QStringLiteral(ALBISKO_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "no crash";
    EXPECT_EQ(program.exitCode(), 1);
    const QString message = QString::fromUtf8(program.readAllStandardError());
    EXPECT_EQ(message.count(u'\n'), 1) << message.toStdString();
    // Czech first, as the program speaks, English after it.
    const qsizetype czech = message.indexOf(QStringLiteral("chybí grafický displej"));
    EXPECT_GE(czech, 0) << message.toStdString();
    EXPECT_GT(message.indexOf(QStringLiteral("no display")), czech) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("QT_QPA_PLATFORM=offscreen"))) << message.toStdString();
}

// --help and --version answer on standard output without a display; an unknown option gets the
// usage on standard error. None of them writes any file, where it was started or in the home.
TEST(Startup, HelpVersionAndUnknownOptionsAnswerWithoutADisplayOrAnyFile)
{
    const QString usage = QStringLiteral("Použití: albisko [SLOŽKA | FOTKA.jpg]\n");
    struct Case {
        QStringList arguments;
        int exitCode;
        QString out;          // standard output starts with this
        QStringList errHas;   // standard error holds each of these (nothing when empty)
    };
    const Case cases[] = {
        {{QStringLiteral("--help")}, 0, usage, {}},
        {{QStringLiteral("-h"), QStringLiteral("/nikde")}, 0, usage, {}},
        {{QStringLiteral("--version")}, 0, QStringLiteral("Albisko " ALBISKO_VERSION_TEXT "\n"), {}},
        {{QStringLiteral("--verze")}, 2, QString(), {QStringLiteral("--verze"), usage}},
        {{QStringLiteral("/nikde"), QStringLiteral("-x")}, 2, QString(), {QStringLiteral("-x"), usage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        QTemporaryDir folder;
        QTemporaryDir home;
        QProcessEnvironment env = withoutADisplay();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder.path());
        program.start(QStringLiteral(ALBISKO_PROGRAM), c.arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "no crash";
        EXPECT_EQ(program.exitCode(), c.exitCode);
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        // Standard output starts with what it should, and holds nothing else when that is nothing.
        EXPECT_EQ(out.left(c.out.isEmpty() ? out.size() : c.out.size()), c.out) << out.toStdString();
        EXPECT_EQ(out.contains(QStringLiteral("--version")), c.out == usage) << out.toStdString();
        EXPECT_EQ(err.isEmpty(), c.errHas.isEmpty()) << err.toStdString();
        for (const QString& part : c.errHas)
            EXPECT_TRUE(err.contains(part)) << err.toStdString();
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        EXPECT_TRUE(QDir(folder.path()).entryList(all).isEmpty()) << "a file written where it was started";
        EXPECT_TRUE(QDir(home.path()).entryList(all).isEmpty()) << "a file written in the home folder";
    }
}
