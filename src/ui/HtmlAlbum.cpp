#include "ui/HtmlAlbum.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace ui {

namespace {

// The template's lines, as text lines (a final line break ends the last line, it adds none).
QStringList templateLines(const QString& path)
{
    QFile file(path);
    if (!platform::fileExists(path) || !file.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("Cannot open file %1").arg(path));
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

// Appends the lines as plain text (templates are HTML: they must not be read as rich text).
void appendLines(QTextEdit& edit, const QStringList& lines)
{
    QTextCursor cursor(edit.document());
    cursor.movePosition(QTextCursor::End);
    bool startsTheText = edit.document()->isEmpty();
    for (const QString& line : lines) {
        if (!startsTheText)
            cursor.insertBlock();
        startsTheText = false;
        cursor.insertText(line);
    }
}

}  // namespace

void assembleHtmlHead(const QString& programDir, const QString& albumName, QTextEdit& page, QTextEdit& second)
{
    page.clear();
    appendLines(page, templateLines(platform::joinPath(programDir, QStringLiteral("html/head1.tpl"))));
    appendLines(page, {QStringLiteral("    ") + albumName});
    second.clear();
    appendLines(second, templateLines(platform::joinPath(programDir, QStringLiteral("html/head2.tpl"))));
    appendLines(page, second.toPlainText().split(u'\n'));
}

}  // namespace ui
