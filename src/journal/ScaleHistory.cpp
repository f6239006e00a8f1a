#include "journal/ScaleHistory.h"

#include "journal/Journal.h"

namespace journal {

ScaleHistory scaleHistory(const Journal& journal, const QString& scale, int rows) {
    RowFilter filter;
    filter.scale = scale;
    filter.newestFirst = true;
    filter.limit = rows;
    ScaleHistory history;
    bool errorSeen = false;
    history.readError = journal.sentRows(filter, [&](const RowRecord& row) {
        if (row.row.accepted && !history.lastSend.isValid())
            history.lastSend = row.at;
        const RunRecord& run = row.run;
        if (!errorSeen && !run.outcome.isEmpty() && run.outcome != QLatin1String("done")) {
            errorSeen = true;
            history.lastError = run.ended;
            history.errorReason = run.reason.isEmpty()
                                      ? run.outcome
                                      : run.outcome + QStringLiteral(": ") + run.reason;
        }
        return !history.lastSend.isValid() || !errorSeen;
    });
    return history;
}

} // namespace journal
