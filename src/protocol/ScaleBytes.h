#pragma once

#include <QtGlobal>

// The bytes of the exchanges with the scale. Every exchange starts with the sync request;
// the scale answers it, then a command byte selects the exchange. The sizes of what follows
// are the scale model's (scale/ScaleModel.h).
namespace scale_bytes {

constexpr quint8 kSync = 0xA5;           // PC: are you ready?
constexpr quint8 kSyncAnswer = 0x77;     // scale: ready
constexpr quint8 kIngredDownload = 0x00; // PC: an ingredient message follows
constexpr quint8 kPluDownload = 0x02;    // PC: a PLU record follows
constexpr quint8 kPluUpload = 0x05;      // PC: send me a PLU
constexpr quint8 kDisplayRead = 0x06;    // PC: send me the display values
constexpr quint8 kCommandAnswer = 0x01;  // scale: command taken (all but the display read)
constexpr quint8 kRecordAccepted = 0x10; // scale: record stored; also the upload reply's end

} // namespace scale_bytes
