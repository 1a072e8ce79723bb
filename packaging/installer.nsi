; TouchScreen setup package. makensis gets every input as a define from packaging/CMakeLists.txt:
;   OUT_FILE, BIN_DIR (the five programs), UNINS_EXE, DRIVER_FILE, VENDOR_NAME, HARDWARE_ID, VERSION.
; A 64-bit installer: it must write the 64-bit registry view and System32 without redirection,
; and 64-bit Windows (and wine64) is where the programs run.
;
; Switches: /S silent (no window, no box; PXwNTcdi runs with /QUIET), /NORESTART (no restart),
; /FORCE (over a newer installed version), /D=folder. Exit codes as deployment tools read them
; from Windows Installer packages: 0 done, 3010 done and a restart is needed, 1641 done and the
; restart started, 1602 cancelled, 1603 failed (the reason in the log), 1618 another installation
; or removal runs, 1633 Windows not supported, 1638 a newer version is installed.

Unicode true
Target amd64-unicode
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WinVer.nsh
!include WordFunc.nsh

!define PRODUCT "TouchScreen"
!define OEM_KEY "SOFTWARE\Veldrant\TouchScreen\PX-K17-COM"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define ARP_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchScreen PX-K17-COM"
!define SERVICE "PXWNTCOM"
; Made by unins000 /LOGFOLDER, writable by administrators and the system account only.
!define LOG_FOLDER "$APPDATA\TouchScreen\Logs"
!define INSTALLATION_MUTEX "Global\TouchScreen PX-K17-COM installation"
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
Var Log            ; handle of this run's log, "" when it could not be opened
Var Force          ; 1 with /FORCE
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

; The run's result: the last line of its log, and the exit code.
!macro Finish code
  !insertmacro Log `result: ${code}`
  SetErrorLevel ${code}
!macroend

; Ends the installation with its reason in the log (and, interactively, in a box); a driver
; stopped by this run is started again first.
!macro Fail text
  !insertmacro Log `failed: ${text}`
  ${If} $DriverStopped == 1
    nsExec::Exec '"$SYSDIR\sc.exe" start ${SERVICE}'
    Pop $9
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP `${text}` /SD IDOK
  !insertmacro Finish 1603
  Abort
!macroend

; Ends the run before anything is written (from .onInit).
!macro Refuse code text
  !insertmacro Log `${text}`
  MessageBox MB_OK|MB_ICONSTOP `${text}` /SD IDOK
  !insertmacro Finish ${code}
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
    !insertmacro Fail `$OUTDIR\${name} could not be written.`
  ${EndIf}
!macroend

; A vendor's file placed beside the package replaces the installed one, when it is a plain file
; (and a bitmap the control panel shows: at most 4 MB and 2048 x 2048 pixels). $R9: 1 when copied.
!macro VendorFile name
  StrCpy $R9 0
  ${If} ${FileExists} "$EXEDIR\${name}"
    ExecWait '"$PLUGINSDIR\unins000.exe" /VENDORFILE "$EXEDIR\${name}"' $0
    ${If} $0 != 0
      !insertmacro Log `vendor file skipped, not a plain file or not a bitmap the control panel shows: $EXEDIR\${name}`
    ${Else}
      ClearErrors
      CopyFiles /SILENT "$EXEDIR\${name}" "$INSTDIR\${name}"
      ${If} ${Errors}
        !insertmacro Fail `$EXEDIR\${name} could not be copied into $INSTDIR.`
      ${EndIf}
      !insertmacro Log `vendor file: $EXEDIR\${name}`
      StrCpy $R9 1
    ${EndIf}
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

