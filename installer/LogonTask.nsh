; The start at logon: a task of the Task Scheduler. The program asks for administrator rights,
; and Windows starts no such program from a Run value at logon; a logon task with the highest
; privileges starts it elevated without a prompt. Its settings keep the resident program
; running: no time limit (the default ends a task after 72 hours) and no stop on battery.
; The definition stays beside the program: an administrator can register it again with
; schtasks /Create /TN Brellonix /XML LogonTask.xml, and it shows what the task runs.

!define USERS_GROUP_SID "S-1-5-32-545"  ; any user who logs on, elevated when an administrator
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

!include WinVer.nsh

; Paths may hold "&", which XML must not see bare.
!macro XmlEscape out text
  Push $R8
  Push $R9
  StrCpy ${out} ""
  StrCpy $R9 "${text}"
  ${Do}
    StrCpy $R8 $R9 1
    ${If} $R8 == ""
      ${ExitDo}
    ${ElseIf} $R8 == "&"
      StrCpy $R8 "&amp;"
    ${EndIf}
    StrCpy ${out} "${out}$R8"
    StrCpy $R9 $R9 "" 1
  ${Loop}
  Pop $R9
  Pop $R8
!macroend

!define LOGON_TASK_FILE "LogonTask.xml"

!macro CreateLogonTask name command folder
  Push $0
  Push $1
  Push $2
  !insertmacro XmlEscape $1 "${command}"
  !insertmacro XmlEscape $2 "${folder}"
  FileOpen $0 "${folder}\${LOGON_TASK_FILE}" w
  FileWriteWord $0 0xFEFF
  FileWriteUTF16LE $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n\
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n\
  <RegistrationInfo>$\r$\n\
    <Author>${PUBLISHER}</Author>$\r$\n\
    <Description>Starts ${PRODUCT} when a user logs on.</Description>$\r$\n\
  </RegistrationInfo>$\r$\n\
  <Triggers>$\r$\n\
    <LogonTrigger>$\r$\n\
      <Enabled>true</Enabled>$\r$\n\
    </LogonTrigger>$\r$\n\
  </Triggers>$\r$\n\
  <Principals>$\r$\n\
    <Principal id="Author">$\r$\n\
      <GroupId>${USERS_GROUP_SID}</GroupId>$\r$\n\
      <RunLevel>HighestAvailable</RunLevel>$\r$\n\
    </Principal>$\r$\n\
  </Principals>$\r$\n\
  <Settings>$\r$\n\
    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>$\r$\n\
    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>$\r$\n\
    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>$\r$\n\
    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>$\r$\n\
    <Priority>4</Priority>$\r$\n\
  </Settings>$\r$\n\
  <Actions Context="Author">$\r$\n\
    <Exec>$\r$\n\
      <Command>$1</Command>$\r$\n\
      <WorkingDirectory>$2</WorkingDirectory>$\r$\n\
    </Exec>$\r$\n\
  </Actions>$\r$\n\
</Task>$\r$\n'
  FileClose $0
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /TN "${name}" /XML "${folder}\${LOGON_TASK_FILE}" /F'
  Pop $0
  ${If} $0 != 0
  ${AndIf} ${AtMostWin2003}
    ; Windows before Vista has neither this kind of task nor elevation prompts: the Run
    ; value starts the program there.
    WriteRegStr HKLM "${RUN_KEY}" "${name}" '"${command}"'
  ${ElseIf} $0 != 0
    DetailPrint "The logon task could not be created (schtasks: $0)"
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
!macroend

!macro DeleteLogonTask name folder
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /TN "${name}" /F'
  Pop $0
  Delete "${folder}\${LOGON_TASK_FILE}"
  DeleteRegValue HKLM "${RUN_KEY}" "${name}"
!macroend
