#pragma once

#include "tables/Table.h"

#include <QString>

#include <functional>

class Wire;
enum class WireStatus;

// Which numbers the upload asks the scale for: "One PLU" (the number in the box) or
// "All PLU" (1 upwards until the scale lacks one, at most 600).
struct UploadSelection {
    bool onePlu = false;
    QString onePluNoText; // read only for "One PLU"
};

enum class UploadOutcome {
    Refused,    // the "One PLU" number is not valid: nothing was sent, nothing changed
    Completed,  // every number asked for was received
    NotHeld,    // the scale does not hold a number asked for: the upload ends there
    Aborted,    // the fifth counted failure on one number
    LinkFailed, // the link failed, or could not be reopened
    Cancelled,  // the abort object fired
};

struct UploadResult {
    UploadOutcome outcome = UploadOutcome::Refused;
    // The scale sent at least one reply that was accepted (a record, or its answer that it
    // does not hold a number), so the table was replaced by what it sent (possibly nothing).
    // When false, the table is exactly as it was before the upload.
    bool tableReplaced = false;
    int first = 1; // the first number asked for; the listing starts with it in row 1
    QString error; // the link's or the abort's reason, for LinkFailed and Cancelled

    // An upload that ended as the operator expects: no abort, no broken link, no cancel.
    bool succeeded() const {
        return outcome == UploadOutcome::Completed || outcome == UploadOutcome::NotHeld;
    }
};

// What the upload tells its caller while it runs.
struct UploadReporting {
    std::function<void(const QString& text)> status;    // each text for the status panel
    std::function<void(int asked, int total)> progress; // numbers asked so far, of all
    // Once, at the first accepted reply, right after the table was emptied and before that
    // reply's record is stored in it.
    std::function<void()> tableReplaced;
};

// Reads PLU records from the scale into a PLU table. Per number n: sync 0xA5 -> 0x77,
// command 0x05 -> 0x01, n as two bytes, then a reply of exactly 77 bytes within four seconds:
// echo of n, PluNo, the 72-byte PLU wire record, end byte 0x10. The record goes into element n
// of the records and the count grows by one. Failed steps are retried from the sync, four
// times per number; the fifth failure ends the upload.
//
// The table is left alone until the scale's first accepted reply (a record, or its answer
// that it lacks the number); only then is it emptied, so an upload that never reaches the
// scale, or hears only replies it refuses, loses nothing. From then on each record received
// is listed in the grid as it arrives, from row 1, "No" holding its number.
class UploadEngine {
public:
    static constexpr int kLastPluNo = 600;
    static constexpr int kRetryLimit = 4;
    static constexpr qint64 kReplyLimitMs = 4000;
    static constexpr qint64 kSyncRetryPauseMs = 2000;
    static constexpr qint64 kCommandRetryPauseMs = 5000;

    UploadEngine(Wire& wire, PluTable& table, UploadReporting reporting);

    UploadResult run(const UploadSelection& selection);

private:
    enum class Recovery { None, PauseThenReopen, ReopenThenPause, Reopen };
    enum class Ending { Received, NotHeld, Aborted, LinkFailed, Cancelled };
    struct Attempt;

    Ending exchange(int n);
    Attempt attempt(int n);
    Ending interrupted(WireStatus status);
    bool recover(Recovery recovery, qint64 pauseMs, Ending& ending);
    void replaceTableOnce();
    void listReceived(int n);
    void show(const QString& text) const;

    Wire& m_wire;
    PluTable& m_table;
    UploadReporting m_reporting;
    int m_first = 1;
    bool m_replaced = false;
    QString m_error;
};
