#include "ui/commands/HtmlAlbum.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextEdit>

namespace ui {

namespace {

// A template's text. Templates are UTF-8; one that is not (an older template written in the
// Central European code page) is read as Windows-1250 rather than with replacement characters.
QString templateText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid())
        return cp1250(bytes);
    return text;
}

// The template's lines. CR LF, LF and a lone CR each end a line; a final line break ends the
// last line and adds no empty one; an empty file has no lines.
QStringList templateLines(const QString& path)
{
    QFile file(path);
    if (!platform::fileExists(path) || !file.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("Cannot open file %1").arg(path));
    QString text = templateText(file.readAll());
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineBreak);
    if (lines.last().isEmpty())  // the text ended with a line break
        lines.removeLast();
    return lines;
}

// Shows the lines as plain text: templates are HTML and must not be read as rich text.
void showLines(QTextEdit& edit, const QStringList& lines)
{
    edit.setPlainText(lines.join(u'\n'));
}

}  // namespace

void assembleHtmlHead(const QString& programDir, const QString& albumName, QTextEdit& page, QTextEdit& second)
{
    // 1. Start from scratch.
    page.clear();
    // 2. and 3. The first template, then the album name indented by four blanks.
    QStringList lines = templateLines(platform::joinPath(programDir, QStringLiteral("html/head1.tpl")));
    lines.append(QStringLiteral("    ") + albumName);
    showLines(page, lines);
    // 4. The second template into the second holder (which keeps what it held when that fails).
    const QStringList rest = templateLines(platform::joinPath(programDir, QStringLiteral("html/head2.tpl")));
    showLines(second, rest);
    // 5. Its lines after the page's. They are taken as loaded: a text holder cannot tell an
    //    empty template from one with a single empty line.
    lines.append(rest);
    showLines(page, lines);
}

}  // namespace ui
