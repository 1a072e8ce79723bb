; TouchScreen setup package. makensis gets every input as a define from packaging/CMakeLists.txt:
;   OUT_FILE, BIN_DIR (the five programs), UNINS_EXE, DRIVER_FILE, VENDOR_NAME, HARDWARE_ID, VERSION.
; A 64-bit installer: it must write the 64-bit registry view and System32 without redirection,
; and 64-bit Windows (and wine64) is where the programs run.

Unicode true
Target amd64-unicode
!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "TouchScreen"
!define OEM_KEY "SOFTWARE\Veldrant\TouchScreen\PX-K17-COM"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define ARP_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchScreen PX-K17-COM"
!define SERVICE "PXWNTCOM"
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

Var Folder  ; $INSTDIR without a trailing "\" (the programs append "\name" themselves)

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs 64-bit Windows." /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

; Runs a command hidden; leaves its exit code in $0 (or "error" when it could not start).
!macro RunHidden command
  DetailPrint `${command}`
  nsExec::ExecToLog `${command}`
  Pop $0
!macroend

Section "TouchScreen"
  SetRegView 64
  StrCpy $Folder $INSTDIR
  StrCpy $1 $Folder 1 -1
  ${If} $1 == "\"
    StrCpy $Folder $Folder -1
  ${EndIf}

  ; A driver left running by an earlier installation holds its file.
  !insertmacro RunHidden '"$SYSDIR\sc.exe" stop ${SERVICE}'

  SetOverwrite on
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}\PXwNTccp.exe"
  File "${BIN_DIR}\PXwNTcao.exe"
  File "${BIN_DIR}\PXwNTcrb.exe"
  File "${BIN_DIR}\PXwNTcdi.exe"
  File "${BIN_DIR}\PXwNTcde.exe"
  File "${UNINS_EXE}"
  WriteINIStr "$INSTDIR\setup.oem" "SETUP" "TITLE" "${VENDOR_NAME}"

  ; The uninstaller runs from here so that it can delete the whole installation folder.
  SetOutPath "$WINDIR"
  File "${BIN_DIR}\PXwNTcde.exe"

  SetOutPath "$SYSDIR\drivers"
  File "/oname=PXWNTCOM.sys" "${DRIVER_FILE}"

  ; The start type is set at creation: some systems ignore a later change of it.
  !insertmacro RunHidden '"$SYSDIR\sc.exe" create ${SERVICE} type= kernel start= auto binPath= "$SYSDIR\drivers\PXWNTCOM.sys" DisplayName= "TouchScreen PX-K17-COM"'
  ${If} $0 != 0
  ${AndIf} $0 != 1073  ; ERROR_SERVICE_EXISTS: a reinstallation keeps the service
    MessageBox MB_OK|MB_ICONSTOP "The touchscreen driver service could not be created (sc create: $0)." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  !insertmacro RunHidden '"$SYSDIR\sc.exe" start ${SERVICE}'
  ; Without the device attached the driver may refuse to start now; the restart loads it.
  ${If} $0 != 0
  ${AndIf} $0 != 1056  ; ERROR_SERVICE_ALREADY_RUNNING
    DetailPrint "The driver did not start now (sc start: $0); it starts with Windows."
  ${EndIf}

  ClearErrors
  WriteRegStr HKLM "${OEM_KEY}" "VenderName" "${FIRST_VENDER_NAME}"
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
  WriteRegDWORD HKLM "${ARP_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${ARP_KEY}" "NoRepair" 1
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "The registry settings of ${PRODUCT} could not be written." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
SectionEnd

; Last step: the post-setup program stores the vendor name and restarts Windows, which ends
; this installer too, so it must come after everything else.
Function .onInstSuccess
  SetOutPath "$INSTDIR"
  Exec '"$Folder\PXwNTcdi.exe"'
FunctionEnd
