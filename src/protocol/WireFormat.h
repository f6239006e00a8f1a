#pragma once

#include "protocol/DownloadKind.h"
#include "protocol/EncodedRecord.h"
#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"
#include "protocol/ScaleBytes.h"
#include "scale/ScaleModel.h"

// How a table kind's records travel to the scale, chosen by the record type at compile
// time: the download's command byte and texts, the record's size on a scale model and its
// encoder. A new table kind is one more specialisation here (and its wire record).
template <typename Record> struct WireFormat; // no default: a kind without one does not build

template <> struct WireFormat<PluRecord> {
    static const DownloadKind& download();
    static int recordSize(const scale::ScaleModel& model) { return model.pluRecordSize; }
    static EncodedRecord encode(const PluRecord& record, const scale::ScaleModel& model) {
        return plu_wire::encode(record, model);
    }
};

template <> struct WireFormat<IngredRecord> {
    static const DownloadKind& download();
    static int recordSize(const scale::ScaleModel& model) { return model.ingredRecordSize; }
    static EncodedRecord encode(const IngredRecord& record, const scale::ScaleModel& model) {
        return ingred_wire::encode(record, model);
    }
};