; A service whose removal waits for the restart cannot be used again before it: Windows deletes
; it at the restart, whatever is installed meanwhile.
Function ServiceMarkedForDeletion
  StrCpy $R4 0
  ReadRegDWORD $R0 HKLM "SYSTEM\CurrentControlSet\Services\${SERVICE}" "DeleteFlag"
  ${If} $R0 == 1
    StrCpy $R4 1
  ${EndIf}
  System::Call 'advapi32::OpenSCManagerW(p 0, p 0, i 1) p.R0'  ; SC_MANAGER_CONNECT
  ${If} $R0 != 0
    System::Call 'advapi32::OpenServiceW(p R0, w "${SERVICE}", i 2) p.R1'  ; SERVICE_CHANGE_CONFIG
    ${If} $R1 != 0
      ; A change that changes nothing, which only a service marked for deletion refuses
      ; (ERROR_SERVICE_MARKED_FOR_DELETE, 1072; some systems give no code).
      System::Call 'advapi32::ChangeServiceConfigW(p R1, i -1, i -1, i -1, p 0, p 0, p 0, p 0, p 0, p 0, p 0) i.R2 ?e'
      Pop $R3
      ${If} $R2 == 0
        !insertmacro Log `service ${SERVICE} refuses changes (error $R3)`
        StrCpy $R4 1
      ${EndIf}
      System::Call 'advapi32::CloseServiceHandle(p R1)'
    ${EndIf}
    System::Call 'advapi32::CloseServiceHandle(p R0)'
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $Log ""
  ${IfNot} ${RunningX64}
  ${OrIfNot} ${AtLeastWin7}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs 64-bit Windows 7 or later." /SD IDOK
    SetErrorLevel 1633
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
  ; The log: a new file in a folder only administrators can write, so that no user can have
  ; prepared it, linked it elsewhere or kept it open.
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "${UNINS_EXE}"
  ExecWait '"$PLUGINSDIR\unins000.exe" /LOGFOLDER' $0
  ${If} $0 == 0
    ${GetTime} "" "L" $R0 $R1 $R2 $R3 $R4 $R5 $R6
    System::Call 'kernel32::GetCurrentProcessId() i.R7'
    ; GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW: never a file or link that is already there.
    System::Call 'kernel32::CreateFileW(w "${LOG_FOLDER}\$R2$R1$R0-$R4$R5$R6-Setup-$R7.log", i 0x40000000, i 1, p 0, i 1, i 0x80, p 0) p.R8'
    ${If} $R8 != -1
    ${AndIf} $R8 != 0
      StrCpy $Log $R8
    ${EndIf}
  ${EndIf}
  !insertmacro Log `${PRODUCT} Setup ${VERSION}, $R2-$R1-$R0 $R4:$R5:$R6, command line: $CMDLINE`

  ; One installation or removal at a time, machine-wide; the handle lives as long as we do.
  System::Call 'kernel32::CreateMutexW(p 0, i 1, w "${INSTALLATION_MUTEX}") p.R0 ?e'
  Pop $R1
  ${If} $R0 == 0
  ${OrIf} $R1 == 183  ; ERROR_ALREADY_EXISTS
    !insertmacro Refuse 1618 `Another installation or removal of ${PRODUCT} is running; nothing was changed.`
  ${EndIf}

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NORESTART" $R1
  ${IfNot} ${Errors}
    StrCpy $NoRestart 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/FORCE" $R1
  ${IfNot} ${Errors}
    StrCpy $Force 1
  ${EndIf}

  ; An older package does not replace a newer installation unless told to.
  ReadRegStr $R0 HKLM "${OEM_KEY}" "Version"
  ${If} $R0 == ""
    ReadRegStr $R0 HKLM "${ARP_KEY}" "DisplayVersion"
  ${EndIf}
  ${If} $R0 != ""
    ${VersionCompare} "${VERSION}" "$R0" $R1
    ${If} $R1 == 2
    ${AndIf} $Force != 1
      !insertmacro Refuse 1638 `${PRODUCT} $R0 is installed, newer than this package (${VERSION}); nothing was changed (/FORCE installs it anyway).`
    ${EndIf}
    !insertmacro Log `installed version: $R0`
  ${EndIf}

  ; An upgrade goes where the installed copy is, unless /D names another folder.
  ReadRegStr $R0 HKLM "${OEM_KEY}" "InstallPath"
  ${If} $R0 != ""
  ${AndIf} $INSTDIR == "$PROGRAMFILES64\TouchScreen"
    StrCpy $INSTDIR $R0
  ${EndIf}
FunctionEnd

Function .onUserAbort
  !insertmacro Log `cancelled by the user`
  !insertmacro Finish 1602
FunctionEnd

