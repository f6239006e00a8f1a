#include "app/StatusBar.h"

#include <QLabel>
#include <QLocale>
#include <QRegularExpression>

namespace {

QLabel* makePanel(QWidget* parent, const QString& objectName, const QString& accessibleName) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(objectName);
    panel->setAccessibleName(accessibleName);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    return panel;
}

// The locale's short time format without seconds: the panel changes once a minute.
QString minuteFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QRegularExpression(QStringLiteral("[:.]ss?")));
    return format;
}

} // namespace

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent), now_([] { return QDateTime::currentDateTime(); }) {
    setObjectName(QStringLiteral("StatusBar"));
    statusPanel_ = makePanel(this, QStringLiteral("StatusPanel"), QStringLiteral("Status"));
    statusPanel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    datePanel_ = makePanel(this, QStringLiteral("DatePanel"), QStringLiteral("Date"));
    timePanel_ = makePanel(this, QStringLiteral("TimePanel"), QStringLiteral("Time"));
    addWidget(statusPanel_, 1);
    addPermanentWidget(datePanel_);
    addPermanentWidget(timePanel_);

    clockTimer_.setSingleShot(true);
    connect(&clockTimer_, &QTimer::timeout, this, &StatusBar::refreshClock);
    refreshClock();
}

void StatusBar::setStatusText(const QString& text) {
    statusPanel_->setText(text);
    // Screen readers read the panel by its name "Status"; its text is the description.
    statusPanel_->setAccessibleDescription(text);
    Q_EMIT statusTextChanged(text);
}

QString StatusBar::statusText() const {
    return statusPanel_->text();
}

void StatusBar::setClock(std::function<QDateTime()> now) {
    now_ = std::move(now);
    refreshClock();
}

void StatusBar::refreshClock() {
    const QDateTime now = now_();
    const QLocale locale;
    datePanel_->setText(locale.toString(now.date(), QLocale::ShortFormat));
    timePanel_->setText(locale.toString(now.time(), minuteFormat(locale)));
    // Wake just after the minute turns (the panels show no seconds).
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    clockTimer_.start(60 * 1000 - intoMinute + 50);
}
