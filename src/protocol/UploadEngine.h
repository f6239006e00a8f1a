#pragma once

#include "protocol/Handshake.h"
#include "tables/Table.h"

#include <QString>

#include <functional>
#include <optional>

// Which numbers the upload asks the scale for: "One PLU" (the number in the box) or
// "All PLU" (1 upwards until the scale lacks one, at most the scale's PLU capacity, 600).
struct UploadSelection {
    bool onePlu = false;
    QString onePluNoText; // read only for "One PLU"
};

enum class UploadOutcome {
    Refused,    // the "One PLU" number is not valid: nothing was sent, nothing changed
    Completed,  // every number asked for was received
    NotHeld,    // the scale does not hold a number asked for: the upload ends there
    Aborted,    // one counted failure more than the retry limit on one number
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
// command 0x05 -> 0x01, n as two bytes, then a reply of exactly the reply size (77 bytes)
// within its time limit (four seconds): echo of n, PluNo, the PLU wire record, end byte 0x10.
// The record goes into element n of the records and the count grows by one. Failed steps are
// retried from the sync, as often as the model's upload retries (four) per number; one
// failure more ends the upload. Sizes, limits, retries and pauses are those of the wire's
// scale model.
//
// The table is left alone until the scale's first accepted reply (a record, or its answer
// that it lacks the number); only then is it emptied, so an upload that never reaches the
// scale, or hears only replies it refuses, loses nothing. From then on each record received
// is listed in the grid as it arrives, from row 1, "No" holding its number.
class UploadEngine {
public:
    UploadEngine(Wire& wire, PluTable& table, UploadReporting reporting);

    // A coroutine: it goes on from the event loop as the scale answers. The engine, its wire
    // and its table must outlive it.
    async::Task<UploadResult> run(UploadSelection selection);

private:
    async::Task<std::optional<UploadOutcome>> attempt(int n);
    async::Task<std::optional<UploadOutcome>> retry(const QString& failure, Recovery recovery,
                                                    int pauseMs = 0);
    UploadOutcome ended() const;
    async::Task<UploadOutcome> store(int n, PluRecord record);
    async::Task<UploadOutcome> exchange(int n);
    void replaceTableOnce();
    void listReceived(int n);
    void show(const QString& text) const;

    Wire& wire_;
    const scale::ScaleModel& model_;
    PluTable& table_;
    UploadReporting reporting_;
    Handshake handshake_;
    int first_ = 1;
    bool replaced_ = false;
};
