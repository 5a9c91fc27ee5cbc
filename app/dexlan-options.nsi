; The Windows installer: puts the program beside the trainer, in the folder
; the user confirms, with a Start-menu entry and an uninstaller that removes
; exactly the files it installed (never the trainer's own).
; Made by tools/package-windows, which defines VERSION, STAGE (the folder laid
; out as the zip is), FILES and UNFILES (include files listing every file) and
; OUTFILE.

Unicode true
; A 64-bit installer for a 64-bit program (and Wine runs it without 32-bit support).
Target amd64-unicode
!include "LogicLib.nsh"

!define PRODUCT "Corvantis Dexlan Options 4"
!define TRAINER_EXE "Corvantis Dexlan Trainer 4.exe"
!define UNINSTALLER "Uninstall Dexlan Options 4.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvantis Dexlan Options 4"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The trainer is a 32-bit program: its usual place is the 32-bit Program Files.
InstallDir "$PROGRAMFILES32\Corvantis Dexlan Training System 4"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "Corvantis Learning Systems"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) Corvantis Learning Systems. Licensed under the GNU GPL, version 3 or later."

PageEx directory
    DirText "Setup will install ${PRODUCT} beside the Corvantis Dexlan Training System 4. Choose the trainer's folder: the one that holds $\"${TRAINER_EXE}$\"." "Trainer's folder"
    PageCallbacks "" "" checkTrainerFolder
PageExEnd
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function checkTrainerFolder
    ${IfNot} ${FileExists} "$INSTDIR\${TRAINER_EXE}"
        MessageBox MB_YESNO|MB_ICONEXCLAMATION "$\"${TRAINER_EXE}$\" is not in this folder. The program finds the trainer by itself only when it lies beside it.$\r$\n$\r$\nInstall here all the same?" IDYES +2
        Abort
    ${EndIf}
FunctionEnd

Section "Install"
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\dexlan-options.exe" "" "$INSTDIR\dexlan-options.exe" 0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Corvantis Learning Systems"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\dexlan-options.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\${UNINSTALLER}$\""
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    !include "${UNFILES}"
    Delete "$INSTDIR\${UNINSTALLER}"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
