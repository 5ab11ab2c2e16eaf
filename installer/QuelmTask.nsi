; The QuelmTask installer. Built by scripts/package with makensis:
;   makensis -DVERSION=1.0.0.1 -DBUILD_DIR=<build folder> -DOUT_FILE=<setup.exe> [-DUNION_ID=n]
; The program itself reads "InstallDate" and "UnionId" written here and never writes them.

Unicode true
Target amd64-unicode
ManifestDPIAware true

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef BUILD_DIR
  !error "BUILD_DIR is not defined"
!endif
!ifndef OUT_FILE
  !error "OUT_FILE is not defined"
!endif
; The channel the copy was handed out on; plain builds are 1001.
!ifndef UNION_ID
  !define UNION_ID 1001
!endif

!define PRODUCT "QuelmTask"
!define TITLE "Quelm定时任务"
!define PUBLISHER "Quelm"
!define PROGRAM_KEY "Software\QuelmTask"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuelmTask"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

Name "${TITLE}"
Caption "${TITLE} ${VERSION} 安装"
UninstallCaption "${TITLE} 卸载"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\QuelmTask"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${TITLE} ${VERSION}"
; A file that cannot be replaced stops the installation (exit code 2 when silent) instead of
; being skipped, which would leave the old program and report success.
AllowSkipFiles off

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${TITLE}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${TITLE} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "..\app\res\QuelmTask.ico"
!define MUI_UNICON "..\app\res\QuelmTask.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\QuelmTask.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行 ${TITLE}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; Ends a running copy the way its own menu does (the quit message ends its main loop, after
; which it sends its exit report, removes its tray icon and joins its threads) and waits for its
; process, not its window, to end; a copy still running after five seconds is ended by force
; (exit code 1, so that a forced end is never taken for a clean one).
; Files of a running program cannot be replaced.
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
  FindWindow $0 "QuelmTask"
  ${If} $0 = 0
    Return
  ${EndIf}
  System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
  ; SYNCHRONIZE | PROCESS_TERMINATE, taken before the quit message so the process cannot slip away
  System::Call "kernel32::OpenProcess(i 0x100001, i 0, i r1) p .r3"
  System::Call "user32::PostMessageW(p r0, i 0x12, p 0, p 0)"
  ${If} $3 P= 0
    Return
  ${EndIf}
  System::Call "kernel32::WaitForSingleObject(p r3, i 5000) i .r4"
  ${If} $4 <> 0
    System::Call "kernel32::TerminateProcess(p r3, i 1)"
    System::Call "kernel32::WaitForSingleObject(p r3, i 5000)"
  ${EndIf}
  System::Call "kernel32::CloseHandle(p r3)"
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; A folder chosen with /D= (or on the directory page) outside Program Files gets the rights of
; Program Files: owned by Administrators, full control for them and SYSTEM, read and execute
; for users, nothing inherited from the parent. The program, which runs elevated, loads its
; update library only from a folder that only administrators can change. A folder that already
; held other things (a drive's root, a user's own folder) keeps its rights.
Var InstallFolderIsOurs

Function SecureCustomFolder
  StrLen $0 "$PROGRAMFILES64\"
  StrCpy $1 "$INSTDIR" $0
  ${If} $1 == "$PROGRAMFILES64\"
  ${OrIfNot} $InstallFolderIsOurs == 1
    Return
  ${EndIf}
  ; SDDL_REVISION_1; the descriptor is LocalAlloc'd by the system.
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", i 1, *p .r2, p 0) i .r0'
  ${If} $0 = 0
    Return
  ${EndIf}
  System::Call 'advapi32::GetSecurityDescriptorOwner(p r2, *p .r3, *i .r4) i .r0'
  System::Call 'advapi32::GetSecurityDescriptorDacl(p r2, *i .r4, *p .r5, *i .r6) i .r0'
  ; SE_FILE_OBJECT; OWNER | DACL | PROTECTED_DACL: the new ACEs also reach what the folder holds.
  System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i 0x80000005, p r3, p 0, p r5, p 0) i .r0'
  System::Call 'kernel32::LocalFree(p r2)'
FunctionEnd

Function .onInit
  SetRegView 64
FunctionEnd

Section "${TITLE}" SecProgram
  SectionIn RO
  Call CloseRunningCopy
  SetShellVarContext all
  StrCpy $InstallFolderIsOurs 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
  ${OrIf} ${FileExists} "$INSTDIR\QuelmTask.exe"
    StrCpy $InstallFolderIsOurs 1
  ${EndIf}
  SetOutPath "$INSTDIR"
  Call SecureCustomFolder
  File "${BUILD_DIR}/QuelmTask.exe"
  SetOutPath "$INSTDIR\sound"
  File "${BUILD_DIR}/sound/Notification.wav"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninst.exe"

  CreateDirectory "$SMPROGRAMS\${TITLE}"
  CreateShortcut "$SMPROGRAMS\${TITLE}\${TITLE}.lnk" "$INSTDIR\QuelmTask.exe"
  CreateShortcut "$SMPROGRAMS\${TITLE}\卸载 ${TITLE}.lnk" "$INSTDIR\uninst.exe"

  ; YYYYMMDD of the local date, the form the program parses.
  ${GetTime} "" "L" $0 $1 $2 $3 $4 $5 $6
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QuelmTask.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallDate" "$2$1$0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "UnionId" ${UNION_ID}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${PROGRAM_KEY}" "UnionId" ${UNION_ID}
SectionEnd

Section "桌面快捷方式" SecDesktop
  SetShellVarContext all
  CreateShortcut "$DESKTOP\${TITLE}.lnk" "$INSTDIR\QuelmTask.exe"
SectionEnd

Section "un.${TITLE}" SecUnProgram
  SectionIn RO
  Call un.CloseRunningCopy
  SetShellVarContext all
  ClearErrors
  Delete "$INSTDIR\QuelmTask.exe"
  Delete "$INSTDIR\sound\Notification.wav"
  ${If} ${Errors}
    ; Still in use: the uninstallation stops (exit code 2 when silent) and says so.
    MessageBox MB_OK|MB_ICONSTOP "无法删除 ${TITLE} 的文件，它可能仍在运行。请关闭后重试。" /SD IDOK
    Abort
  ${EndIf}
  RMDir "$INSTDIR\sound"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${TITLE}\${TITLE}.lnk"
  Delete "$SMPROGRAMS\${TITLE}\卸载 ${TITLE}.lnk"
  RMDir "$SMPROGRAMS\${TITLE}"
  Delete "$DESKTOP\${TITLE}.lnk"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PROGRAM_KEY}"
  DeleteRegValue HKCU "${RUN_KEY}" "QuelmTask"
SectionEnd

; Off unless ticked: the tasks and settings stay for a later installation.
Section /o "un.删除我的任务和设置" SecUnData
  SetShellVarContext current
  RMDir /r "$LOCALAPPDATA\QuelmTask"
SectionEnd

Function un.onInit
  SetRegView 64
  ; "/REMOVEDATA" ticks the data box for a silent uninstall.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecUnData} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
