#pragma once

#include <QString>

// How an exchange with the scale, or a job around one, ended: one vocabulary for every
// exchange and every front end. Exit codes, the states of tab "Scales", the report and the
// end texts are each derived from it in one place.
enum class Outcome {
    Done,         // ended as the operator expects
    Refused,      // not begun: the request cannot be carried out; nothing was sent
    GaveUp,       // the scale did not answer as it should, and the retries are spent
    PortLost,     // the port failed, or could not be reopened, during the exchange
    CouldNotOpen, // the port could not be opened: nothing was sent
    Cancelled,    // "Cancel", Exit, Ctrl-C or SIGTERM
    ChecksFailed, // sent, but the read-back found the scale holding something else
};

// "done", "refused", "gave up", "port lost", "could not open", "cancelled", "checks failed":
// the words of the report, the journal and the logs.
QString outcomeName(Outcome outcome);

// An outcome with what caused it: the refusal, the last failure before giving up, the port's
// error, the cancel's reason ("Cancel", "Exit", "SIGINT"). Empty for Done.
struct Ending {
    Outcome outcome = Outcome::Done;
    QString reason;

    bool done() const { return outcome == Outcome::Done; }
};
