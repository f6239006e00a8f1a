#include "jobs/JobResult.h"

#include <iterator>

QString stateName(JobState state) {
    static const char* const names[] = {"waiting", "sending", "retrying",
                                        "done",    "failed",  "cancelled"};
    static_assert(std::size(names) == std::size_t(JobState::Cancelled) + 1);
    return QString::fromLatin1(names[int(state)]);
}

JobState endStateOf(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return JobState::Done;
    case Outcome::Cancelled:
        return JobState::Cancelled;
    case Outcome::Refused:
    case Outcome::GaveUp:
    case Outcome::PortLost:
    case Outcome::CouldNotOpen:
    case Outcome::ChecksFailed:
        break;
    }
    return JobState::Failed;
}

int exitStatusOf(Outcome outcome) {
    return outcome == Outcome::Done ? 0 : 1;
}
