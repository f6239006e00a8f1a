#pragma once

#include "http/SendService.h"

#include <QMap>

// A SendService without scales behind it: it remembers what it was asked, starts jobs that
// stay "sending" until a test ends them, and makes up a little status and journal from what
// was sent.
class FakeSendService : public SendService {
public:
    explicit FakeSendService(QList<ScaleEntry> list) : list_(std::move(list)) {}

    QList<SendRequest> started;
    QStringList cancelled;
    Refusal refuseWith = Refusal::None; // the next sends are refused so

    // Every scale of the job ends in `state`, every row sent when it is Done.
    void end(const QString& id, JobState state);

    QList<ScaleEntry> scaleList() const override { return list_; }
    SendStart startSend(const SendRequest& request) override;
    std::optional<JobStatus> job(const QString& id) const override;
    CancelResult cancel(const QString& id) override;
    QList<ScaleStatus> scales() const override;
    JournalPage journal(const JournalQuery& query) const override;

private:
    QList<ScaleEntry> list_;
    QMap<QString, JobStatus> jobs_;
};
