#include "app/GridView.h"
#include "app/TransferSession.h"
#include "app/frmMain.h"
#include "protocol/UploadEngine.h"
#include "serial/Wire.h"

#include <QLineEdit>
#include <QRadioButton>

// "Upload" on tab "Upload": reads PLU records from the scale into the PLU table. The records
// arrive in a table of the upload's own, which the grid shows from the scale's first accepted
// reply on; the operator's table and the "Source" box change only then, and nothing else can
// write into the table being filled.

void frmMain::cmdPLUUpload_Click() {
    if (!link_)
        return; // no port was ever opened: the button is disabled
    const std::unique_ptr<TransferSession> session = TransferSession::begin(*this);
    if (!session)
        return;
    auto received = std::make_unique<PluTable>(); // 601 records: too big for the stack
    Wire wire(*link_, *clock_, &session->abort());
    UploadEngine engine(wire, *received,
                        {[this](const QString& text) { showStatus(text); },
                         [&session](int asked, int total) { session->setProgress(asked, total); },
                         [this, &received] {
                             grdPLU->setGrid(&received->grid);
                             setSourcePath(QStringLiteral("?"));
                         }});
    const UploadResult result = engine.run({optUpOnePLU->isChecked(), txtUpOnePluNo->text()});
    if (result.tableReplaced) {
        plu_.reset();
        plu_.grid.setAll(received->grid.all());
        plu_.records = received->records;
        plu_.count = received->count;
    }
    grdPLU->setGrid(&plu_.grid);
}
