#pragma once

#include <QWidget>

class GridView;
class QLineEdit;
class QPushButton;

// The find bar below a grid, shown by Ctrl+F: Enter (or "Next", or F3) moves the grid's
// cursor to the next match, Escape closes the bar and returns to the grid.
class FindBar : public QWidget {
    Q_OBJECT
public:
    FindBar(GridView* grid, QWidget* parent = nullptr);

    QLineEdit* box() const { return txtFind; }
    void open(); // shows the bar with the box's text selected

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void findNext();
    void close();

    GridView* grid_;
    QLineEdit* txtFind = nullptr;
    QPushButton* cmdFindNext = nullptr;
};
