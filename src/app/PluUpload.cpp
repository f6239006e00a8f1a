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

namespace {

async::Task<void> upload(frmMain& window, GridView& grid, UploadSelection selection) {
    const std::unique_ptr<TransferSession> session = TransferSession::begin(window);
    if (!session)
        co_return;
    auto received = std::make_unique<PluTable>(); // 601 records: too big for a frame
    Wire wire(*window.link(), window.clock(), &session->abort());
    wire.setLog(&window.lineLog());
    UploadEngine engine(
        wire, *received,
        {[&window](const QString& text) { window.showStatus(text); },
         [session = session.get()](int asked, int total) { session->setProgress(asked, total); },
         [&window, &grid, table = received.get()] {
             grid.setGrid(&table->grid);
             window.setSourcePath(QStringLiteral("?"));
         }});
    const UploadResult result = co_await engine.run(std::move(selection));
    PluTable& plu = window.pluTable();
    if (result.tableReplaced) {
        plu.reset();
        plu.grid.setAll(received->grid.all());
        plu.records = received->records;
        plu.count = received->count;
    }
    grid.setGrid(&plu.grid);
}

} // namespace

void frmMain::cmdPLUUpload_Click() {
    if (!link_ || lineBusy())
        return; // no port was ever opened (the button is disabled), or the line is in use
    lineJob_ = upload(*this, *grdPLU, {optUpOnePLU->isChecked(), txtUpOnePluNo->text()});
}
