; TouchScreen setup package. makensis gets every input as a define from packaging/CMakeLists.txt:
;   OUT_FILE, BIN_DIR (the five programs), UNINS_EXE, DRIVER_FILE, VENDOR_NAME, HARDWARE_ID, VERSION.
; A 64-bit installer: it must write the 64-bit registry view and System32 without redirection,
; and 64-bit Windows (and wine64) is where the programs run.
;
; Switches: /S silent (no window, no box; PXwNTcdi runs with /QUIET), /NORESTART (no restart;
; exit code 3010), /D=folder. Exit codes: 0 installed, 3010 installed and a restart is still
; needed, anything else failed, with the reason in LOG_FILE.

Unicode true
Target amd64-unicode
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

!define PRODUCT "TouchScreen"
!define OEM_KEY "SOFTWARE\Veldrant\TouchScreen\PX-K17-COM"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define ARP_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchScreen PX-K17-COM"
!define SERVICE "PXWNTCOM"
!define LOG_FILE "$WINDIR\Temp\TouchScreenSetup.log"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; Until PXwNTcdi has read setup.oem the key holds the product's own name: one package can be
; rebranded by its setup.oem alone.
!define FIRST_VENDER_NAME "TouchScreen"

Name "${PRODUCT}"
Caption "${PRODUCT} Setup"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\TouchScreen"
RequestExecutionLevel admin
ShowInstDetails show
BrandingText "${VENDOR_NAME}"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${VENDOR_NAME}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 1998-2026 Veldrant Corporation"

Page directory
Page instfiles

Var Folder         ; $INSTDIR without a trailing "\" (the programs append "\name" themselves)
Var Log            ; handle of LOG_FILE, "" when it could not be opened
Var NoRestart      ; 1 with /NORESTART
Var DriverStopped  ; 1 once this run has stopped a running driver
Var RbfRan         ; 1 when the right-button program ran before the upgrade
Var ServiceState   ; set by ReadServiceState: 0 no service, else SERVICE_STOPPED (1), RUNNING (4) ...

!macro Log text
  ${If} $Log != ""
    FileWrite $Log `${text}$\r$\n`
  ${EndIf}
  DetailPrint `${text}`
!macroend

; Ends the installation with its reason in the log (and, interactively, in a box); a driver
; stopped by this run is started again first.
!macro Fail code text
  !insertmacro Log `failed (exit code ${code}): ${text}`
  ${If} $DriverStopped == 1
    nsExec::Exec '"$SYSDIR\sc.exe" start ${SERVICE}'
    Pop $9
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP `${text}` /SD IDOK
  SetErrorLevel ${code}
  Abort
!macroend

; Runs a command hidden; leaves its exit code in $0 (or "error" when it could not start).
!macro RunHidden command
  !insertmacro Log `${command}`
  nsExec::ExecToLog `${command}`
  Pop $0
  !insertmacro Log `  exit code $0`
!macroend

; One file into the current output folder. A file still held by a program that would not close
; is replaced at the next restart instead of prompting (or of being skipped under /S).
!macro InstallFile source name
  Delete "$OUTDIR\${name}"
  ClearErrors
  ${If} ${FileExists} "$OUTDIR\${name}"
    File "/oname=${name}.new" "${source}"
    Rename /REBOOTOK "$OUTDIR\${name}.new" "$OUTDIR\${name}"
    !insertmacro Log `in use, replaced at the next restart: $OUTDIR\${name}`
  ${Else}
    File "/oname=${name}" "${source}"
  ${EndIf}
  ${If} ${Errors}
    !insertmacro Fail 5 `$OUTDIR\${name} could not be written.`
  ${EndIf}
!macroend

; A vendor's file placed beside the package replaces the installed one.
!macro VendorFile name
  ${If} ${FileExists} "$EXEDIR\${name}"
    ClearErrors
    CopyFiles /SILENT "$EXEDIR\${name}" "$INSTDIR\${name}"
    ${If} ${Errors}
      !insertmacro Fail 5 `$EXEDIR\${name} could not be copied into $INSTDIR.`
    ${EndIf}
    !insertmacro Log `vendor file: $EXEDIR\${name}`
  ${EndIf}
!macroend

; Asks the service manager; sc's own exit codes differ between systems.
Function ReadServiceState
  StrCpy $ServiceState 0
  System::Call 'advapi32::OpenSCManagerW(p 0, p 0, i 1) p.R0'  ; SC_MANAGER_CONNECT
  ${If} $R0 == 0
    Return
  ${EndIf}
  System::Call 'advapi32::OpenServiceW(p R0, w "${SERVICE}", i 4) p.R1'  ; SERVICE_QUERY_STATUS
  ${If} $R1 != 0
    StrCpy $ServiceState 1
    System::Call '*(i 0, i 0, i 0, i 0, i 0, i 0, i 0) p.R2'  ; SERVICE_STATUS
    System::Call 'advapi32::QueryServiceStatus(p R1, p R2) i.R3'
    ${If} $R3 != 0
      System::Call '*$R2(i, i .R3)'
      StrCpy $ServiceState $R3
    ${EndIf}
    System::Free $R2
    System::Call 'advapi32::CloseServiceHandle(p R1)'
  ${EndIf}
  System::Call 'advapi32::CloseServiceHandle(p R0)'
