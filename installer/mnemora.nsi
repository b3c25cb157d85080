; Installer of Mnemora: the program built for the system's architecture, its help page, a
; start-menu entry, an uninstaller, and (offered) the sample card sets, copied into the user's
; application-data folder without replacing any card set of the same name.
; makensis -DVERSION=1.0 -DBUILD64=... -DBUILD32=... -DHELP=... -DSAMPLES=... -DOUTFILE=... mnemora.nsi
Unicode true
!ifdef AMD64_STUB
; The same installer with a 64-bit stub, for machines that run only 64-bit programs.
Target amd64-unicode
!endif
!include "x64.nsh"
!include "LogicLib.nsh"

Name "Mnemora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Mnemora"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mnemora"

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    ${If} ${RunningX64}
        SetRegView 64
        StrCpy $INSTDIR "$PROGRAMFILES64\Mnemora"
    ${EndIf}
FunctionEnd

Section "Mnemora (required)" ProgramSection
    SectionIn RO
    SetOutPath "$INSTDIR"
    ${If} ${RunningX64}
        File "/oname=mnemora.exe" "${BUILD64}\mnemora.exe"
    ${Else}
        File "/oname=mnemora.exe" "${BUILD32}\mnemora.exe"
    ${EndIf}
    SetOutPath "$INSTDIR\help"
    File "${HELP}\*.*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    SetShellVarContext current
    CreateDirectory "$SMPROGRAMS\Mnemora"
    CreateShortcut "$SMPROGRAMS\Mnemora\Mnemora.lnk" "$INSTDIR\mnemora.exe"
    CreateShortcut "$SMPROGRAMS\Mnemora\Mnemora help.lnk" "$INSTDIR\help\mnemora.html"
    CreateShortcut "$SMPROGRAMS\Mnemora\Uninstall Mnemora.lnk" "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Mnemora"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mnemora.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Sample card sets: a card set or picture of the same name that the player already has is kept.
Section "Sample card sets" SamplesSection
    SetShellVarContext current
    SetOverwrite off
    SetOutPath "$APPDATA"
    File "${SAMPLES}\*.mnc"
    ; The media folders the card sets name through %APPDATA%.
    File /r "${SAMPLES}\Shapes"
    File /r /x .complete "${SAMPLES}\Mnemora samples"
    SetOverwrite on
SectionEnd

; The uninstaller removes the program and leaves every card set of the player where it is.
Section "Uninstall"
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    Delete "$INSTDIR\mnemora.exe"
    RMDir /r "$INSTDIR\help"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Mnemora\Mnemora.lnk"
    Delete "$SMPROGRAMS\Mnemora\Mnemora help.lnk"
    Delete "$SMPROGRAMS\Mnemora\Uninstall Mnemora.lnk"
    RMDir "$SMPROGRAMS\Mnemora"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
