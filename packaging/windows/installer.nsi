; Installer of Vantorel for Windows: for all users, into Program Files\Vantorel, with a
; Start-menu shortcut and an entry in Apps (Add or remove programs). /S installs and
; uninstalls silently. The uninstaller removes what was installed and leaves the users'
; settings in their own folders.
; Defined by the build: VERSION, STAGE (the folder of the portable zip), ICON, OUTFILE, SIZE_KB,
; FILES (the install and uninstall lists, made from STAGE).
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

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

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Vantorel"
    SetShellVarContext all
    SetRegView 64
    !include "${FILES}\install.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"
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
    !include "${FILES}\uninstall.nsh"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\Vantorel.lnk"
    ; Removed only when empty: a settings file that an administrator put there stays.
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
