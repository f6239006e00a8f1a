#pragma once

#include <QString>
#include <QStringList>

// How one table kind shows in the window: the captions, objectNames and questions of its grid
// tab, its menu and its download column. The names of the earlier kinds grew one by one and
// follow no single rule, so each kind spells its own out, as data: an entry of
// TablePaneLooks.json, built into the program.
struct TablePaneLook {
    QString caption;         // the tab, the menu, the grid's accessible name: "PLU"
    QString gridName;        // "grdPLU"
    QString editBoxName;     // "txtEditGrid"
    QString rowLimitMessage; // " Error ! PLU No is over "
    QString fileFilter;      // the table file's dialog filter
    QString filesName;       // "PLU files", where the window says what it opens

    struct Menu {
        QString name;                  // "mnuPLU"
        QString newItem;               // "mnuFileNew"
        QString openMenu, saveMenu;    // the submenus: "mnuO", "mnuS"
        QString fileCaption;           // "PLU File( *.PLU)", in both submenus
        QString openItem, saveItem;    // "mnuFileOpen", "mnuFileSave"
        QStringList separators;        // after Open's file, after Save's file, before Exit
        QStringList workbookOpenItems; // one per workbook form, in the forms' order
        QStringList workbookSaveItems; // the same for Save
        QString exitItem;              // "mnuFileExit"
    } menu;

    struct Download {
        QString buttonCaption; // " PLU Download"
        QString buttonName;    // "cmdPLUDownload"
        QString boxWord;       // in the range boxes' names: "txtDownOnePluNo"
        // Kinds the scale can send back get "Verify" and "Back up the scale first"; the others
        // a note saying why they have neither.
        bool readBack = false;
        QString verifyName, backupName;
        QString noReadBackNote, noReadBackNoteName;
    } download;

    struct Words {
        QString saveQuestion;   // before unsaved edits would be lost
        QString downloadNotice; // before a download would send the table as last saved
    } words;
};

const TablePaneLook& pluPaneLook();
const TablePaneLook& ingredPaneLook();
