#pragma once

#include <QtGlobal>

// Record numbers of the workbook stream, shared by the reader and the writer.
namespace biff {

enum Record : quint16 {
    Formula = 0x0006,
    Eof = 0x000A,
    Selection = 0x001D,
    FilePass = 0x002F,
    Font = 0x0031,
    Continue = 0x003C,
    Window1 = 0x003D,
    CodePage = 0x0042,
    ColInfo = 0x007D,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    RString = 0x00D6,
    Xf = 0x00E0,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    Dimensions = 0x0200,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Window2 = 0x023E,
    Rk = 0x027E,
    Style = 0x0293,
    Bof = 0x0809,
};

// Substream types in the BOF record.
constexpr quint16 kGlobals = 0x0005;
constexpr quint16 kWorksheet = 0x0010;

// BOF versions.
constexpr quint16 kBiff8 = 0x0600;
constexpr quint16 kBiff5 = 0x0500;

// The longest record body BIFF8 allows.
constexpr int kMaxRecordBody = 8224;

} // namespace biff
