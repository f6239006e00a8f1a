#pragma once

#include <QLabel>

// One panel of the status bar. Its text is shown whole when it fits and elided at the end
// when it does not, so a long port path never widens the window; the whole text is in the
// tooltip. Screen readers get "Caption: text" as the name and the text as the description.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    StatusPanel(const QString& caption, const QString& objectName, QWidget* parent);

    void setPanelText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};
