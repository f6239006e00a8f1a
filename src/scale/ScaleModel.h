#pragma once

// Everything that tells one scale model from another: how many rows its tables hold, the
// sizes and layouts of the records it sends and takes, the largest number a two-byte field
// carries, its time limits, retry counts and pauses, and its line settings. The exchanges,
// the wire records, the tables and the simulated scale all read these facts from one value,
// so a model with other sizes or timing is one more constant below.
//
// A literal type (no Qt strings or containers), so a model can be a template argument and
// sizes derived from it are compile-time constants.
namespace scale {

// Where the fields of the PLU record lie (byte offsets; numbers big-endian).
struct PluRecordLayout {
    int itemCode = 0;   // 4 bytes
    int itemName1 = 4;  // nameWidth characters
    int itemName2 = 32; // nameWidth characters
    int unitPrice = 60; // 4 bytes
    int validDate = 64; // 2 bytes
    int tare = 66;      // 2 bytes
    int gCode = 68;     // 2 bytes
    int messageNo = 70; // 2 bytes
    int nameWidth = 28;
};

// The ingredient record: `lines` lines of lineWidth characters, the first messageLines of
// them the messages, the rest blank.
struct IngredRecordLayout {
    int lines = 8;
    int lineWidth = 50;
    int messageLines = 4;
};

// The upload reply: the echo of the number asked for, the PluNo, the PLU record, and the
// end byte as the reply's last byte.
struct UploadReplyLayout {
    int echo = 0;   // 2 bytes
    int pluNo = 2;  // 2 bytes
    int record = 4; // pluRecordSize bytes
};

// How long the PC waits for an answer.
struct TimeLimits {
    int byteMs = 1000;          // a one-byte answer or a two-byte number
    int displayRecordMs = 5000; // the display record
    int uploadReplyMs = 4000;   // the upload reply
};

// Counted failures: after `retries` of them on one row, the next one ends the transfer.
// Each retry is preceded by a pause (and a close and reopen of the port).
struct RetryRules {
    int downloadRetries = 5;
    int downloadPauseMs = 5000;
    int uploadRetries = 4;
    int uploadSyncPauseMs = 2000;    // after the sync failed
    int uploadCommandPauseMs = 5000; // after the command failed
};

// The serial line. No flow control; DTR and RTS stay off.
struct LineSettings {
    int baud = 9600;
    int dataBits = 8;
    char parity = 'N'; // 'N'one, 'E'ven or 'O'dd
    int stopBits = 1;

    // A start bit, the data bits, a parity bit if any, the stop bits.
    constexpr int bitsPerByte() const { return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits; }
};

struct ScaleModel {
    // The tables: PLU numbers 1..pluCapacity, ingredient messages 1..ingredCapacity.
    int pluCapacity = 600;
    int ingredCapacity = 200;
    // Numbers travel in two bytes, high byte first, and only 0..largestNumber fit.
    int largestNumber = 32767;

    // The records that follow a command.
    int pluRecordSize = 72;     // a PLU download, and inside the upload reply
    int ingredRecordSize = 400; // an ingredient download
    int uploadReplySize = 77;   // see UploadReplyLayout; the end byte is the last
    int displayRecordSize = 12; // weight, unit price, total price: a third of it each

    PluRecordLayout pluRecord;
    IngredRecordLayout ingredRecord;
    UploadReplyLayout uploadReply;

    TimeLimits limits;
    RetryRules retries;
    // The scale drops a frame left half-received this long, as the PC closes and reopens
    // its port between rows.
    int idleResetMs = 300;

    LineSettings line;

    constexpr int displayValueSize() const { return displayRecordSize / 3; }
    constexpr int uploadReplyEnd() const { return uploadReplySize - 1; }
};

inline constexpr ScaleModel kStandardScale{};

// The layouts must add up to the sizes.
constexpr bool consistent(const ScaleModel& m) {
    return m.pluRecord.messageNo + 2 == m.pluRecordSize &&
           m.ingredRecord.lineWidth * m.ingredRecord.lines == m.ingredRecordSize &&
           m.uploadReply.record + m.pluRecordSize + 1 == m.uploadReplySize &&
           m.displayRecordSize % 3 == 0;
}
static_assert(consistent(kStandardScale));

} // namespace scale
