#include "app/frmAbout.h"

#include "app/AppInfo.h"
#include "app/Notices.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setAccessibleName(QStringLiteral("About %1").arg(appinfo::productName()));
    Text1->setPlainText(
        QStringLiteral("%1\nVersion %2\nPlease report problems through the %1 issue tracker.")
            .arg(appinfo::productName(), appinfo::version()) +
        QStringLiteral("\n\n") + notices::licenceText());
    const QFontMetrics metrics(Text1->font());
    Text1->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 72,
                          metrics.lineSpacing() * 12);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addLayout(buttons);
    cmdOK->setFocus();
}

void frmAbout::cmdOK_Click() {
    hide(); // ends the modal exec(); the window stays for the next "About"
}
