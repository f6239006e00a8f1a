#pragma once

#include "async/Task.h"
#include "journal/Entries.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class SendHistoryModel;

// View > "Send history": the rows sent to the scales, newest first, as the send journal
// recorded them; filtered by scale, PLU and period, and saved whole as a .csv file. It also
// shows which journal the window uses and lets the operator choose another.
class SendHistoryDialog : public QDialog {
    Q_OBJECT
public:
    // The window's journal setting and how to ask for a file (the window's file dialog,
    // given a filter; nothing when cancelled).
    struct Hooks {
        std::function<QString()> journalPath;
        std::function<void(const QString&)> setJournalPath;
        std::function<std::optional<QString>(const QString& filter)> choosePath;
    };
    SendHistoryDialog(Hooks hooks, QWidget* parent);

    // Shows the dialog with the journal read anew.
    void showHistory();

    // At most this many rows are listed; "Save as CSV" writes every one that matches, this
    // many at a time, the window taking clicks and repainting in between.
    static constexpr int kShownRows = 10000;
    static constexpr int kSavedRowsAtOnce = 1000;

Q_SIGNALS:
    void statusText(const QString& text);

private:
    void refresh();
    void save();
    async::Task<void> saveRows(QString path, journal::RowFilter filter);
    void changeJournal();
    // The filters as given, or nothing after saying in the dialog what is wrong with them.
    std::optional<journal::RowFilter> filter();
    void say(const QString& text);

    Hooks hooks_;
    QLineEdit* path_ = nullptr;
    QComboBox* scale_ = nullptr;
    QLineEdit* plu_ = nullptr;
    QLineEdit* since_ = nullptr;
    QLineEdit* until_ = nullptr;
    QTableView* view_ = nullptr;
    SendHistoryModel* model_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* save_ = nullptr;
    async::Task<void> saving_; // last: it ends first, while the dialog is whole
};
