; The ScaleDesk installer: the program folder, Start-menu entries and an uninstaller listed in
; the system's list of installed programs. packaging/windows/make-packages runs it as
;   makensis -DVERSION=0.1.0 -DSTAGE=FOLDER -DUNINSTALL_FILES=FILE.nsh -DOUTFILE=SETUP.exe
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

!define MUI_FINISHPAGE_RUN "$INSTDIR\scaledesk.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "ScaleDesk"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "${MENU_FOLDER}"
    CreateShortcut "${MENU_FOLDER}\ScaleDesk.lnk" "$INSTDIR\scaledesk.exe"
    CreateShortcut "${MENU_FOLDER}\Uninstall ScaleDesk.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "Software\ScaleDesk" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ScaleDesk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "ScaleDesk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\scaledesk.exe"
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

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\ScaleDesk"
SectionEnd
