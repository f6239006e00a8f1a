#pragma once

#include "jobs/ScaleEntry.h"
#include "jobs/ScaleJob.h"
#include "serial/Clock.h"
#include "serial/LineLog.h"
#include "serial/LinkFactory.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class ScaleJobs;
class TablePane;

// What tab "Scales" needs of the window around it.
class ScalesTabHost {
public:
    virtual void showStatus(const QString& text) = 0;
    virtual QString sourcePath() const = 0;  // the "Source" box, recorded with each send
    virtual QString journalPath() const = 0; // where every job records
    virtual QString backupFolder() const = 0;
    virtual Clock& clock() const = 0;
    virtual const PortNames& portNames() const = 0;
    virtual LineLog& lineLog() = 0;                    // each line names its port
    virtual const PluTable& comparedTable() const = 0; // what "Compare" holds the scales against

protected:
    ~ScalesTabHost() = default;
};

// Tab "Scales": the store's scales, each with a tick, its name and port, and the state and
// progress of its job. The ticked scales get a table ("Send PLU", "Send INGRED": one button
// per pane, sending the rows its column on tab "Download" chooses), or have their display
// read, all at once; a scale that fails never stops the others. The list and its ticks are
// kept in the user's settings.
class ScalesTab : public QWidget {
    Q_OBJECT
public:
    ScalesTab(ScalesTabHost& host, const QList<TablePane*>& panes, QWidget* parent = nullptr);
    ~ScalesTab() override;

    QList<ScaleEntry> scales() const;
    QList<ScaleEntry> tickedScales() const;

    // Asks for a scale's name and port (by default the dialog, which refuses an entry that
    // clashes with `others`) and calls `done` with the answer; tests answer it instead.
    using EntryFunction =
        std::function<void(const ScaleEntry& start, const QList<ScaleEntry>& others,
                           std::function<void(const ScaleEntry&)> done)>;
    void setEntryFunction(EntryFunction function) { entryFunction_ = std::move(function); }

    // Asks where a file of `filter` is to be read from or written to (by default the window's
    // file dialog); nothing when the operator cancels. Tests answer it instead.
    using PathFunction =
        std::function<std::optional<QString>(bool forSaving, const QString& filter)>;
    void setPathFunction(PathFunction function) { pathFunction_ = std::move(function); }

    const ScaleJobs* jobs() const { return jobs_.get(); }
    void cancelAll(); // Exit and the window's close: every job ends, with no further byte

private:
    void addScale();
    void editScale();
    void removeScale();
    void importList();
    void exportList();
    void sendTable(TablePane& pane);
    void readDisplays();
    void compareTables();
    void showDifferences(const ScaleJob& job);
    void startJobs(const JobWork& work);
    void cancelSelected();

    void addRow(const ScaleEntry& entry, bool ticked);
    ScaleJob* jobOf(const QTreeWidgetItem* row) const;
    void updateButtons();
    void load();
    void save() const;

    ScalesTabHost& host_;
    QTreeWidget* grdScales_ = nullptr;
    QPushButton* cmdScaleAdd_ = nullptr;
    QPushButton* cmdScaleEdit_ = nullptr;
    QPushButton* cmdScaleRemove_ = nullptr;
    QPushButton* cmdScalesImport_ = nullptr;
    QPushButton* cmdScalesExport_ = nullptr;
    QList<QPushButton*> sendButtons_;           // "Send PLU", "Send INGRED"
    QCheckBox* chkScalesChangedOnly_ = nullptr; // "Only changed rows"
    QPushButton* cmdReadDisplays_ = nullptr;
    QPushButton* cmdScalesCompare_ = nullptr;
    QPushButton* cmdScaleCancel_ = nullptr;
    QPushButton* cmdScalesCancelAll_ = nullptr;
    EntryFunction entryFunction_;
    PathFunction pathFunction_;
    bool loading_ = false;
    std::unique_ptr<ScaleJobs> jobs_; // last, so running jobs end while the rows still exist
};
