// The built program itself, started as a user starts it.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

TEST(Startup, WithoutADisplaySaysSoInOneLine)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess program;
    program.setProcessEnvironment(env);
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
