; The Windows installer: puts the program beside the trainer, or in a folder
; of its own when the trainer's folder is given, with a Start-menu entry and an
; uninstaller that removes exactly the files it installed (never the
; trainer's own).
;
; For all users (the default for an administrator) or for the current user
; alone: /AllUsers or /CurrentUser on the command line, or the page that asks.
; The mode decides where the Start-menu entry and the "Apps and features"
; entry go (all users and HKLM, or this user and HKCU).
;
; /TRAINERDIR="C:\Trainer folder" sets the trainer's folder for the program:
; for every account of the computer (HKLM\Software\Corvantis\dexlan-options,
; TrainerFolder, the value the program reads for the whole machine) when
; installing for all users; for this account alone (the folder the program
; remembers) when installing for the current user, who cannot write HKLM.
;
; Made by tools/package-windows, which defines VERSION, LICENSE (the licence
; text with CR LF line ends), FILES and UNFILES (include files listing every
; file) and OUTFILE.

Unicode true
; A 64-bit installer for a 64-bit program (and Wine runs it without 32-bit support).
Target amd64-unicode
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Corvantis Dexlan Options 4"
!define PUBLISHER "Corvantis Learning Systems"
!define HELP_LINK "https://corvantis.github.io/dexlan-options/"
!define TRAINER_EXE "Corvantis Dexlan Trainer 4.exe"
!define UNINSTALLER "Uninstall Dexlan Options 4.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvantis Dexlan Options 4"
; The program's own settings (its QSettings organisation and name).
!define SETTINGS_KEY "Software\Corvantis\dexlan-options"
!define SETTINGS_OWNER_KEY "Software\Corvantis"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_FUNCTION modeChosen
; A later installer, and the uninstaller, find the mode of an earlier install
; by where its uninstall entry is.
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "UninstallString"
!define MULTIUSER_INSTALLMODEPAGE_TEXT_TOP "Install ${PRODUCT} for every account of this computer, or for yours alone?"
!define MULTIUSER_INSTALLMODEPAGE_TEXT_ALLUSERS "For all users of this computer"
!define MULTIUSER_INSTALLMODEPAGE_TEXT_CURRENTUSER "For me only"
!include "MultiUser.nsh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}. Licensed under the GNU GPL, version 3 or later."

; The GPL asks for no acceptance: the page shows it, and Next goes on.
LicenseData "${LICENSE}"
LicenseText "${PRODUCT} is free software, under the GNU General Public License, version 3 or later:" "$(^NextBtn)"
Page license
!insertmacro MULTIUSER_PAGE_INSTALLMODE
PageEx directory
    DirText "Setup will install ${PRODUCT} beside the Corvantis Dexlan Training System 4. Choose the trainer's folder: the one that holds $\"${TRAINER_EXE}$\"." "Trainer's folder"
    PageCallbacks "" "" checkTrainerFolder
PageExEnd
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var TrainerDir
; The folder named with /D=, which outranks each mode's own default.
Var CommandLineDir

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/TRAINERDIR=" $TrainerDir
    ${If} ${Errors}
        StrCpy $TrainerDir ""
    ${EndIf}
    StrCpy $CommandLineDir $INSTDIR
    !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
    !insertmacro MULTIUSER_UNINIT
FunctionEnd

; Beside the trainer in its usual place (a 32-bit program, in the 32-bit
; Program Files), unless the trainer's folder is given: then the program has a
; folder of its own and finds the trainer through the setting. An account
; without administrator rights can write neither Program Files.
Function modeChosen
    ${If} $CommandLineDir != ""
        StrCpy $INSTDIR $CommandLineDir
    ${ElseIf} $MultiUser.InstallMode == "CurrentUser"
        StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${ElseIf} $TrainerDir != ""
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
        StrCpy $INSTDIR "$PROGRAMFILES32\Corvantis Dexlan Training System 4"
    ${EndIf}
FunctionEnd

Function checkTrainerFolder
    ${If} $TrainerDir == ""
    ${AndIfNot} ${FileExists} "$INSTDIR\${TRAINER_EXE}"
        MessageBox MB_YESNO|MB_ICONEXCLAMATION "$\"${TRAINER_EXE}$\" is not in this folder. The program finds the trainer by itself only when it lies beside it; elsewhere it asks where the trainer is when it first starts.$\r$\n$\r$\nInstall here all the same?" IDYES +2
        Abort
    ${EndIf}
FunctionEnd

Section "Install"
    SetRegView 64
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\dexlan-options.exe" "" "$INSTDIR\dexlan-options.exe" 0
    ${If} $TrainerDir != ""
        ${If} $MultiUser.InstallMode == "AllUsers"
            WriteRegStr HKLM "${SETTINGS_KEY}" "TrainerFolder" "$TrainerDir"
        ${Else}
            WriteRegStr HKCU "${SETTINGS_KEY}\LocateDialog" "folder" "$TrainerDir"
        ${EndIf}
    ${EndIf}
    ; SHCTX is HKLM for all users and HKCU for the current user (MultiUser
    ; sets the shell context).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "HelpLink" "${HELP_LINK}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${HELP_LINK}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\dexlan-options.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\${UNINSTALLER}$\" /$MultiUser.InstallMode"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\${UNINSTALLER}$\" /$MultiUser.InstallMode /S"
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetRegView 64
    !include "${UNFILES}"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR" ; only when empty: the trainer's folder stays
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    ${If} $MultiUser.InstallMode == "AllUsers"
        DeleteRegValue HKLM "${SETTINGS_KEY}" "TrainerFolder"
        DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKLM "${SETTINGS_OWNER_KEY}"
    ${Else}
        ; The program's settings for this account, the remembered folder among them.
        DeleteRegKey HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "${SETTINGS_OWNER_KEY}"
    ${EndIf}
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
