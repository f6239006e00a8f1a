#include "protocol/Outcome.h"

#include <iterator>

QString outcomeName(Outcome outcome) {
    static const char* const names[] = {"done",           "refused",   "gave up",      "port lost",
                                        "could not open", "cancelled", "checks failed"};
    static_assert(std::size(names) == std::size_t(Outcome::ChecksFailed) + 1);
    return QString::fromLatin1(names[int(outcome)]);
}
