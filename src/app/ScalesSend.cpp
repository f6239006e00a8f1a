#include "app/ScalesSend.h"

#include "app/frmMain.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// The options of one frame of the "Download" tab, found by their names: the "Scales" tab
// sends what the download button beside them would send.
DownloadSelection selectionOf(const frmMain& window, const QString& kind, const QString& box) {
    const auto checked = [&](const QString& option) {
        const auto* button = window.findChild<QRadioButton*>(option);
        return button && button->isChecked();
    };
    const auto text = [&](const QString& name) {
        const auto* edit = window.findChild<QLineEdit*>(name);
        return edit ? edit->text() : QString();
    };
    DownloadSelection selection;
    if (checked(QStringLiteral("optDownOne") + kind))
        selection.choice = DownloadChoice::One;
    else if (checked(QStringLiteral("optDownMultiple") + kind))
        selection.choice = DownloadChoice::Multiple;
    selection.oneNo = text(QStringLiteral("txtDownOne%1No").arg(box));
    selection.startNo = text(QStringLiteral("txtDownStart%1No").arg(box));
    selection.endNo = text(QStringLiteral("txtDownEnd%1No").arg(box));
    return selection;
}

template <typename TableT>
std::optional<DownloadPlan> plan(frmMain& window, TableT& table, const DownloadSelection& sel) {
    if (!window.settleBeforeDownload(table))
        return std::nullopt;
    DownloadPlan plan = planDownload(table, window.sourcePath(), sel);
    if (plan.refused()) {
        window.showStatus(plan.refusal);
        return std::nullopt;
    }
    return plan;
}

} // namespace

std::optional<DownloadPlan> planFromDownloadTab(frmMain& window, PluTable& table) {
    return plan(window, table, selectionOf(window, QStringLiteral("PLU"), QStringLiteral("Plu")));
}

std::optional<DownloadPlan> planFromDownloadTab(frmMain& window, IngredTable& table) {
    return plan(window, table,
                selectionOf(window, QStringLiteral("INGRED"), QStringLiteral("Ingred")));
}

DownloadChecks pluChecksFromDownloadTab(const frmMain& window) {
    const auto ticked = [&](const QString& name) {
        const auto* button = window.findChild<QAbstractButton*>(name);
        return button && button->isChecked();
    };
    DownloadChecks checks;
    checks.verify = ticked(QStringLiteral("chkDownVerifyPLU"));
    if (ticked(QStringLiteral("optDownAllPLU")) && ticked(QStringLiteral("chkDownBackupPLU"))) {
        checks.backupDir = window.backupFolder();
        checks.now = QDateTime::currentDateTime();
    }
    return checks;
}
