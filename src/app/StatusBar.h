#pragma once

#include <QDateTime>
#include <QStatusBar>
#include <QTimer>

#include <functional>

class StatusPanel;

// The window's status bar: the status panel (first and widest, the program's one channel for
// progress and error texts), then the current date and the current time, which the bar keeps
// up to date itself by waking at each new minute.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent = nullptr);

    // A new text replaces the old one; nothing else clears it.
    void setStatusText(const QString& text);
    QString statusText() const;

    StatusPanel* statusPanel() const { return statusPanel_; }
    StatusPanel* datePanel() const { return datePanel_; }
    StatusPanel* timePanel() const { return timePanel_; }

    // Where the date and time come from (tests put a fixed clock here).
    void setClock(std::function<QDateTime()> now);
    const QTimer& clockTimer() const { return clockTimer_; }
    void refreshClock(); // shows the date and time, then sleeps until the next minute

Q_SIGNALS:
    void statusTextChanged(const QString& text); // every text shown, even a repeated one

private:
    StatusPanel* statusPanel_;
    StatusPanel* datePanel_;
    StatusPanel* timePanel_;
    QTimer clockTimer_;
    std::function<QDateTime()> now_;
};
