#include "app/GridView.h"
#include "app/TablePane.h"
#include "app/frmMain.h"

#include <QLineEdit>
#include <QRadioButton>

// "Upload" on tab "Upload": reads PLU records from the scale into the PLU table. The records
// arrive in the job's own table, which the grid shows from the scale's first accepted reply
// on; the operator's table and the "Source" box change only then, and nothing else can write
// into the table being filled.

void frmMain::cmdPLUUpload_Click() {
    if (!link_ || lineBusy())
        return; // no port was ever opened (the button is disabled), or the line is in use
    LineJobHooks hooks;
    hooks.prepare = [this](ScaleJob& job) {
        connect(&job, &ScaleJob::uploadTableReplaced, this, [this, &job] {
            pluPane_->grid()->setGrid(&job.uploadedTable()->grid);
            setSourcePath(QStringLiteral("?"));
        });
    };
    hooks.ended = [this](const ScaleJob& job) {
        if (job.upload().tableReplaced) {
            const PluTable& received = *job.uploadedTable();
            plu_.reset();
            plu_.grid.setAll(received.grid.all());
            plu_.records = received.records;
            plu_.count = received.count;
        }
        pluPane_->grid()->setGrid(&plu_.grid);
    };
    startLineJob(UploadWork{{optUpOnePLU->isChecked(), txtUpOnePluNo->text()}},
                 TransferSession::Kind::Transfer, std::move(hooks));
}
