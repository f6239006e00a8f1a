#pragma once

// Everything that tells one scale model from another: how many rows its tables hold, the
// sizes of the records it sends and takes, the largest number a two-byte field carries, its
// time limits, retry counts and pauses, and its line settings. The exchanges, the wire
// records, the tables and the simulated scale all read these facts from one value, so a
// model with other sizes or timing is one more constant below.
//
// A literal type (no Qt strings or containers), so a model can be a template argument and
// sizes derived from it are compile-time constants.
namespace scale {

struct ScaleModel {
    // The tables: PLU numbers 1..pluCapacity, ingredient messages 1..ingredCapacity.
    int pluCapacity = 600;
    int ingredCapacity = 200;
    // Numbers travel in two bytes, high byte first, and only 0..largestNumber fit.
    int largestNumber = 32767;

    // The records that follow a command.
    int pluRecordSize = 72;     // a PLU download, and inside the upload reply
    int ingredRecordSize = 400; // an ingredient download
    int uploadReplySize = 77;   // echo of the number (2), PluNo (2), PLU record, end byte (1)
    int displayRecordSize = 12; // weight, unit price, total price: 4 bytes each
};

inline constexpr ScaleModel kStandardScale{};

} // namespace scale
