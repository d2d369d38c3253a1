#include "ui/windows/TForm2.h"

#include "platform/Dialogs.h"
#include "platform/Version.h"
#include "ui/widgets/ProgramFont.h"
#include "ui/widgets/Mnemonics.h"
#include "ui_TForm2.h"

#include <QMouseEvent>

TForm2::TForm2(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TForm2>())
{
    ui_->setupUi(this);
    setFixedSize(size());
    makeMnemonicsImmediate(this);
    setFont(programFont(11));
    ui_->LbBuild->setFont(programFont(13, true));
    fitBeforeItsLink(ui_->Label5, ui_->Label2);
    ui_->Image1->setPixmap(programPicture());
    for (QLabel* link : {ui_->Label2, ui_->Label7, ui_->LbMail})
        makeLink(link);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

TForm2::~TForm2() = default;

// The program's picture (its icon), drawn smoothly at the size of Image1.
QPixmap TForm2::programPicture() const
{
    const QPixmap picture(QStringLiteral(":/about/albisko-128.png"));
    if (picture.isNull())
        return picture;
    return picture.scaled(ui_->Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// "Stránky programu: " is a little wider in this font than the 88 pixels before the link beside
// it. Tightened as little as it takes, it ends as far before its link as "Galerie:" before its
// own, so that both lines read alike.
void TForm2::fitBeforeItsLink(QLabel* label, QLabel* link)
{
    const QString galerie = ui_->Label6->text().trimmed();
    const int gap = ui_->Label7->x() - ui_->Label6->x() - ui_->Label6->fontMetrics().horizontalAdvance(galerie);
    const QString text = label->text().trimmed();
    QFont tight = label->font();
    for (int percent = 100; percent >= 90; --percent) {
        tight.setLetterSpacing(QFont::PercentageSpacing, percent);
        if (QFontMetrics(tight).horizontalAdvance(text) <= link->x() - label->x() - gap)
            break;
    }
    label->setFont(tight);
}

void TForm2::makeLink(QLabel* label)
{
    QPalette blue = label->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(blue);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui_->Label2)
            Label2Click();
        else if (watched == ui_->Label7)
            Label7Click();
        else if (watched == ui_->LbMail)
            LbMailClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TForm2::FormShow()
{
    quint16 major = 0, minor = 0, release = 0, build = 0;
    platform::ReadVersion(major, minor, release, build);
    ui_->LbBuild->setText(QStringLiteral("Albisko verze: %1.%2.%3.%4").arg(major).arg(minor).arg(release).arg(build));
    if (parentWidget()) {  // centred on the main window, frame and all
        QRect frame(QPoint(), frameGeometry().size());
        frame.moveCenter(parentWidget()->frameGeometry().center());
        move(frame.topLeft());
    }
}

void TForm2::Label2Click()
{
    platform::dialogs().openWithDesktop(ui_->Label2->text());
}

void TForm2::Label7Click()
{
    platform::dialogs().openWithDesktop(ui_->Label7->text());
}

void TForm2::LbMailClick()
{
    platform::dialogs().openWithDesktop(QStringLiteral("mailto:") + ui_->LbMail->text());
}
