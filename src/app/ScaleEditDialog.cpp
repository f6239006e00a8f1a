#include "app/ScaleEditDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPortInfo>
#include <QVBoxLayout>

ScaleEditDialog::ScaleEditDialog(const ScaleEntry& start, QList<ScaleEntry> others, QWidget* parent)
    : QDialog(parent), others_(std::move(others)) {
    setObjectName(QStringLiteral("dlgScaleEdit"));
    setWindowTitle(start.name.isEmpty() ? QStringLiteral("Add scale")
                                        : QStringLiteral("Edit scale"));
    txtScaleName_ = new QLineEdit(start.name, this);
    txtScaleName_->setObjectName(QStringLiteral("txtScaleName"));
    cboScalePort_ = new QComboBox(this);
    cboScalePort_->setObjectName(QStringLiteral("cboScalePort"));
    cboScalePort_->setEditable(true);
    QStringList ports{QStringLiteral("COM1"), QStringLiteral("COM2")};
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
#ifdef Q_OS_WIN
        ports << info.portName(); // "COM3", as the operator knows it
#else
        ports << info.systemLocation();
#endif
    ports << QStringLiteral("sim");
    cboScalePort_->addItems(ports);
    cboScalePort_->lineEdit()->setPlaceholderText(QStringLiteral("tcp://HOST:PORT"));
    cboScalePort_->setToolTip(QStringLiteral(
        "COM1, COM2, a serial device, tcp://HOST:PORT or sim (the simulated scale)"));
    cboScalePort_->setCurrentText(start.port);
    lblScaleProblem_ = new QLabel(this);
    lblScaleProblem_->setObjectName(QStringLiteral("lblScaleProblem"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ScaleEditDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ScaleEditDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name"), txtScaleName_);
    form->addRow(QStringLiteral("Port"), cboScalePort_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblScaleProblem_);
    layout->addWidget(buttons);
}

ScaleEntry ScaleEditDialog::entry() const {
    return {txtScaleName_->text().trimmed(), cboScalePort_->currentText().trimmed()};
}

void ScaleEditDialog::accept() {
    const QString problem = scaleEntryProblem(entry(), others_);
    lblScaleProblem_->setText(problem);
    if (problem.isEmpty())
        QDialog::accept();
}

void ScaleEditDialog::ask(const ScaleEntry& start, const QList<ScaleEntry>& others, QWidget* parent,
                          std::function<void(const ScaleEntry&)> done) {
    // Window-modal without a loop of its own: the answer comes from the event loop.
    auto* dialog = new ScaleEditDialog(start, others, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, dialog,
            [dialog, done = std::move(done)] { done(dialog->entry()); });
    dialog->open();
}
