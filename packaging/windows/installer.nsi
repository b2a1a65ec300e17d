; Installer of Vantorel for Windows: for all users, into Program Files\Vantorel, with a
; Start-menu shortcut and an entry in Apps (Add or remove programs). /S installs and
; uninstalls silently. The uninstaller removes what was installed and leaves the users'
; settings in their own folders. Neither touches a folder whose Vantorel is running: Windows
; cannot replace or remove a running program's files, and files without their Apps entry (or
; the other way round) could never be cleaned up.
; Defined by the build: VERSION, STAGE (the folder of the portable zip), ICON, OUTFILE, SIZE_KB,
; FILES (the install and uninstall lists, made from STAGE).
Unicode true
!include "LogicLib.nsh"
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define RUNNING_TEXT "Vantorel is running from $INSTDIR.$\r$\n$\r$\nClose every Vantorel window and vantorel-send, then choose Retry. Nothing has been changed yet."
!define KEPT_TEXT "Vantorel is uninstalled. The folder $INSTDIR was kept: it holds files that Vantorel did not install, such as settings an administrator left there (Vantorel.ini)."
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantorel"

Name "Vantorel ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\Vantorel"
ShowInstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Vantorel"
VIAddVersionKey "FileDescription" "Vantorel ${VERSION} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Vantorel developers"
VIAddVersionKey "LegalCopyright" "GNU GPL version 3 or later"

; Waits while a Vantorel program of the folder runs: Retry looks again, Cancel (the answer
; of a silent run) ends the installation or uninstallation before it changes anything.
!macro WAIT_UNTIL_NOT_RUNNING
    ${For} $1 0 1
        ${If} $1 == 0
            StrCpy $2 "$INSTDIR\vantorel.exe"
        ${Else}
            StrCpy $2 "$INSTDIR\vantorel-send.exe"
        ${EndIf}
        ; A running program's file cannot be opened for writing.
        ${DoWhile} ${FileExists} $2
            ClearErrors
            FileOpen $0 $2 a
            ${IfNot} ${Errors}
                FileClose $0
                ${Break}
            ${EndIf}
            DetailPrint "$2 is running."
            ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${RUNNING_TEXT}" /SD IDCANCEL IDCANCEL`
                Abort "Vantorel is running from $INSTDIR: nothing was changed."
            ${EndIf}
        ${Loop}
    ${Next}
!macroend

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Vantorel"
    SetShellVarContext all
    SetRegView 64
    !insertmacro WAIT_UNTIL_NOT_RUNNING
    !include "${FILES}\install.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut starts in the output folder of the moment: the program's own.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Vantorel.lnk" "$INSTDIR\vantorel.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vantorel"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vantorel developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantorel.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    !insertmacro WAIT_UNTIL_NOT_RUNNING
    !include "${FILES}\uninstall.nsh"
    Delete "$INSTDIR\uninstall.exe"
    ; The mark a copy that did not end cleanly left beside its settings; none runs now.
    Delete "$INSTDIR\Vantorel.ini.lock"
    Delete "$SMPROGRAMS\Vantorel.lnk"
    ; Removed only when empty: a settings file that an administrator put there stays.
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${If} ${FileExists} "$INSTDIR\*.*"
        DetailPrint "Kept $INSTDIR: it holds files Vantorel did not install."
        MessageBox MB_OK|MB_ICONINFORMATION "${KEPT_TEXT}" /SD IDOK
    ${EndIf}
SectionEnd
