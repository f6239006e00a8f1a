#include "spreadsheet/WorkbookLayout.h"

namespace workbook {

const Layout& pluLayout() {
    static const Layout layout{
        QStringLiteral("Excel File Ingred Data  "),
        QStringLiteral(" Data Format Changing ....  "),
        QStringLiteral("PLU Number is "),
        QStringLiteral("PLU "),
        {QStringLiteral("PLU No"), QStringLiteral("Item Code"),
         QStringLiteral("           Item Name1           "),
         QStringLiteral("           Item Name2           "), QStringLiteral("U/Price"),
         QStringLiteral("Valid Date"), QStringLiteral("Tare"), QStringLiteral("G Code"),
         QStringLiteral("Message No")},
        603,
        601,
        QStringLiteral("0"),
        QString(),
        28,
    };
    return layout;
}

const Layout& ingredLayout() {
    static const Layout layout{
        QStringLiteral("Excel File INGRED Data  "),
        QStringLiteral("  Data Format Changing....  "),
        QStringLiteral("Ingredient Number is "),
        QStringLiteral("INGRED "),
        {QStringLiteral("Message No"), QStringLiteral("           Message1            "),
         QStringLiteral("           Message2            "),
         QStringLiteral("           Message3            "),
         QStringLiteral("           Message4            ")},
        203,
        201,
        QStringLiteral("0"),
        QStringLiteral(" "),
        50,
    };
    return layout;
}

const Layout& layoutOf(const TableKind& kind) {
    return &kind == &ingredKind() ? ingredLayout() : pluLayout();
}

} // namespace workbook
