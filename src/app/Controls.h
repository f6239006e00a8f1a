#pragma once

#include <QString>

class QGroupBox;
class QLabel;
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

} // namespace controls
