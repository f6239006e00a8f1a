#include "protocol/DownloadKind.h"

#include "protocol/ScaleBytes.h"

const DownloadKind& pluDownloadKind() {
    static const DownloadKind kind{
        QStringLiteral("PLU"),
        scale_bytes::kPluDownload,
        scale_bytes::kPluRecordSize,
        QStringLiteral("ERROR! select plu files"),
        QStringLiteral("PLU Range is not valid"),
        QStringLiteral("Sync error PLU No : "),
        QStringLiteral("PLU # is not same"),
        QStringLiteral("plu#"),
    };
    return kind;
}

const DownloadKind& ingredDownloadKind() {
    static const DownloadKind kind{
        QStringLiteral("INGRED"),
        scale_bytes::kIngredDownload,
        scale_bytes::kIngredRecordSize,
        QStringLiteral("ERROR! select Ingred files"),
        QStringLiteral("INGRED Range is not valid"),
        QStringLiteral("Sync error Message No : "),
        QStringLiteral("Message # is not same"),
        QStringLiteral("Message#"),
    };
    return kind;
}
