#include "app/LineLogPane.h"

#include "files/FileBytes.h"
#include "serial/LineLog.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kAllPorts = QStringLiteral("All ports");
} // namespace

LineLogPane::LineLogPane(LineLog& log, std::function<std::optional<QString>()> choosePath,
                         QWidget* parent)
    : QDockWidget(QStringLiteral("Line log"), parent), log_(log),
      choosePath_(std::move(choosePath)) {
    setObjectName(QStringLiteral("dockLineLog"));

    view_ = new QPlainTextEdit;
    view_->setObjectName(QStringLiteral("txtLineLog"));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap); // the columns stay columns
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setMaximumBlockCount(log.capacity()); // no more than the log itself keeps
    view_->setAccessibleName(QStringLiteral("Line log"));
    port_ = new QComboBox;
    port_->setObjectName(QStringLiteral("cboLineLogPort"));
    port_->setAccessibleName(QStringLiteral("Port shown"));
    port_->addItem(kAllPorts);
    port_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (qsizetype i = 0; i < log.size(); ++i)
        add(log.at(i));
    connect(&log, &LineLog::lineAdded, view_, [this](const LineEntry& entry) { add(entry); });
    connect(&log, &LineLog::cleared, view_, [this] {
        view_->clear();
        port_->clear();
        port_->addItem(kAllPorts);
    });
    connect(port_, &QComboBox::currentIndexChanged, this, &LineLogPane::showPort);

    auto* save = new QPushButton(QStringLiteral("Save..."));
    save->setObjectName(QStringLiteral("cmdLineLogSave"));
    connect(save, &QPushButton::clicked, this, &LineLogPane::save);
    auto* clear = new QPushButton(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("cmdLineLogClear"));
    connect(clear, &QPushButton::clicked, this, [this] { log_.clear(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(port_);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(clear);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    setWidget(content);
}

void LineLogPane::save() {
    const std::optional<QString> path = choosePath_();
    if (!path)
        return;
    const QString text = port_->currentIndex() == 0 ? log_.text() : view_->toPlainText() + u'\n';
    const QString error = writeFileAtomically(*path, text.toUtf8());
    Q_EMIT statusText(error.isEmpty() ? QStringLiteral("Line log saved to %1").arg(*path)
                                      : QStringLiteral("Cannot save \"%1\": %2").arg(*path, error));
}

bool LineLogPane::shown(const LineEntry& entry) const {
    return port_->currentIndex() <= 0 || entry.port == port_->currentText();
}

void LineLogPane::add(const LineEntry& entry) {
    if (port_->findText(entry.port, Qt::MatchExactly) < 0)
        port_->addItem(entry.port);
    if (shown(entry))
        view_->appendPlainText(lineText(entry));
}

void LineLogPane::showPort() {
    view_->clear();
    for (qsizetype i = 0; i < log_.size(); ++i)
        if (shown(log_.at(i)))
            view_->appendPlainText(lineText(log_.at(i)));
}
