; Windows installer of the Quarnel Polarund Expert Tool: a per-user install
; with a Start-menu entry and an uninstaller. Built by scripts/package:
;   makensis -DSOURCE=<folder with kavix.exe, README.txt, NOTICE.txt> -DVERSION=<major.minor> -DOUTFILE=<setup.exe> kavix.nsi
; kavix.exe is a 64-bit program; so is its installer.
Target amd64-unicode
!ifndef SOURCE
  !error "SOURCE must name the folder with the files to install"
!endif
!ifndef VERSION
  !error "VERSION must give the program's version (major.minor)"
!endif
!ifndef OUTFILE
  !define OUTFILE "kavix-${VERSION}-setup.exe"
!endif

Name "Quarnel Polarund Expert Tool"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Kavix"
InstallDirRegKey HKCU "Software\Kavix" "InstallDir"
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Quarnel Polarund Expert Tool"
VIAddVersionKey "FileDescription" "Quarnel Polarund Expert Tool setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Quarnel Marine Climate Systems"
VIAddVersionKey "LegalCopyright" "Quarnel Marine Climate Systems"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavix"

Section "Install"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE}\kavix.exe"
  File "${SOURCE}\kavix-cli.exe"
  File "${SOURCE}\README.txt"
  File "${SOURCE}\NOTICE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Quarnel Polarund Expert Tool"
  ; The settings file lives in the working directory: the program's folder.
  CreateShortcut "$SMPROGRAMS\Quarnel Polarund Expert Tool\Quarnel Polarund Expert Tool.lnk" "$INSTDIR\kavix.exe" "" "$INSTDIR\kavix.exe" 0
  CreateShortcut "$SMPROGRAMS\Quarnel Polarund Expert Tool\Uninstall.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\Kavix" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quarnel Polarund Expert Tool"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quarnel Marine Climate Systems"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\kavix.exe"
  Delete "$INSTDIR\kavix-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\NOTICE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; kavix.ini holds the user's language; it goes with the program.
  Delete "$INSTDIR\kavix.ini"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Quarnel Polarund Expert Tool\Quarnel Polarund Expert Tool.lnk"
  Delete "$SMPROGRAMS\Quarnel Polarund Expert Tool\Uninstall.lnk"
  RMDir "$SMPROGRAMS\Quarnel Polarund Expert Tool"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Kavix"
SectionEnd
