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

struct UploadResult {
    // Done when every number asked for was received, or the scale answered that it lacks one
    // (the upload ends there); Refused when the "One PLU" number is not valid (nothing was
    // sent, nothing changed); else GaveUp (one counted failure more than the retry limit on
    // one number), PortLost or Cancelled.
    Ending ending{Outcome::Refused, {}};
    bool endedAtMissing = false; // Done at a number the scale lacks
    // The scale sent at least one reply that was accepted (a record, or its answer that it
    // does not hold a number), so the table was replaced by what it sent (possibly nothing).
    // When false, the table is exactly as it was before the upload.
    bool tableReplaced = false;
    int first = 1; // the first number asked for; the listing starts with it in row 1

    bool succeeded() const { return ending.done(); }
};

// Reads PLU records from the scale into a PLU table. Per number n: sync 0xA5 -> 0x77,
// command 0x05 -> 0x01, n as two bytes, then a reply of exactly the reply size (77 bytes)
// within its time limit (four seconds): echo of n, PluNo, the PLU wire record, end byte 0x10.
// The record goes into element n of the records and the count grows by one. Failed steps are
// retried from the sync, as often as the model's upload retries (four) per number; one
// failure more ends the upload. Sizes, limits, retries and pauses are those of the wire's
// scale model. `events` hear each text, the numbers asked so far of all, each retry and each
// number once answered; `tableReplaced` is called once, at the first accepted reply, right
// after the table was emptied and before that reply's record is stored in it.
//
// The table is left alone until the scale's first accepted reply (a record, or its answer
// that it lacks the number); only then is it emptied, so an upload that never reaches the
// scale, or hears only replies it refuses, loses nothing. From then on each record received
// is listed in the grid as it arrives, from row 1, "No" holding its number.
class UploadEngine {
public:
    UploadEngine(Wire& wire, PluTable& table, ExchangeEvents events,
                 std::function<void()> tableReplaced = {});

    // A coroutine: it goes on from the event loop as the scale answers. The engine, its wire
    // and its table must outlive it.
    async::Task<UploadResult> run(UploadSelection selection);

private:
    // Where the exchange of one number left the upload.
    enum class Step { Received, Missing, Ended };

    async::Task<std::optional<Step>> attempt(int n);
    async::Task<std::optional<Step>> retry(const QString& failure, Recovery recovery,
                                           int pauseMs = 0);
    Step ended();
    async::Task<Step> store(int n, PluRecord record, QByteArray wireRecord);
    async::Task<Step> exchange(int n);
    void replaceTableOnce();
    void listReceived(int n);
    void tell(int n, const QByteArray& wireRecord, const PluRecord* record, bool answered) const;

    Wire& wire_;
    const scale::ScaleModel& model_;
    PluTable& table_;
    std::function<void()> tableReplaced_;
    Handshake handshake_;
    int first_ = 1;
    int asking_ = 0; // the number being asked for
    bool replaced_ = false;
};
