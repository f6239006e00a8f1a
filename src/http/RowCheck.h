#pragma once

#include "http/ApiAnswer.h"
#include "scale/ScaleModel.h"

#include <optional>
#include <vector>

// Whether every row can travel to the scale exactly as it is: its number within what the
// scale files, every number within what the wire carries, every character in the scale's
// code page, and every text no longer than the scale keeps (the download would cut it, and
// what the caller sent would not be what the scale shows). The first row that cannot is
// named with its field (422).
template <typename Record>
std::optional<RequestProblem> checkRows(const std::vector<Record>& rows,
                                        const scale::ScaleModel& model = scale::kStandardScale);