FunctionEnd

Function .onInit
  ClearErrors
  FileOpen $Log "${LOG_FILE}" w
  ${If} ${Errors}
    StrCpy $Log ""
  ${EndIf}
  !insertmacro Log `${PRODUCT} Setup ${VERSION}: $CMDLINE`
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NORESTART" $R1
  ${IfNot} ${Errors}
    StrCpy $NoRestart 1
  ${EndIf}
  ${IfNot} ${RunningX64}
    !insertmacro Log `failed (exit code 3): ${PRODUCT} needs 64-bit Windows.`
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs 64-bit Windows." /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
  SetRegView 64
  ; An upgrade goes where the installed copy is, unless /D names another folder.
  ReadRegStr $R0 HKLM "${OEM_KEY}" "InstallPath"
  ${If} $R0 != ""
  ${AndIf} $INSTDIR == "$PROGRAMFILES64\TouchScreen"
    StrCpy $INSTDIR $R0
  ${EndIf}
FunctionEnd

Section "TouchScreen"
  SetRegView 64
  StrCpy $Folder $INSTDIR
  StrCpy $1 $Folder 1 -1
  ${If} $1 == "\"
    StrCpy $Folder $Folder -1
  ${EndIf}
  !insertmacro Log `installing into $Folder`

  ; Programs of an installed copy are closed (the right-button program by its own close
  ; message, so it unregisters), and deletions that its removal left to the restart are
  ; cancelled for everything written here again.
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "${UNINS_EXE}"
  !insertmacro RunHidden '"$PLUGINSDIR\unins000.exe" /PREPARE "$Folder"'
  ${If} $0 == "error"
  ${OrIf} $0 > 3
    !insertmacro Fail 5 `The running ${PRODUCT} programs could not be closed (unins000 /PREPARE: $0).`
  ${EndIf}
  IntOp $RbfRan $0 & 1
  IntOp $1 $0 & 2
  ${If} $1 != 0
    ; It was asked and waited for, never ended by force: what it holds is replaced at the next
    ; restart, which is left to whoever runs the package (exit code 3010).
    !insertmacro Log `a ${PRODUCT} program did not close in time; its files are replaced at the next restart`
    StrCpy $NoRestart 1
  ${EndIf}

  ; A driver left running by an earlier installation holds its file.
  Call ReadServiceState
  !insertmacro Log `service ${SERVICE}: state $ServiceState`
  ${If} $ServiceState != 0
  ${AndIf} $ServiceState != 1  ; SERVICE_STOPPED
    !insertmacro RunHidden '"$SYSDIR\sc.exe" stop ${SERVICE}'
    StrCpy $DriverStopped 1
    ${For} $2 1 50
      Call ReadServiceState
      ${If} $ServiceState == 1
        ${Break}
      ${EndIf}
      Sleep 100
    ${Next}
  ${EndIf}

  SetOverwrite on
  SetOutPath "$INSTDIR"
  !insertmacro InstallFile "${BIN_DIR}\PXwNTccp.exe" PXwNTccp.exe
  !insertmacro InstallFile "${BIN_DIR}\PXwNTcao.exe" PXwNTcao.exe
  !insertmacro InstallFile "${BIN_DIR}\PXwNTcrb.exe" PXwNTcrb.exe
  !insertmacro InstallFile "${BIN_DIR}\PXwNTcdi.exe" PXwNTcdi.exe
  !insertmacro InstallFile "${BIN_DIR}\PXwNTcde.exe" PXwNTcde.exe
  !insertmacro InstallFile "${UNINS_EXE}" unins000.exe
  ${If} ${FileExists} "$EXEDIR\setup.oem"
    !insertmacro VendorFile setup.oem
  ${ElseIfNot} ${FileExists} "$INSTDIR\setup.oem"
    ; An upgrade keeps the installed setup.oem, and with it the vendor name.
    WriteINIStr "$INSTDIR\setup.oem" "SETUP" "TITLE" "${VENDOR_NAME}"
  ${EndIf}
  !insertmacro VendorFile PXVender.Bmp
  !insertmacro VendorFile PXVender.Cut

  ; The uninstaller runs from here so that it can delete the whole installation folder.
  SetOutPath "$WINDIR"
  !insertmacro InstallFile "${BIN_DIR}\PXwNTcde.exe" PXwNTcde.exe

  SetOutPath "$SYSDIR\drivers"
  !insertmacro InstallFile "${DRIVER_FILE}" PXWNTCOM.sys

  ; An existing service (an upgrade, or a reinstall before the restart that deletes it) is kept.
  ; The start type is set at creation: some systems ignore a later change of it.
  Call ReadServiceState
  ${If} $ServiceState == 0
    !insertmacro RunHidden '"$SYSDIR\sc.exe" create ${SERVICE} type= kernel start= auto binPath= "$SYSDIR\drivers\PXWNTCOM.sys" DisplayName= "TouchScreen PX-K17-COM"'
    Call ReadServiceState
    ${If} $ServiceState == 0
      !insertmacro Fail 2 `The touchscreen driver service could not be created (sc create: $0).`
    ${EndIf}
  ${EndIf}
  !insertmacro RunHidden '"$SYSDIR\sc.exe" start ${SERVICE}'
  ; Without the device attached the driver may refuse to start now; the restart loads it.
  Call ReadServiceState
  ${If} $ServiceState == 4  ; SERVICE_RUNNING
    StrCpy $DriverStopped 0
  ${Else}
    !insertmacro Log `The driver did not start now (sc start: $0); it starts with Windows.`
  ${EndIf}

  ClearErrors
  ReadRegStr $1 HKLM "${OEM_KEY}" "VenderName"
  ${If} $1 == ""
    WriteRegStr HKLM "${OEM_KEY}" "VenderName" "${FIRST_VENDER_NAME}"
  ${EndIf}
  ClearErrors
  WriteRegStr HKLM "${OEM_KEY}" "InstallPath" "$Folder"
  WriteRegStr HKLM "${OEM_KEY}" "WindowsPath" "$WINDIR"
  WriteRegStr HKLM "${OEM_KEY}" "SystemPath" "$SYSDIR"
  WriteRegStr HKLM "${OEM_KEY}" "HardwareID" "${HARDWARE_ID}"
  WriteRegStr HKLM "${RUN_KEY}" "PXwNTcao" '"$Folder\PXwNTcao.exe"'
  WriteRegStr HKLM "${ARP_KEY}" "DisplayName" "${PRODUCT} drivers and utilities"
  WriteRegStr HKLM "${ARP_KEY}" "Publisher" "${VENDOR_NAME}"
  WriteRegStr HKLM "${ARP_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${ARP_KEY}" "InstallLocation" "$Folder"
  WriteRegStr HKLM "${ARP_KEY}" "UninstallString" '"$WINDIR\PXwNTcde.exe"'
  WriteRegStr HKLM "${ARP_KEY}" "QuietUninstallString" '"$Folder\unins000.exe" /QUIET'
  WriteRegDWORD HKLM "${ARP_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${ARP_KEY}" "NoRepair" 1
  ${If} ${Errors}
    !insertmacro Fail 4 `The registry settings of ${PRODUCT} could not be written.`
  ${EndIf}

  SetShellVarContext all
  ClearErrors
  CreateShortcut "${SHORTCUT}" "$Folder\PXwNTccp.exe"
  ${If} ${Errors}
    !insertmacro Log `the Start-menu shortcut ${SHORTCUT} could not be made`
  ${EndIf}

  ${If} $RbfRan == 1
    !insertmacro RunHidden '"$PLUGINSDIR\unins000.exe" /RIGHTBUTTON "$Folder"'
  ${EndIf}
