; Setup of the Quarnel Polarund Expert Tool: a per-user install (no
; administrator rights) with Start-menu entries for the tool, the two training
; sessions and the user guide, and an entry under Settings > Apps to remove
; it. German or English pages by the system's language. Built by make-release:
;   makensis -DSOURCE=<stage folder> -DOUTFILE=<setup.exe> -DICON=<.ico> -DVERSION=<major.minor>
;            -DVERSION_QUAD=<a.b.c.d> -DPRODUCT=... -DCOMPANY=... -DCOPYRIGHT_YEAR=...
;            -DTRAINING_PRODUCT_K=... -DTRAINING_PRODUCT_M=... [-DSIGN_COMMAND=<sign-file>] kavix.nsi
; The programs are 64-bit; so is the setup.
Target amd64-unicode
!include MUI2.nsh
!include FileFunc.nsh

!ifndef SOURCE | OUTFILE | ICON | VERSION | VERSION_QUAD | PRODUCT | COMPANY | COPYRIGHT_YEAR
  !error "make-release passes SOURCE, OUTFILE, ICON, VERSION, VERSION_QUAD, PRODUCT, COMPANY and COPYRIGHT_YEAR"
!endif
!ifndef TRAINING_PRODUCT_K | TRAINING_PRODUCT_M
  !error "make-release passes TRAINING_PRODUCT_K and TRAINING_PRODUCT_M"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
ManifestDPIAware true
InstallDir "$LOCALAPPDATA\Programs\Kavix"
InstallDirRegKey HKCU "Software\Kavix" "InstallDir"
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright ${U+00A9} ${COPYRIGHT_YEAR} ${COMPANY}"
VIAddVersionKey /LANG=0 "OriginalFilename" "kavix-${VERSION}-setup.exe"
VIAddVersionKey /LANG=0 "InternalName" "kavix-setup"

; Signed as it is written (make-release --sign); the uninstaller too, before
; it goes into the setup.
!ifdef SIGN_COMMAND
  !finalize '"${SIGN_COMMAND}" "%1"' = 0
  !uninstfinalize '"${SIGN_COMMAND}" "%1"' = 0
!endif

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The tool starts in its folder, where it keeps its settings file, as from
; the Start menu.
!define MUI_FINISHPAGE_RUN "$INSTDIR\kavix.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(StartTool)"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for systems in neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
LangString StartTool ${LANG_ENGLISH} "Start the Expert Tool"
LangString StartTool ${LANG_GERMAN} "Expert Tool starten"
LangString TrainingK ${LANG_ENGLISH} "Practise on a simulated K-Series unit, without hardware"
LangString TrainingK ${LANG_GERMAN} "Üben an einer simulierten K-Serie-Anlage, ohne Hardware"
LangString TrainingM ${LANG_ENGLISH} "Practise on a simulated M-Series unit, without hardware"
LangString TrainingM ${LANG_GERMAN} "Üben an einer simulierten M-Serie-Anlage, ohne Hardware"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavix"
!define MENU "$SMPROGRAMS\${PRODUCT}"
!define DASH "${U+2014}"
; The simulated unit starts switched off, so that manual control can be
; practised in the monitor; a free port, so that two sessions can run.
!define TRAINING "--switched-off --port 0 --run kavix.exe"

Section "Install"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE}\kavix.exe"
  File "${SOURCE}\kavix-cli.exe"
  File "${SOURCE}\kavix-unitsim.exe"
  File "${SOURCE}\user-guide.html"
  File "${SOURCE}\README.txt"
  File "${SOURCE}\NOTICE.txt"
  File "${SOURCE}\THIRD-PARTY-NOTICES.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Earlier setups put an uninstaller entry into the Start menu;
  ; Windows lists uninstallers under Settings > Apps.
  Delete "${MENU}\Uninstall.lnk"
  CreateDirectory "${MENU}"
  ; Shortcuts start in $OUTDIR, the install folder, where the tool keeps its settings file.
  CreateShortcut "${MENU}\${PRODUCT}.lnk" "$INSTDIR\kavix.exe" "" "$INSTDIR\kavix.exe" 0
  CreateShortcut "${MENU}\${PRODUCT} ${DASH} training (K-Series).lnk" "$INSTDIR\kavix-unitsim.exe" \
    '--family K --product "${TRAINING_PRODUCT_K}" ${TRAINING}' "$INSTDIR\kavix.exe" 0 SW_SHOWMINIMIZED "" "$(TrainingK)"
  CreateShortcut "${MENU}\${PRODUCT} ${DASH} training (M-Series).lnk" "$INSTDIR\kavix-unitsim.exe" \
    '--family M --product "${TRAINING_PRODUCT_M}" ${TRAINING}' "$INSTDIR\kavix.exe" 0 SW_SHOWMINIMIZED "" "$(TrainingM)"
  CreateShortcut "${MENU}\${PRODUCT} ${DASH} user guide.lnk" "$INSTDIR\user-guide.html"

  WriteRegStr HKCU "Software\Kavix" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kavix.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\kavix.exe"
  Delete "$INSTDIR\kavix-cli.exe"
  Delete "$INSTDIR\kavix-unitsim.exe"
  Delete "$INSTDIR\user-guide.html"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\NOTICE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; kavix.ini holds the program's language setting; it goes with the
  ; program. Files the user saved here (.cbf, .csv) stay, and so does the
  ; folder that holds them.
  Delete "$INSTDIR\kavix.ini"
  RMDir "$INSTDIR"
  Delete "${MENU}\${PRODUCT}.lnk"
  Delete "${MENU}\${PRODUCT} ${DASH} training (K-Series).lnk"
  Delete "${MENU}\${PRODUCT} ${DASH} training (M-Series).lnk"
  Delete "${MENU}\${PRODUCT} ${DASH} user guide.lnk"
  RMDir "${MENU}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Kavix"
SectionEnd
