; Ending a running Brellonix before its files are replaced or removed. The program watches for
; a top-level window titled exactly "Brellonix Uninstall"; when one appears it shows "The
; Brellonix will quit!" and quits once that notice is confirmed.

!define PROGRAM_PROPERTY "Koravant"     ; set on the program's main window
!define QUIT_NOTICE "The Brellonix will quit!"
!define SYNCHRONIZE_TERMINATE 0x100001  ; SYNCHRONIZE | PROCESS_TERMINATE
!define WAIT_STEP_MS 200
!define NOTICE_WAIT_STEPS 300           ; a user gets a minute to confirm the notice
!define END_WAIT_STEPS 450              ; after that the program is ended by force

Var ProgramProcess
Var ProgramPid

!macro PROGRAM_CONTROL_FUNCTIONS un
; Opens the running program's process, found by the property on its main window, before any
; window of ours can make it quit: its handle then tells when it has really ended.
Function ${un}FindRunningProgram
  Push $0
  Push $1
  StrCpy $ProgramProcess 0
  StrCpy $0 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p r0, w "#32770", p 0) p .r0'
    ${If} $0 = 0
      ${ExitDo}
    ${EndIf}
    System::Call 'user32::GetPropW(p r0, w "${PROGRAM_PROPERTY}") p .r1'
    ${If} $1 <> 0
      System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
      StrCpy $ProgramPid $1
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_TERMINATE}, i 0, i r1) p .r1'
      StrCpy $ProgramProcess $1
      ${ExitDo}
    ${EndIf}
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd

; Presses OK on the program's quit notice, for a silent run or a user who is away. Only that
; notice: another box of the program may ask a question whose OK deletes something.
Function ${un}ConfirmQuitNotice
  Push $0
  Push $1
  StrCpy $0 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p r0, w "#32770", p 0) p .r0'
    ${If} $0 = 0
      ${ExitDo}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    ${If} $1 = $ProgramPid
      System::Call 'user32::GetDlgItemTextW(p r0, i 0xFFFF, w .r1, i ${NSIS_MAX_STRLEN}) i'
      ${If} $1 == "${QUIT_NOTICE}"
        System::Call 'user32::PostMessageW(p r0, i ${WM_COMMAND}, i 1, p 0)'
      ${EndIf}
    ${EndIf}
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd

; Asks the running program to quit the way it expects, and waits until its process has
; ended; a program that does not end in time is ended by force, since its files must go.
Function ${un}EndRunningProgram
  ${If} $ProgramProcess = 0
    Return
  ${EndIf}
  Push $0
  Push $1
  Push $2
  DetailPrint "Waiting for ${PRODUCT} to quit..."
  ; A silent run shows no window: this hidden one carries the title the program looks for.
  System::Call 'user32::CreateWindowExW(i 0, w "STATIC", w "${PRODUCT} Uninstall", i 0, \
    i 0, i 0, i 0, i 0, p 0, p 0, p 0, p 0) p .r2'
  StrCpy $0 0
  ${Do}
    System::Call 'kernel32::WaitForSingleObject(p $ProgramProcess, i ${WAIT_STEP_MS}) i .r1'
    ${If} $1 <> 0x102  ; WAIT_TIMEOUT
      ${ExitDo}
    ${EndIf}
    IntOp $0 $0 + 1
    ${If} ${Silent}
    ${OrIf} $0 > ${NOTICE_WAIT_STEPS}
      Call ${un}ConfirmQuitNotice
    ${EndIf}
    ${If} $0 > ${END_WAIT_STEPS}
      DetailPrint "${PRODUCT} did not quit: ending it"
      System::Call 'kernel32::TerminateProcess(p $ProgramProcess, i 1)'
      System::Call 'kernel32::WaitForSingleObject(p $ProgramProcess, i 10000)'
      ${ExitDo}
    ${EndIf}
  ${Loop}
  System::Call 'user32::DestroyWindow(p r2)'
  System::Call 'kernel32::CloseHandle(p $ProgramProcess)'
  StrCpy $ProgramProcess 0
  DetailPrint "${PRODUCT} has quit"
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend

!insertmacro PROGRAM_CONTROL_FUNCTIONS ""
!insertmacro PROGRAM_CONTROL_FUNCTIONS "un."
