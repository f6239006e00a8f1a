#include "app/ScaleStateText.h"

#include "jobs/ScaleJob.h"
#include "protocol/Handshake.h"

QString scaleStateText(const ScaleJob& job, int retry) {
    const JobResult& result = job.result();
    const bool displayRead = std::holds_alternative<DisplayWork>(job.work());
    switch (result.state) {
    case JobState::Waiting:
        return QStringLiteral("waiting");
    case JobState::Sending:
        if (displayRead || result.rowsTotal == 0)
            return QStringLiteral("reading");
        return QStringLiteral("sending row %1 of %2")
            .arg(qMin(result.rowsDone + 1, result.rowsTotal))
            .arg(result.rowsTotal);
    case JobState::Retrying:
        return QStringLiteral("retrying (%1%2)").arg(transfer_texts::kRetry).arg(retry);
    case JobState::Done:
        if (displayRead) {
            const DisplayValues values = job.display();
            return QStringLiteral("done: weight %1, unit price %2, total price %3")
                .arg(values.weight)
                .arg(values.unitPrice)
                .arg(values.totalPrice);
        }
        if (!job.endText().isEmpty())
            return QStringLiteral("done: %1").arg(job.endText()); // "Compare: 2 differences"
        return QStringLiteral("done");
    case JobState::Failed:
        return QStringLiteral("failed: %1").arg(result.lastText);
    case JobState::Cancelled:
        return QStringLiteral("cancelled");
    }
    return {};
}
