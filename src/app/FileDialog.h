#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// The one file dialog of the window (dlgFile), shared by every file command. It remembers the
// path last chosen, so the next dialog starts in that folder. A cancelled dialog gives no
// path. Paths are used exactly as chosen: no extension is added, and saving over an existing
// file does not ask.
class FileDialog : public QObject {
    Q_OBJECT
public:
    enum class Mode { Open, Save };

    // Shows a dialog and returns the chosen path, or nothing when it was cancelled.
    // `startPath` is a folder, or a file in it to preselect.
    using Chooser = std::function<std::optional<QString>(Mode mode, const QString& filter,
                                                         const QString& startPath)>;

    explicit FileDialog(QWidget* parent);

    std::optional<QString> getOpenFileName(const QString& filter);
    std::optional<QString> getSaveFileName(const QString& filter);

    QString lastPath() const { return lastPath_; }

    // Replaces the platform dialog, so tests can answer it without showing one.
    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

private:
    std::optional<QString> choose(Mode mode, const QString& filter);
    QString startPathFor(const QString& filter) const;

    QString lastPath_;
    Chooser chooser_;
};
