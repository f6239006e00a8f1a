#include "app/GridView.h"

#include "app/EditHistory.h"
#include "tables/NumberText.h"
#include "tables/TextGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace {
constexpr int kRowHeight = 20; // 300 twips at 96 dpi

// A typed character opens the edit box with that character; the control characters
// (codes 0 to 32: Enter, Backspace, Escape, Space, ...) open it with the cell's text.
enum class Typed { Nothing, Control, Printable };

Typed typedCharacter(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return Typed::Nothing;
    // Ctrl, Alt and Meta combinations are shortcuts (copy, menus), not typing; Ctrl+Alt is
    // how some keyboards produce their third-level characters.
    const auto held =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held && held != (Qt::ControlModifier | Qt::AltModifier))
        return Typed::Nothing;
    const QChar first = text.at(0);
    if (first.unicode() <= 32)
        return Typed::Control;
    if (first.isPrint() || first.isSurrogate())
        return Typed::Printable;
    return Typed::Nothing; // Delete and other non-printing codes
}

// Ctrl+Tab and Ctrl+Page Up/Down switch the window's tabs; a table view would take them.
bool switchesTabs(const QKeyEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}
} // namespace

// The edit box passes Enter, Escape and Down arrow to its grid and keeps every other key to
// itself, so that keys a line edit ignores (Up, Page Up, ...) do not move the grid's cursor.
class GridView::EditBox : public QLineEdit {
public:
    explicit EditBox(GridView* view) : QLineEdit(view->viewport()), view_(view) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!view_->editBoxKeyDown(event))
            QLineEdit::keyPressEvent(event);
        event->accept();
    }

private:
    GridView* view_;
};

GridView::GridView(const QString& gridName, const QString& editBoxName, int rowLimit,
                   const QString& rowLimitMessage, QWidget* parent)
    : QTableView(parent), limits_{rowLimit, rowLimitMessage} {
    setObjectName(gridName);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    // The box stays over its cell while rows and columns are resized.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &GridView::placeEditBox);
    connect(verticalHeader(), &QHeaderView::sectionResized, this, &GridView::placeEditBox);

    // The corner above the row numbers shows the text of grid cell (0, 0).
    corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (corner_)
        corner_->installEventFilter(this);

    editBox_ = new EditBox(this);
    editBox_->setObjectName(editBoxName);
    editBox_->setFrame(false);
    editBox_->hide();
    createActions();
}

GridView::~GridView() {
    delete editBox_;
}

void GridView::setGrid(TextGrid* grid) {
    if (grid == grid_)
        return;
    discardEdit();
    for (const QMetaObject::Connection& connection : std::as_const(gridConnections_))
        disconnect(connection);
    grid_ = grid;
    setModel(grid);
    if (!grid)
        return;
    gridConnections_ = {
        connect(grid, &QAbstractItemModel::modelReset, this, &GridView::applyColumnWidths),
        // A reload replaces every cell: an edit begun before it belongs to data that is gone.
        connect(grid, &QAbstractItemModel::modelAboutToBeReset, this, &GridView::discardEdit),
        connect(grid, &QAbstractItemModel::rowsRemoved, this, &GridView::dropEditIfCellGone),
        connect(grid, &QAbstractItemModel::columnsRemoved, this, &GridView::dropEditIfCellGone),
        connect(grid, &QAbstractItemModel::headerDataChanged, this,
                [this] {
                    if (corner_)
                        corner_->update();
                }),
    };
    applyColumnWidths();
}

void GridView::applyColumnWidths() {
    if (!grid_)
        return;
    const QFontMetrics metrics(font());
    const int padding = 2 * metrics.horizontalAdvance(QLatin1Char(' '));
    for (int c = 1; c < grid_->cols(); ++c) {
        const QString segment(grid_->segmentWidth(c), QLatin1Char('0'));
        setColumnWidth(c - 1, metrics.horizontalAdvance(segment) + padding);
    }
    verticalHeader()->setMinimumWidth(
        metrics.horizontalAdvance(QString(qMax(grid_->segmentWidth(0), 3), QLatin1Char('0'))) +
        padding);
}

QModelIndex GridView::cellIndex(int row, int col) const {
    return grid_ ? grid_->index(row - 1, col - 1) : QModelIndex();
}

void GridView::ensureCurrentCell() {
    if (grid_ && !currentIndex().isValid())
        setCurrentIndex(cellIndex(1, 1));
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (switchesTabs(event)) {
        event->ignore(); // passed on to the tab control
        return;
    }
    const Typed typed = grid_ ? typedCharacter(event) : Typed::Nothing;
    if (typed == Typed::Nothing) {
        QTableView::keyPressEvent(event); // arrows, Tab, paging, shortcuts
        return;
    }
    ensureCurrentCell();
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    openEditBox(typed == Typed::Printable ? event->text()
                                          : grid_->text(gridRow(current), gridCol(current)));
    event->accept();
}