SectionEnd

; Last step: the post-setup program stores the vendor name and restarts Windows, which ends
; this installer too, so it must come after everything else. Silent, it is waited for, so that
; its outcome becomes the exit code.
Function .onInstSuccess
  SetOutPath "$INSTDIR"
  StrCpy $1 ""
  ${If} $NoRestart == 1
    StrCpy $1 " /NORESTART"
  ${EndIf}
  ${IfNot} ${Silent}
    !insertmacro Log `"$Folder\PXwNTcdi.exe"$1`
    Exec '"$Folder\PXwNTcdi.exe"$1'
    ${If} $NoRestart == 1
      SetErrorLevel 3010
    ${EndIf}
    Return
  ${EndIf}
  !insertmacro Log `"$Folder\PXwNTcdi.exe" /QUIET$1`
  ClearErrors
  ExecWait '"$Folder\PXwNTcdi.exe" /QUIET$1' $0
  ${If} ${Errors}
    !insertmacro Log `failed (exit code 6): PXwNTcdi could not be started.`
    SetErrorLevel 6
  ${ElseIf} $0 == 0
    ; The restart has been started.
  ${ElseIf} $0 == 3010
    SetErrorLevel 3010
  ${Else}
    ; 1: the OEM key could not be read, 2: the vendor name not stored, 3: no restart.
    !insertmacro Log `failed (exit code 6): PXwNTcdi ended with $0.`
    SetErrorLevel 6
  ${EndIf}
  !insertmacro Log `done`
FunctionEnd