Section "TouchScreen"
  SetRegView 64
  StrCpy $Folder $INSTDIR
  StrCpy $1 $Folder 1 -1
  ${If} $1 == "\"
    StrCpy $Folder $Folder -1
  ${EndIf}
  !insertmacro Log `installing into $Folder`

  Call ServiceMarkedForDeletion
  ${If} $R4 == 1
    !insertmacro Fail `The ${PRODUCT} driver service of the last removal is only deleted at the next restart: restart, then run the package again. Nothing was changed.`
  ${EndIf}

  ; Outside Program Files the folder would inherit its parent's access, often writable by every
  ; user: it gets Program Files' access instead (unins000 /PROTECT: 0 done, 1 refused).
  !insertmacro RunHidden '"$PLUGINSDIR\unins000.exe" /PROTECT "$Folder"'
  ${If} $0 == 1
    !insertmacro Fail `$Folder is a drive, the Windows folder or a folder holding other files; choose a folder of its own.`
  ${ElseIf} $0 != 0
    !insertmacro Fail `$Folder could not be given administrators-only write access (unins000 /PROTECT: $0).`
  ${EndIf}

  ; Programs of an installed copy are closed (the right-button program by its own close
  ; message, so it unregisters), and deletions that its removal left to the restart are
  ; cancelled for everything written here again. Only its own codes count as success: a crash
  ; ends it with an exception code.
  !insertmacro RunHidden '"$PLUGINSDIR\unins000.exe" /PREPARE "$Folder"'
  ${If} $0 != 0
  ${AndIf} $0 != 1
  ${AndIf} $0 != 2
  ${AndIf} $0 != 3
    !insertmacro Fail `The running ${PRODUCT} programs could not be closed (unins000 /PREPARE: $0).`
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
  !insertmacro VendorFile setup.oem
  ${If} $R9 != 1
  ${AndIfNot} ${FileExists} "$INSTDIR\setup.oem"
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
      !insertmacro Fail `The touchscreen driver service could not be created (sc create: $0).`
    ${EndIf}
  ${EndIf}
  !insertmacro RunHidden '"$SYSDIR\sc.exe" start ${SERVICE}'
  ; Without the device attached the driver may refuse to start now: logged as it is.
  Call ReadServiceState
  ${If} $ServiceState == 4  ; SERVICE_RUNNING
    StrCpy $DriverStopped 0
    !insertmacro Log `the driver runs`
  ${Else}
    !insertmacro Log `the driver did not start (sc start: $0, service state $ServiceState)`
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
  WriteRegStr HKLM "${OEM_KEY}" "Version" "${VERSION}"  ; for detection rules
  WriteRegStr HKLM "${RUN_KEY}" "PXwNTcao" '"$Folder\PXwNTcao.exe"'
  WriteRegStr HKLM "${ARP_KEY}" "DisplayName" "${PRODUCT} drivers and utilities"
  WriteRegStr HKLM "${ARP_KEY}" "Publisher" "${VENDOR_NAME}"
  WriteRegStr HKLM "${ARP_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${ARP_KEY}" "InstallLocation" "$Folder"
  WriteRegStr HKLM "${ARP_KEY}" "UninstallString" '"$WINDIR\PXwNTcde.exe"'
  WriteRegStr HKLM "${ARP_KEY}" "QuietUninstallString" '"$Folder\unins000.exe" /QUIET'
  WriteRegStr HKLM "${ARP_KEY}" "DisplayIcon" "$Folder\PXwNTccp.exe,0"
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD HKLM "${ARP_KEY}" "EstimatedSize" $1  ; KB
  WriteRegDWORD HKLM "${ARP_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${ARP_KEY}" "NoRepair" 1
  ${If} ${Errors}
    !insertmacro Fail `The registry settings of ${PRODUCT} could not be written.`
  ${EndIf}

  SetShellVarContext all
  ClearErrors
  CreateShortcut "${SHORTCUT}" "$Folder\PXwNTccp.exe"
  ${If} ${Errors}
    !insertmacro Log `the Start-menu shortcut ${SHORTCUT} could not be made`
  ${EndIf}

  ; In the user's session with the user's rights; without a user at the screen (or a shell to
  ; take the rights from) the logon program starts it at the next logon.
  ${If} $RbfRan == 1
    !insertmacro RunHidden '"$PLUGINSDIR\unins000.exe" /RIGHTBUTTON "$Folder"'
    ${If} $0 != 0
      !insertmacro Log `the right-button program is left to the logon program`
    ${EndIf}
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
    ; It asks the user before it restarts: until then the restart is still needed.
    !insertmacro Log `"$Folder\PXwNTcdi.exe"$1`
    Exec '"$Folder\PXwNTcdi.exe"$1'
    !insertmacro Finish 3010
    Return
  ${EndIf}
  !insertmacro Log `"$Folder\PXwNTcdi.exe" /QUIET$1`
  ClearErrors
  ExecWait '"$Folder\PXwNTcdi.exe" /QUIET$1' $0
  ${If} ${Errors}
    !insertmacro Log `failed: PXwNTcdi could not be started.`
    !insertmacro Finish 1603
  ${ElseIf} $0 == 1641  ; the restart has been started
  ${OrIf} $0 == 3010    ; /NORESTART, or Windows refused the restart
    !insertmacro Finish $0
  ${Else}
    ; 1603: the OEM key could not be read or the vendor name not stored.
    !insertmacro Log `failed: PXwNTcdi ended with $0.`
    !insertmacro Finish 1603
  ${EndIf}
FunctionEnd
