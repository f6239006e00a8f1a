#include "serial/LineLog.h"

#include <QLatin1Char>

#include <algorithm>

namespace {

constexpr int kTimeWidth = 10;
constexpr int kStepWidth = 15; // "acknowledgement"

QString secondsText(qint64 ms) {
    // Whole milliseconds in integers, so no rounding can show 0.999 as 1.000.
    const QString text =
        QStringLiteral("%1.%2").arg(ms / 1000).arg(qAbs(ms % 1000), 3, 10, QLatin1Char('0'));
    return text.rightJustified(kTimeWidth);
}

QLatin1Char arrow(LineDirection direction) {
    switch (direction) {
    case LineDirection::ToScale:
        return QLatin1Char('>');
    case LineDirection::FromScale:
        return QLatin1Char('<');
    case LineDirection::Event:
        break;
    }
    return QLatin1Char('*');
}

} // namespace

QString stepName(LineStep step) {
    switch (step) {
    case LineStep::Sync:
        return QStringLiteral("sync");
    case LineStep::Command:
        return QStringLiteral("command");
    case LineStep::Number:
        return QStringLiteral("number");
    case LineStep::Record:
        return QStringLiteral("record");
    case LineStep::Acknowledgement:
        return QStringLiteral("acknowledgement");
    case LineStep::Reply:
        return QStringLiteral("reply");
    case LineStep::Pause:
        return QStringLiteral("pause");
    case LineStep::Reopen:
        return QStringLiteral("reopen");
    }
    return {};
}

QString lineText(const LineEntry& entry) {
    QString text = secondsText(entry.ms) + QLatin1Char(' ') + entry.port + QLatin1Char(' ') +
                   stepName(entry.step).leftJustified(kStepWidth) + QLatin1Char(' ') +
                   arrow(entry.direction) + QLatin1String("  ") +
                   QString::fromLatin1(entry.bytes.toHex(' ').toUpper());
    if (entry.note.isEmpty())
        return text;
    if (!entry.bytes.isEmpty())
        text += QLatin1Char(' ');
    if (entry.direction == LineDirection::Event)
        return text + entry.note;
    return text + QLatin1Char('(') + entry.note + QLatin1Char(')');
}

LineLog::LineLog(int capacity, QObject* parent)
    : QObject(parent), capacity_(std::max(capacity, 1)) {}

void LineLog::add(LineEntry entry) {
    if (lines_.size() >= std::size_t(capacity_)) {
        lines_.pop_front();
        ++dropped_;
    }
    lines_.push_back(std::move(entry));
    Q_EMIT lineAdded(lines_.back());
}

void LineLog::clear() {
    lines_.clear();
    dropped_ = 0;
    Q_EMIT cleared();
}

QString LineLog::text() const {
    QString text;
    if (dropped_ > 0)
        text += QStringLiteral("# %1 earlier lines dropped\n").arg(dropped_);
    for (const LineEntry& entry : lines_)
        text += lineText(entry) + QLatin1Char('\n');
    return text;
}
