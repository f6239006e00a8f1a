#include "app/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QWidget>

namespace {

// The patterns between the parentheses of a filter: "PLU file (*.plu *.PLU)" -> *.plu, *.PLU
QStringList patternsOf(const QString& filter) {
    static const QRegularExpression inParentheses(QStringLiteral("\\(([^)]*)\\)"));
    const QRegularExpressionMatch match = inParentheses.match(filter);
    return match.hasMatch() ? match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                            : QStringList();
}

std::optional<QString> platformDialog(QWidget* parent, FileDialog::Mode mode, const QString& filter,
                                      const QString& startPath) {
    const QString path =
        mode == FileDialog::Mode::Open
            ? QFileDialog::getOpenFileName(parent, QString(), startPath, filter)
            : QFileDialog::getSaveFileName(parent, QString(), startPath, filter, nullptr,
                                           QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace

FileDialog::FileDialog(QWidget* parent) : QObject(parent) {
    setObjectName(QStringLiteral("dlgFile"));
    chooser_ = [parent](Mode mode, const QString& filter, const QString& startPath) {
        return platformDialog(parent, mode, filter, startPath);
    };
}

std::optional<QString> FileDialog::getOpenFileName(const QString& filter) {
    return choose(Mode::Open, filter);
}

std::optional<QString> FileDialog::getSaveFileName(const QString& filter) {
    return choose(Mode::Save, filter);
}

std::optional<QString> FileDialog::choose(Mode mode, const QString& filter) {
    const std::optional<QString> path = chooser_(mode, filter, startPathFor(filter));
    if (path && !path->isEmpty())
        lastPath_ = *path;
    return path && !path->isEmpty() ? path : std::nullopt;
}

// The last file is preselected only where the filter shows it: a PLU file offered in the
// save dialog of the ingredient table would invite saving the messages under its name.
QString FileDialog::startPathFor(const QString& filter) const {
    if (lastPath_.isEmpty())
        return QString();
    const QFileInfo last(lastPath_);
    if (QDir::match(patternsOf(filter), last.fileName()))
        return lastPath_;
    return last.absolutePath();
}
