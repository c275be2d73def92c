; Kestrum's per-user installer: no administrator rights, the user's own programs
; folder, a Start-menu shortcut and an entry in the user's list of programs.
; makensis is given /DVERSION, /DBUILD (the folder with the programs),
; /DSOURCE (the source tree), /DOUTFILE and /DTARGET (amd64-unicode or
; x86-unicode: the installer is built for the same processor as the programs).

Target ${TARGET}
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define APPNAME "Kestrum"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrum"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${SOURCE}\res\kestrum.ico"
UninstallIcon "${SOURCE}\res\kestrum.ico"
InstallDir "$LOCALAPPDATA\Programs\${APPNAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APPNAME} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APPNAME}"
VIAddVersionKey "FileDescription" "${APPNAME} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 the Kestrum developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Kestrum"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${BUILD}\kestrum.exe"
    File "${BUILD}\IP.EXE"
    File "${BUILD}\Info.doc"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\kestrum.exe" "" "$INSTDIR\kestrum.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APPNAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestrum.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Kestrum developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Everything the installer put there goes; the settings the program wrote stay,
; as any program's settings do.
Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\${APPNAME}.lnk"
    Delete "$INSTDIR\kestrum.exe"
    Delete "$INSTDIR\IP.EXE"
    Delete "$INSTDIR\Info.doc"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
