#include "app/LineLogPane.h"

#include "files/FileBytes.h"
#include "serial/LineLog.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
    for (qsizetype i = 0; i < log.size(); ++i)
        view_->appendPlainText(lineText(log.at(i)));
    connect(&log, &LineLog::lineAdded, view_,
            [this](const LineEntry& entry) { view_->appendPlainText(lineText(entry)); });
    connect(&log, &LineLog::cleared, view_, &QPlainTextEdit::clear);

    auto* save = new QPushButton(QStringLiteral("Save..."));
    save->setObjectName(QStringLiteral("cmdLineLogSave"));
    connect(save, &QPushButton::clicked, this, &LineLogPane::save);
    auto* clear = new QPushButton(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("cmdLineLogClear"));
    connect(clear, &QPushButton::clicked, this, [this] { log_.clear(); });

    auto* buttons = new QHBoxLayout;
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
    const QString error = writeFileAtomically(*path, log_.text().toUtf8());
    Q_EMIT statusText(error.isEmpty() ? QStringLiteral("Line log saved to %1").arg(*path)
                                      : QStringLiteral("Cannot save \"%1\": %2").arg(*path, error));
}
