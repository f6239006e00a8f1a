#include "app/StatusPanel.h"

#include <QPainter>
#include <QStyle>

StatusPanel::StatusPanel(const QString& caption, const QString& objectName, QWidget* parent)
    : QLabel(parent), caption_(caption) {
    setObjectName(objectName);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setContentsMargins(4, 0, 4, 0);
    setPanelText(QString());
}

void StatusPanel::setPanelText(const QString& text) {
    setText(text);
    setToolTip(text);
    setAccessibleName(text.isEmpty() ? caption_ : caption_ + QStringLiteral(": ") + text);
    setAccessibleDescription(text);
}

QSize StatusPanel::sizeHint() const {
    // The whole text when it is short; a long one never asks for more than a fixed width.
    const QSize whole = QLabel::sizeHint();
    const int cap = fontMetrics().averageCharWidth() * 60;
    return {qMin(whole.width(), cap), whole.height()};
}

QSize StatusPanel::minimumSizeHint() const {
    const QSize whole = QLabel::minimumSizeHint();
    return {qMin(whole.width(), fontMetrics().averageCharWidth() * 8), whole.height()};
}

void StatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, int(alignment()) | Qt::TextSingleLine, palette(),
                          isEnabled(), shown, foregroundRole());
}
