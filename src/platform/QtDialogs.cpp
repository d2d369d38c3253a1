#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {

QWidget* QtDialogs::owner() const
{
    QWidget* active = QApplication::activeWindow();
    return active && active->isFullScreen() ? active : owner_;
}

bool QtDialogs::askYesNo(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(QMessageBox::Yes);
    // The box closes only through one of its two buttons: Escape and the title bar's close do nothing.
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.setWindowFlag(Qt::WindowCloseButtonHint, false);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::showAppError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok, owner());
    box.exec();
}

void QtDialogs::showWarning(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok, owner());
    box.exec();
}

void QtDialogs::showNotice(const QString& text)
{
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), text, QMessageBox::Ok, owner());
    box.exec();
}

void QtDialogs::showMessage(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

std::optional<QString> QtDialogs::pickFolder(const QString& preselected)
{
    const QString chosen = QFileDialog::getExistingDirectory(owner(), QString(), preselected,
                                                             QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> QtDialogs::pickSaveFile(const SaveRequest& request)
{
    QFileDialog dialog(owner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks whether an existing file may be written, once the extension is added.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDirectory(request.initialFolder);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    dialog.setNameFilter(QStringLiteral("%1 (*.%2)").arg(request.filterDescription, request.filterPattern));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

int QtDialogs::showModal(QDialog& dialog)
{
    return dialog.exec();
}

void QtDialogs::openWithDesktop(const QString& target)
{
    const QUrl url(target);
    if (url.scheme().size() > 1)  // a web or mail address (a one-letter "scheme" is no such thing)
        QDesktopServices::openUrl(url);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(target)));
}

void QtDialogs::beep()
{
    QApplication::beep();
}

}  // namespace platform