void GridView::inputMethodEvent(QInputMethodEvent* event) {
    // Text composed through an input method arrives here instead of as a key press.
    if (!grid_ || event->commitString().isEmpty()) {
        QTableView::inputMethodEvent(event);
        return;
    }
    ensureCurrentCell();
    if (currentIndex().isValid())
        openEditBox(event->commitString());
    event->accept();
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!grid_ || event->button() != Qt::LeftButton || !index.isValid()) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    setCurrentIndex(index);
    openEditBox(grid_->text(gridRow(index), gridCol(index)));
    event->accept();
}

void GridView::focusInEvent(QFocusEvent* event) {
    commitEdit();
    QTableView::focusInEvent(event);
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The box still belongs to the cell being left, so its text lands there.
    commitEdit();
    QTableView::currentChanged(current, previous);
}

void GridView::updateEditorGeometries() {
    QTableView::updateEditorGeometries();
    placeEditBox();
}

void GridView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    placeEditBox();
}

void GridView::openEditBox(const QString& text) {
    commitEdit();
    editIndex_ = currentIndex();
    editing_ = true;
    scrollTo(editIndex_);
    // The box lives beside the view, not inside it: a table view shows screen readers its
    // cells only, so a box inside it would not be in their tree at all.
    if (parentWidget() && editBox_->parentWidget() != parentWidget())
        editBox_->setParent(parentWidget());
    editBox_->setAccessibleName(
        QStringLiteral("%1 %2, row %3")
            .arg(accessibleName(),
                 model()->headerData(editIndex_.column(), Qt::Horizontal).toString().trimmed(),
                 model()->headerData(editIndex_.row(), Qt::Vertical).toString().trimmed()));
    editBox_->setText(text);
    editBox_->setCursorPosition(int(text.size()));
    placeEditBox();
    editBox_->show();
    editBox_->raise();
    editBox_->setFocus(Qt::OtherFocusReason);
}

void GridView::placeEditBox() {
    if (!editing_ || !editIndex_.isValid())
        return;
    QRect cell = visualRect(editIndex_).intersected(viewport()->rect());
    QWidget* host = editBox_->parentWidget();
    if (host != viewport())
        cell.moveTopLeft(viewport()->mapTo(host, cell.topLeft()));
    editBox_->setGeometry(cell);
}

void GridView::closeEditBox() {
    editing_ = false;
    editIndex_ = QPersistentModelIndex();
    // Hand the focus to the grid before hiding the box: a focused widget that is hidden passes
    // the focus on like Tab would, and in a table view Tab moves the cursor.
    if (editBox_->hasFocus() || window()->focusWidget() == editBox_)
        setFocus(Qt::OtherFocusReason);
    editBox_->hide();
}

void GridView::commitEdit() {
    if (!editing_)
        return;
    const QModelIndex cell = editIndex_;
    const QString text = editBox_->text();
    closeEditBox();
    if (cell.isValid())
        applyEdit(setCellsEdit(*grid_, {{gridRow(cell), gridCol(cell), QString(), text}}),
                  QStringLiteral("Typing"));
}

void GridView::discardEdit() {
    if (editing_)
        closeEditBox();
}

void GridView::dropEditIfCellGone() {
    if (editing_ && !editIndex_.isValid())
        discardEdit();
}

bool GridView::editBoxKeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Down: // commit and stay on the cell
        commitEdit();
        return true;
    case Qt::Key_Escape:
        discardEdit();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enterPressed();
        return true;
    default:
        return false;
    }
}

// Enter commits and moves to the next cell in reading order. Leaving the last column adds
// empty numbered rows at the bottom so that at least one row stays below the new current
// row; the row-limit row takes no edit at all.
void GridView::enterPressed() {
    if (!editIndex_.isValid()) {
        discardEdit();
        return;
    }
    const int row = gridRow(editIndex_);
    const int col = gridCol(editIndex_);
    if (row == limits_.rowLimit) {
        Q_EMIT statusText(limits_.rowLimitMessage);
        discardEdit();
        return;
    }
    commitEdit();
    if (col != grid_->cols() - 1) {
        setCurrentIndex(cellIndex(row, col + 1));
        return;
    }
    const int rows = grid_->rows();
    if (row == rows - 2)
        addNumberedRows(1);
    else if (row == rows - 1)
        addNumberedRows(2);
    setCurrentIndex(cellIndex(row + 1, 1));
}

void GridView::addNumberedRows(int count) {
    const int first = grid_->rows();
    grid_->setRows(first + count);
    for (int row = first; row < first + count; ++row) {
        grid_->setText(row, 0, decimalText(row));
        setRowHeight(row - 1, kRowHeight);
    }
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::Paint) {
        paintCorner(corner_);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

// Draws the corner as an ordinary header section carrying the text of cell (0, 0).
void GridView::paintCorner(QAbstractButton* corner) {
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.state = QStyle::State_None;
    if (corner->isEnabled())
        option.state |= QStyle::State_Enabled;
    if (corner->isActiveWindow())
        option.state |= QStyle::State_Active;
    if (corner->isDown())
        option.state |= QStyle::State_Sunken;
    option.rect = corner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    if (grid_) {
        option.text = grid_->text(0, 0);
        option.textAlignment = grid_->alignment(0) | Qt::AlignVCenter;
    }
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}
