#include "app/TransferSession.h"
#include "app/frmMain.h"
#include "protocol/UploadEngine.h"
#include "serial/Wire.h"

#include <QLineEdit>
#include <QRadioButton>

// "Upload" on tab "Upload": reads PLU records from the scale into the PLU table. The table
// and the "Source" box change only once the scale has replied.

void frmMain::cmdPLUUpload_Click() {
    if (!link_)
        return; // no port was ever opened: the button is disabled
    const std::unique_ptr<TransferSession> session = TransferSession::begin(*this);
    if (!session)
        return;
    Wire wire(*link_, *clock_, &session->abort());
    UploadEngine engine(wire, plu_,
                        {[this](const QString& text) { showStatus(text); },
                         [&session](int asked, int total) { session->setProgress(asked, total); },
                         [this] { setSourcePath(QStringLiteral("?")); }});
    engine.run({optUpOnePLU->isChecked(), txtUpOnePluNo->text()});
}
