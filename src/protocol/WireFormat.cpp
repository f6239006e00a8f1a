#include "protocol/WireFormat.h"

const DownloadKind& WireFormat<PluRecord>::download() {
    static const DownloadKind kind{
        QStringLiteral("PLU"),
        scale_bytes::kPluDownload,
        QStringLiteral("ERROR! select plu files"),
        QStringLiteral("PLU Range is not valid"),
        QStringLiteral("Sync error PLU No : "),
        QStringLiteral("PLU # is not same"),
        QStringLiteral("plu#"),
        true,
    };
    return kind;
}

const DownloadKind& WireFormat<IngredRecord>::download() {
    static const DownloadKind kind{
        QStringLiteral("INGRED"),
        scale_bytes::kIngredDownload,
        QStringLiteral("ERROR! select Ingred files"),
        QStringLiteral("INGRED Range is not valid"),
        QStringLiteral("Sync error Message No : "),
        QStringLiteral("Message # is not same"),
        QStringLiteral("Message#"),
        false,
    };
    return kind;
}
