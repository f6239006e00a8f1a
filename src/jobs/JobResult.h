#pragma once

#include "protocol/Outcome.h"

#include <QString>

// Where a scale's job stands, as its row on tab "Scales" and the report show it.
enum class JobState {
    Waiting,   // made, not started
    Sending,   // the port is open and the exchange runs
    Retrying,  // the exchange announced "Retry #n" for the current row
    Done,      // ended as the operator expects
    Failed,    // ended otherwise, but for a cancel
    Cancelled, // cancelled ("Cancel", "Cancel all", Exit, Ctrl-C)
};
QString stateName(JobState state); // "waiting", "sending", "retrying", "done", "failed", ...

// The state a job ends in after `outcome`.
JobState endStateOf(Outcome outcome);

// The exit status of a command over scales that ended so: 0 done, 1 anything else.
int exitStatusOf(Outcome outcome);

// What a job did, as a value: for the report and tab "Scales".
struct JobResult {
    JobState state = JobState::Waiting;
    Ending ending;     // how it ended (read once ended())
    int rowsDone = 0;  // rows the scale accepted (download), numbers asked (upload)
    int rowsTotal = 0; // rows selected (download), numbers to ask (upload)
    int retries = 0;   // "Retry #n" announced, all rows together
    QString lastText;  // the last status or end text

    bool ended() const {
        return state == JobState::Done || state == JobState::Failed || state == JobState::Cancelled;
    }
    bool succeeded() const { return state == JobState::Done; } // the state follows the ending
};
