#pragma once

#include <QDockWidget>

#include <functional>
#include <optional>

class LineLog;
struct LineEntry;
class QComboBox;
class QPlainTextEdit;

// The "Line log" pane: the window's line log as text, newest line last, with "Save..." (a
// text file, written whole or not at all) and "Clear". It follows the log as lines come.
// While several scales run, the port box shows one scale's lines; "Save..." writes what the
// pane shows.
class LineLogPane : public QDockWidget {
    Q_OBJECT
public:
    // `choosePath` asks where to save (the window's file dialog); nothing when cancelled.
    LineLogPane(LineLog& log, std::function<std::optional<QString>()> choosePath, QWidget* parent);

Q_SIGNALS:
    void statusText(const QString& text);

private:
    void save();
    void showPort(); // the view anew, for the port chosen
    bool shown(const LineEntry& entry) const;
    void add(const LineEntry& entry);

    LineLog& log_;
    std::function<std::optional<QString>()> choosePath_;
    QPlainTextEdit* view_ = nullptr;
    QComboBox* port_ = nullptr; // "All ports", then each port in the log
};
