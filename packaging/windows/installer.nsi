; The Windows installer: the program folder under Program Files, a Start-menu entry, an
; uninstaller listed under Apps, and .zvt data files opening in the program.
; makensis -DVERSION=x.y -DSTAGE=<folder with the programs> -DOUTFILE=<setup.exe> installer.nsi
Unicode true
; A 64-bit installer: the programs are 64-bit, and so the installer runs where they run.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define APPNAME "Zevrin plus Control"
!define COMPANY "Brenvik-dudizedode"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZevrinPlusControl"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APPNAME}"
InstallDirRegKey HKLM "Software\${COMPANY}\${APPNAME}" "InstallDir"

!include "MUI2.nsh"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\zvcontrol.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

Section "Install"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "Software\${COMPANY}\${APPNAME}" "InstallDir" "$INSTDIR"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${APPNAME}"
  CreateShortcut "$SMPROGRAMS\${APPNAME}\${APPNAME}.lnk" "$INSTDIR\bin\zvcontrol.exe"
  CreateShortcut "$SMPROGRAMS\${APPNAME}\Uninstall ${APPNAME}.lnk" "$INSTDIR\uninstall.exe"

  ; Data files open in the program.
  WriteRegStr HKLM "Software\Classes\.zvt" "" "ZevrinPlusControl.DataFile"
  WriteRegStr HKLM "Software\Classes\ZevrinPlusControl.DataFile" "" "Zevrin plus data file"
  WriteRegStr HKLM "Software\Classes\ZevrinPlusControl.DataFile\DefaultIcon" "" "$INSTDIR\bin\zvcontrol.exe,0"
  WriteRegStr HKLM "Software\Classes\ZevrinPlusControl.DataFile\shell\open\command" "" '"$INSTDIR\bin\zvcontrol.exe" "%1"'

  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\bin\zvcontrol.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APPNAME}\*.lnk"
  RMDir "$SMPROGRAMS\${APPNAME}"
  ReadRegStr $0 HKLM "Software\Classes\.zvt" ""
  StrCmp $0 "ZevrinPlusControl.DataFile" 0 +2
    DeleteRegKey HKLM "Software\Classes\.zvt"
  DeleteRegKey HKLM "Software\Classes\ZevrinPlusControl.DataFile"
  DeleteRegKey HKLM "${UNINSTKEY}"
  DeleteRegKey HKLM "Software\${COMPANY}\${APPNAME}"
  ; Only what the installer put there goes: the folder may have been chosen with other files in
  ; it, and the user's settings and data files are the tuner's work.
  Delete "$INSTDIR\uninstall.exe"
  Delete "$INSTDIR\README.txt"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  RMDir /r "$INSTDIR\licenses"
  RMDir "$INSTDIR"
SectionEnd
