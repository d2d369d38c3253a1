#include "ui/main/ToolbarEditor.h"

#include "platform/Dialogs.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Each row of the list holds its action.
QAction* actionOf(const QListWidgetItem* item)
{
    return item->data(Qt::UserRole).value<QAction*>();
}

}  // namespace

void makeToolbarEditable(QToolBar* toolbar)
{
    auto* menu = new QMenu(toolbar);
    QAction* edit = menu->addAction(QStringLiteral("Upravit panel nástrojů..."));
    edit->setObjectName(QStringLiteral("ToolbarEdit"));
    QObject::connect(edit, &QAction::triggered, toolbar, [toolbar] {
        ToolbarEditor editor(toolbar);
        if (platform::dialogs().showModal(editor) == QDialog::Accepted)
            editor.apply();
    });
    toolbar->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(toolbar, &QWidget::customContextMenuRequested, menu,
                     [toolbar, menu](const QPoint& at) { menu->popup(toolbar->mapToGlobal(at)); });
}

ToolbarEditor::ToolbarEditor(QToolBar* toolbar)
    : QDialog(toolbar->window()), toolbar_(toolbar), list_(new QListWidget(this)),
      up_(new QPushButton(QStringLiteral("&Nahoru"), this)), down_(new QPushButton(QStringLiteral("&Dolů"), this))
{
    setWindowTitle(QStringLiteral("Upravit panel nástrojů"));
    for (QAction* action : toolbar->actions()) {
        if (!action->isVisible())
            continue;  // never shown; it keeps its place at the end
        auto* item = new QListWidgetItem(action->isSeparator() ? QStringLiteral("— oddělovač —") : action->text(), list_);
        item->setIcon(action->icon());
        item->setData(Qt::UserRole, QVariant::fromValue(action));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Zrušit"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(up_, &QPushButton::clicked, this, [this] { move(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { move(1); });
    connect(list_, &QListWidget::currentRowChanged, this, &ToolbarEditor::updateButtons);

    auto* side = new QVBoxLayout;
    side->addWidget(up_);
    side->addWidget(down_);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(list_);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    list_->setCurrentRow(0);
    updateButtons();
}

void ToolbarEditor::move(int by)
{
    const int from = list_->currentRow();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= list_->count())
        return;
    list_->insertItem(to, list_->takeItem(from));
    list_->setCurrentRow(to);
}

void ToolbarEditor::updateButtons()
{
    const int row = list_->currentRow();
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row < list_->count() - 1);
}

void ToolbarEditor::apply()
{
    QSize buttonSize;
    for (QAction* action : toolbar_->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(action)); button && !action->isSeparator()) {
            buttonSize = button->size();
            break;
        }
    }
    QList<QAction*> order;
    for (int i = 0; i < list_->count(); ++i)
        order << actionOf(list_->item(i));
    for (QAction* action : toolbar_->actions()) {
        if (!order.contains(action))
            order << action;  // the hidden ones, after the rest
    }
    for (QAction* action : order) {
        toolbar_->removeAction(action);
        toolbar_->addAction(action);
    }
    if (buttonSize.isValid()) {
        for (QAction* action : order) {
            if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(action)))
                button->setFixedSize(buttonSize);
        }
    }
}
