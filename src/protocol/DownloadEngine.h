#pragma once

#include "protocol/DownloadPlan.h"
#include "protocol/Handshake.h"

class Wire;

// Sends the rows of `plan` to the scale, one handshake per row:
//   A  0xA5, answered by 0x77        else "Sync error ... : i", counted failure
//   B  the command, answered by 0x01 else "Download command error", counted failure
//   C  the number, echoed            else the echo error text, the record's length of 0x00
//                                         sent one byte at a time, counted failure
//   D  the record in one write, 0x10 else "SyncOK error", counted failure
//   E  accepted: "<accepted>i is transfered", the port closed and reopened
// A counted failure adds one to the row's retry count; one more than the model's download
// retries (5) ends the download. Before the retry "Retry #n" is shown and the port recovers:
// after a sync failure the download pause (five seconds), then close and reopen; after a
// command or record failure close and reopen, then the pause; after a wrong echo nothing, as
// the zero bytes have already brought the scale back to idle. Each text goes to `status` as
// it happens; `progress` hears of each accepted row, `row` of each row once the scale has
// answered it or the download ended on it. The port is left open on every end but a failed
// reopen. Time limits, retries and pauses are those of the wire's scale model.
//
// It ends Done (" THE END " shown: every selected row accepted, or none selected), Refused
// (the plan's refusal shown, nothing sent), GaveUp (a row failed six counted times; the
// panel keeps that failure's text), PortLost (the text names port and reason) or Cancelled
// ("Transfer cancelled").
//
// A coroutine: it goes on from the event loop as the scale answers. The plan and the wire
// must outlive it; the events are its own copies.
async::Task<Ending> runDownload(const DownloadPlan& plan, Wire& wire, ExchangeEvents events);
