; Brellonix setup: the program and its help file under Program Files, a Start-menu entry, an
; entry in the list of installed programs and a start at logon; and the uninstaller.
; makensis -DVERSION=5.0.0.38 -DPRODUCT_DIR=<folder of Koravant.exe and Koravant.chm>
;          -DICON=<app.ico> -DOUTFILE=<setup.exe> Brellonix.nsi
Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define PRODUCT "Brellonix"
!define PUBLISHER "Brellonix"
!define EXE "Koravant.exe"
!define HELP "Koravant.chm"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The program's own settings key and the folder it keeps deleted files in.
!define SETTINGS_KEY "SOFTWARE\kestrelvane"
!define QUARANTINE "quarantine"
!define LOGON_TASK "${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
; The running program quits when a window of exactly this title appears.
UninstallCaption "${PRODUCT} Uninstall"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "ProgramControl.nsh"
!include "LogonTask.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, the USB protection that \
  sits in the notification area, on this computer.$\r$\n$\r$\n${PRODUCT} starts at every logon \
  with administrator rights, so that its shield guards every USB drive that arrives.$\r$\n$\r$\n\
  $_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!insertmacro MUI_PAGE_FINISH

; MUI adds a blank sub-caption to each page's title: put the exact title back.
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.ExactTitle
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.ExactTitle
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.ExactTitle
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext all
  Call FindRunningProgram
FunctionEnd

Section "${PRODUCT} (required)" SecProgram
  SectionIn RO
  Call EndRunningProgram
  ; A new install over an old one: the optional parts come back only when chosen again.
  !insertmacro DeleteLogonTask "${LOGON_TASK}" "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  SetOutPath "$INSTDIR"
  File "${PRODUCT_DIR}\${EXE}"
  File "${PRODUCT_DIR}\${HELP}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start-menu entry" SecStartMenu
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
SectionEnd

Section "Start at logon" SecLogon
  !insertmacro CreateLogonTask "${LOGON_TASK}" "$INSTDIR\${EXE}" "$INSTDIR"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "${EXE} and its help file ${HELP}."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartMenu} "A ${PRODUCT} entry in the Start menu."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecLogon} "Starts ${PRODUCT} with administrator rights \
    whenever a user logs on (a task of the Task Scheduler)."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; ---- Uninstaller ----
; Silent: "/S" keeps the program's data (quarantine folder, settings); "/S /REMOVEDATA"
; removes it too. Interactive: the user is asked.

Function un.onInit
  SetShellVarContext all
  Call un.FindRunningProgram
FunctionEnd

Function un.ExactTitle
  SendMessage $HWNDPARENT ${WM_SETTEXT} 0 "STR:${PRODUCT} Uninstall"
FunctionEnd

Section "Uninstall"
  ; The program holds its files open until it has ended.
  Call un.EndRunningProgram
  !insertmacro DeleteLogonTask "${LOGON_TASK}" "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; A copy still running in another session keeps its file: it goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\${EXE}"
  Delete /REBOOTOK "$INSTDIR\${HELP}"
  Delete "$INSTDIR\update.ini"
  Call un.RemoveProgramData
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd

; The quarantine may hold the only copy of a user's file: it goes only when asked to.
Function un.RemoveProgramData
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEDATA" $1
  ${If} ${Errors}
    ClearErrors
    ReadRegStr $1 HKLM "${SETTINGS_KEY}" "autorun"
    ${If} ${Errors}
    ${AndIfNot} ${FileExists} "$INSTDIR\${QUARANTINE}\*.*"
      Return  ; the program never ran: nothing to ask about
    ${EndIf}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove ${PRODUCT}'s own data, its \
      quarantine folder and its settings?$\r$\n$\r$\nThe quarantine folder keeps a copy of \
      every file ${PRODUCT} deleted, and may hold the only copy of one of your files.\
      $\r$\n$\r$\nChoose No to keep them." /SD IDNO IDYES remove_data
    DetailPrint "Kept: $INSTDIR\${QUARANTINE} and the settings"
    Return
  ${EndIf}
remove_data:
  RMDir /r "$INSTDIR\${QUARANTINE}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
FunctionEnd
