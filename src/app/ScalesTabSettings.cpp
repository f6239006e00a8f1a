#include "app/AppInfo.h"
#include "app/ScalesTab.h"
#include "jobs/ScaleList.h"

#include <QSettings>
#include <QTreeWidget>

// The list of tab "Scales" and its ticks, kept in the operator's settings.

namespace {

enum Column { ColName, ColPort };

std::unique_ptr<QSettings> userSettings() {
    return std::make_unique<QSettings>(appinfo::productName(), appinfo::productName());
}

} // namespace

void ScalesTab::load() {
    const auto settings = userSettings();
    const int count = settings->beginReadArray(QStringLiteral("Scales"));
    QList<ScaleEntry> kept;
    for (int i = 0; i < count; ++i) {
        settings->setArrayIndex(i);
        const ScaleEntry entry{settings->value(QStringLiteral("name")).toString(),
                               settings->value(QStringLiteral("port")).toString()};
        // Settings edited by hand may hold what the dialog would refuse; such a row is left out.
        if (!scaleEntryProblem(entry, kept).isEmpty())
            continue;
        kept.append(entry);
        addRow(entry, settings->value(QStringLiteral("ticked"), true).toBool());
    }
    settings->endArray();
}

void ScalesTab::save() const {
    const auto settings = userSettings();
    settings->remove(QStringLiteral("Scales"));
    settings->beginWriteArray(QStringLiteral("Scales"));
    for (int i = 0; i < grdScales_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = grdScales_->topLevelItem(i);
        settings->setArrayIndex(i);
        settings->setValue(QStringLiteral("name"), row->text(ColName));
        settings->setValue(QStringLiteral("port"), row->text(ColPort));
        settings->setValue(QStringLiteral("ticked"), row->checkState(ColName) == Qt::Checked);
    }
    settings->endArray();
}
