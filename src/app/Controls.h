#pragma once

#include <QString>

#include <initializer_list>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The window's controls as every tab makes them: each gets its objectName and an accessible
// name (its caption, or for a box the label or option beside it).
namespace controls {

QPushButton* button(QWidget* parent, const QString& caption, const QString& name);
QRadioButton* option(QWidget* parent, const QString& caption, const QString& name);
// A number box beside an option, wide enough for a record number.
QLineEdit* numberBox(QWidget* parent, const QString& name, const QString& accessibleName,
                     const QString& text);
QLabel* label(QWidget* parent, const QString& caption, const QString& name, QWidget* buddy);
QGroupBox* frame(QWidget* parent, const QString& caption, const QString& name);
QWidget* page(const QString& name, const QString& caption); // a tab's page

// Widgets side by side from the left; the rest of the row stays empty.
QHBoxLayout* leftRow(std::initializer_list<QWidget*> widgets);
// Rows stacked from the top of `page`; the rest of the page stays empty.
void topRows(QWidget* page, std::initializer_list<QLayout*> rows);

} // namespace controls
