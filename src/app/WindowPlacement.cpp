#include "app/GridView.h"
#include "app/TablePane.h"
#include "app/frmMain.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTabWidget>

// The window's size and place: wide enough to show every column of every grid, and as the
// operator left it.

namespace {
const QString kGeometryKey = QStringLiteral("window/geometry");
constexpr int kDefaultWidth = 1040;
constexpr int kDefaultHeight = 680;

// The width of every column, the row numbers, the frame and a vertical scroll bar.
int fullWidth(const GridView* grid) {
    return grid->verticalHeader()->sizeHint().width() + grid->horizontalHeader()->length() +
           2 * grid->frameWidth() + grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}
} // namespace

QSize frmMain::fittingSize(const QSize& available) const {
    // Around a grid: the tab page's and the central widget's margins and the tab frame.
    const int margins = 4 * style()->pixelMetric(QStyle::PM_LayoutLeftMargin) +
                        4 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
    int widest = 0;
    for (const TablePane* pane : panes())
        widest = qMax(widest, fullWidth(pane->grid()));
    const int wanted = widest + margins;
    // Leave room for the window's own frame, which the window manager adds.
    const QSize room = available - QSize(16, 48);
    return {qBound(qMin(kDefaultWidth, room.width()), wanted, qMax(room.width(), 0)),
            qMin(kDefaultHeight, qMax(room.height(), 0))};
}

void frmMain::restorePlacement(QSettings& settings) {
    const QByteArray geometry = settings.value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry); // moved back onto a screen if it would lie off every one
}

void frmMain::savePlacement(QSettings& settings) const {
    settings.setValue(kGeometryKey, saveGeometry());
}
