#include "app/Controls.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace controls {

namespace {
template <typename Widget> Widget* named(Widget* widget, const QString& name, const QString& text) {
    widget->setObjectName(name);
    widget->setAccessibleName(text);
    return widget;
}
} // namespace

QPushButton* button(QWidget* parent, const QString& caption, const QString& name) {
    return named(new QPushButton(caption, parent), name, caption.trimmed());
}

QRadioButton* option(QWidget* parent, const QString& caption, const QString& name) {
    return named(new QRadioButton(caption, parent), name, caption);
}

QLineEdit* numberBox(QWidget* parent, const QString& name, const QString& accessibleName,
                     const QString& text) {
    auto* box = named(new QLineEdit(text, parent), name, accessibleName);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    return box;
}

QLabel* label(QWidget* parent, const QString& caption, const QString& name, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QGroupBox* frame(QWidget* parent, const QString& caption, const QString& name) {
    return named(new QGroupBox(caption, parent), name, caption);
}

QWidget* page(const QString& name, const QString& caption) {
    return named(new QWidget, name, caption);
}

QHBoxLayout* leftRow(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return row;
}

void topRows(QWidget* page, std::initializer_list<QLayout*> rows) {
    auto* layout = new QVBoxLayout(page);
    for (QLayout* row : rows)
        layout->addLayout(row);
    layout->addStretch(1);
}

} // namespace controls
