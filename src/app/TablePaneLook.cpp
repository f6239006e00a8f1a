#include "app/TablePaneLook.h"

#include "app/FileDialog.h"
#include "jobs/CheckedDownload.h"

const TablePaneLook& pluPaneLook() {
    static const TablePaneLook look{
        QStringLiteral("PLU"),
        QStringLiteral("grdPLU"),
        QStringLiteral("txtEditGrid"),
        QStringLiteral(" Error ! PLU No is over "),
        FileDialog::pluFilter(),
        {QStringLiteral("mnuPLU"),
         QStringLiteral("mnuFileNew"),
         QStringLiteral("mnuO"),
         QStringLiteral("mnuS"),
         QStringLiteral("PLU File( *.PLU)"),
         QStringLiteral("mnuFileOpen"),
         QStringLiteral("mnuFileSave"),
         {QStringLiteral("mnuSep1"), QStringLiteral("mnuSep2"), QStringLiteral("mnuSep3")},
         {QStringLiteral("mnuLxls"), QStringLiteral("mnuLxlsx"), QStringLiteral("mnuLcsv")},
         {QStringLiteral("mnuXls"), QStringLiteral("mnuXlsx"), QStringLiteral("mnuCsv")},
         QStringLiteral("mnuFileExit")},
        {QStringLiteral(" PLU Download"),
         QStringLiteral("cmdPLUDownload"),
         QStringLiteral("Plu"),
         true,
         QStringLiteral("chkDownVerifyPLU"),
         QStringLiteral("chkDownBackupPLU"),
         {},
         {}},
        {QStringLiteral("Save changes to the PLU table?"),
         QStringLiteral("The PLU table has changes that are not saved. Save them and send them, "
                        "or send the table as last saved?")}};
    return look;
}

const TablePaneLook& ingredPaneLook() {
    static const TablePaneLook look{
        QStringLiteral("INGRED"),
        QStringLiteral("grdINGRED"),
        QStringLiteral("txtEditGrid1"),
        QStringLiteral(" Error ! Message No is over "),
        FileDialog::ingredFilter(),
        {QStringLiteral("mnuINGRED"),
         QStringLiteral("mnuFileNew1"),
         QStringLiteral("mnuO1"),
         QStringLiteral("mnuFi"),
         QStringLiteral("INGRED File( *.INGRED)"),
         QStringLiteral("mnuFileOpen1"),
         QStringLiteral("mnuFileSave1"),
         {QStringLiteral("mnuSep4"), QStringLiteral("mnuSep5"), QStringLiteral("mnuSep6")},
         {QStringLiteral("mnuLxls1"), QStringLiteral("mnuLxlsx1"), QStringLiteral("mnuLcsv1")},
         {QStringLiteral("mnuLxls2"), QStringLiteral("mnuLxlsx2"), QStringLiteral("mnuLcsv2")},
         QStringLiteral("mnuFileExit1")},
        {QStringLiteral("INGRED Download"),
         QStringLiteral("cmdINGREDDownload"),
         QStringLiteral("Ingred"),
         false,
         {},
         {},
         kIngredCannotBeVerified,
         QStringLiteral("lblIngredNoVerify")},
        {QStringLiteral("Save changes to the ingredient messages?"),
         QStringLiteral("The ingredient messages have changes that are not saved. Save them and "
                        "send them, or send the messages as last saved?")}};
    return look;
}
