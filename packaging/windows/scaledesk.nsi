; The ScaleDesk installer: the program folder, Start-menu entries and an uninstaller listed in
; the system's list of installed programs, and .plu and .ingred files opening in ScaleDesk.
; packaging/windows/make-packages runs it as
;   makensis -DVERSION=0.1.0 -DSTAGE=FOLDER -DUNINSTALL_FILES=FILE.nsh -DLICENSE_FILE=FILE.txt
;            -DICON=scaledesk.ico -DOUTFILE=SETUP.exe
; A 64-bit installer for the 64-bit programs: it cannot start on a 32-bit Windows at all.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ScaleDesk"
!define MENU_FOLDER "$SMPROGRAMS\ScaleDesk"

Name "ScaleDesk ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ScaleDesk"
InstallDirRegKey HKLM "Software\ScaleDesk" "InstallDir"
RequestExecutionLevel admin

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\scaledesk.exe"
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A table file type: its extension opens ScaleDesk and shows the program's icon. The
; extension's default becomes ScaleDesk's; what other programs registered for it stays.
!macro REGISTER_FILE_TYPE EXTENSION PROGID DESCRIPTION
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "${DESCRIPTION}"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\scaledesk.exe,0"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" \
        '"$INSTDIR\scaledesk.exe" "%1"'
    WriteRegStr HKLM "Software\Classes\${EXTENSION}" "" "${PROGID}"
    WriteRegStr HKLM "Software\Classes\${EXTENSION}\OpenWithProgids" "${PROGID}" ""
!macroend

; Removes what REGISTER_FILE_TYPE wrote; the extension's default only while it is still ours.
!macro UNREGISTER_FILE_TYPE EXTENSION PROGID
    DeleteRegKey HKLM "Software\Classes\${PROGID}"
    DeleteRegValue HKLM "Software\Classes\${EXTENSION}\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifempty HKLM "Software\Classes\${EXTENSION}\OpenWithProgids"
    ReadRegStr $0 HKLM "Software\Classes\${EXTENSION}" ""
    StrCmp $0 "${PROGID}" 0 +2
    DeleteRegValue HKLM "Software\Classes\${EXTENSION}" ""
    DeleteRegKey /ifempty HKLM "Software\Classes\${EXTENSION}"
!macroend

; Explorer shows new file types and icons only once told that they changed.
!define SHCNE_ASSOCCHANGED 0x08000000
!macro NOTIFY_EXPLORER
    System::Call "shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)"
!macroend

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "ScaleDesk"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "${MENU_FOLDER}"
    CreateShortcut "${MENU_FOLDER}\ScaleDesk.lnk" "$INSTDIR\scaledesk.exe" "" \
        "$INSTDIR\scaledesk.exe" 0
    CreateShortcut "${MENU_FOLDER}\Uninstall ScaleDesk.lnk" "$INSTDIR\uninstall.exe"

    !insertmacro REGISTER_FILE_TYPE ".plu" "ScaleDesk.PluFile" "ScaleDesk PLU table"
    !insertmacro REGISTER_FILE_TYPE ".ingred" "ScaleDesk.IngredFile" \
        "ScaleDesk ingredient messages"
    !insertmacro NOTIFY_EXPLORER

    WriteRegStr HKLM "Software\ScaleDesk" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ScaleDesk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "ScaleDesk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\scaledesk.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Uninstall"
    !include "${UNINSTALL_FILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    Delete "${MENU_FOLDER}\ScaleDesk.lnk"
    Delete "${MENU_FOLDER}\Uninstall ScaleDesk.lnk"
    RMDir "${MENU_FOLDER}"

    !insertmacro UNREGISTER_FILE_TYPE ".plu" "ScaleDesk.PluFile"
    !insertmacro UNREGISTER_FILE_TYPE ".ingred" "ScaleDesk.IngredFile"
    !insertmacro NOTIFY_EXPLORER

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\ScaleDesk"
SectionEnd
