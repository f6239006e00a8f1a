#include "app/StatusBar.h"

#include "app/StatusPanel.h"

#include <QLabel>
#include <QLocale>
#include <QRegularExpression>

namespace {

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
    statusPanel_ = new StatusPanel(QStringLiteral("Status"), QStringLiteral("StatusPanel"), this);
    datePanel_ = new StatusPanel(QStringLiteral("Date"), QStringLiteral("DatePanel"), this);
    timePanel_ = new StatusPanel(QStringLiteral("Time"), QStringLiteral("TimePanel"), this);
    addWidget(statusPanel_, 1);
    addPermanentWidget(datePanel_);
    addPermanentWidget(timePanel_);

    clockTimer_.setSingleShot(true);
    connect(&clockTimer_, &QTimer::timeout, this, &StatusBar::refreshClock);
    refreshClock();
}

void StatusBar::setStatusText(const QString& text) {
    statusPanel_->setPanelText(text);
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
    datePanel_->setPanelText(locale.toString(now.date(), QLocale::ShortFormat));
    timePanel_->setPanelText(locale.toString(now.time(), minuteFormat(locale)));
    // Wake just after the minute turns (the panels show no seconds).
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    clockTimer_.start(60 * 1000 - intoMinute + 50);
}
