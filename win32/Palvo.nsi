; Palvo's installer: for the user who runs it, without administrator rights, with a Start-menu
; entry, "Mit Palvo zerlegen" on every file in Explorer, a "Senden an" entry, a place under
; "Öffnen mit" and an uninstaller listed among the system's apps. CMake hands in the version, the
; program, the icon, the license and the output file:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.1 -DPROGRAM=Palvo.exe -DICON=palvo.ico -DLICENSE=LICENSE
;     -DOUTFILE=Palvo-1.1-Setup.exe Palvo.nsi
; A 64-bit installer for a 64-bit program: it runs wherever Palvo.exe does.
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Palvo"
; The verb Explorer shows on every file, and the program as "Öffnen mit" lists it.
!define VERB_KEY "Software\Classes\*\shell\Palvo"
!define APPLICATION_KEY "Software\Classes\Applications\Palvo.exe"
; What each of them runs: Palvo with the file, which its file dialog then offers.
!define COMMAND '"$INSTDIR\Palvo.exe" "%1"'

Name "Palvo ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Palvo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
; A file that cannot be written stops the install, silently too, rather than being skipped.
AllowSkipFiles off

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Palvo.exe"
; The GNU GPL asks nobody to accept it who only installs and uses the program.
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Palvo ist freie Software: Sie dürfen es nach der GNU General Public License, Version 3 oder (nach Ihrer Wahl) jeder späteren, weitergeben und verändern. Um Palvo zu installieren und zu benutzen, müssen Sie nichts annehmen."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Palvo"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Palvo installieren"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "Copyright © 2026 Die Palvo-Entwickler, GPL-3.0-or-later"

; A Palvo.exe that runs can be neither replaced nor deleted. It is removed first, before anything
; else changes; while that fails, the user is asked to end Palvo and retry. Cancelling, or the
; silent mode (/S) where nobody can answer, stops the run with everything as it was (exit code 2).
!macro RemoveProgramUnlessRunning un
Function ${un}RemoveProgramUnlessRunning
  retry:
    ClearErrors
    Delete "$INSTDIR\Palvo.exe"
    ${If} ${Errors}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Palvo läuft noch („$INSTDIR\Palvo.exe“ ist in Gebrauch), bitte zuerst beenden und dann „Wiederholen“ wählen." /SD IDCANCEL IDRETRY retry
        Abort "Palvo läuft noch: es wurde nichts geändert."
    ${EndIf}
FunctionEnd
!macroend
!insertmacro RemoveProgramUnlessRunning ""
!insertmacro RemoveProgramUnlessRunning "un."

; Tells Explorer that the verbs and "Öffnen mit" changed.
!define ASSOCIATIONS_CHANGED "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"

Section
    SetShellVarContext current
    Call RemoveProgramUnlessRunning
    SetOutPath "$INSTDIR"
    File "/oname=Palvo.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Palvo.lnk" "$INSTDIR\Palvo.exe"
    CreateShortcut "$SENDTO\Palvo.lnk" "$INSTDIR\Palvo.exe"

    WriteRegStr HKCU "${VERB_KEY}" "" "Mit Palvo zerlegen"
    WriteRegStr HKCU "${VERB_KEY}" "Icon" "$INSTDIR\Palvo.exe,0"
    WriteRegStr HKCU "${VERB_KEY}\command" "" '${COMMAND}'
    WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "Palvo"
    WriteRegStr HKCU "${APPLICATION_KEY}\shell\open\command" "" '${COMMAND}'
    System::Call "${ASSOCIATIONS_CHANGED}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Palvo"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Palvo"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Palvo.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes exactly what the installer put there, Palvo.exe first; the folder goes only when nothing
; else is in it.
Section "Uninstall"
    SetShellVarContext current
    Call un.RemoveProgramUnlessRunning
    Delete "$SMPROGRAMS\Palvo.lnk"
    Delete "$SENDTO\Palvo.lnk"
    DeleteRegKey HKCU "${VERB_KEY}"
    DeleteRegKey HKCU "${APPLICATION_KEY}"
    System::Call "${ASSOCIATIONS_CHANGED}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
