#include "app/FindBar.h"

#include "app/GridView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindBar::FindBar(GridView* grid, QWidget* parent) : QWidget(parent), grid_(grid) {
    setObjectName(QStringLiteral("fraFind") + grid->accessibleName());
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind") + grid->accessibleName());
    txtFind->setAccessibleName(QStringLiteral("Find"));
    txtFind->setPlaceholderText(QStringLiteral("PLU number, code or text"));
    cmdFindNext = new QPushButton(QStringLiteral("Find Next"), this);
    cmdFindNext->setObjectName(QStringLiteral("cmdFindNext") + grid->accessibleName());
    cmdFindNext->setAccessibleName(QStringLiteral("Find Next"));
    auto* label = new QLabel(QStringLiteral("Find"), this);
    label->setObjectName(QStringLiteral("lblFind") + grid->accessibleName());
    label->setBuddy(txtFind);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(txtFind, 1);
    layout->addWidget(cmdFindNext);

    connect(txtFind, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(cmdFindNext, &QPushButton::clicked, this, &FindBar::findNext);
    connect(grid_, &GridView::findRequested, this, &FindBar::open);
    hide();
}

void FindBar::open() {
    if (txtFind->text().isEmpty())
        txtFind->setText(grid_->findTerm());
    show();
    txtFind->selectAll();
    txtFind->setFocus(Qt::ShortcutFocusReason);
}

void FindBar::findNext() {
    grid_->findNext(txtFind->text());
}

void FindBar::close() {
    hide();
    grid_->setFocus(Qt::OtherFocusReason);
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F3) {
        findNext();
        return;
    }
    QWidget::keyPressEvent(event);
}
