; The Wendrel installer. One script for both architectures; each build is a
; program of its own architecture holding that build of the saver:
;   makensis -DARCH=x86_64|i686 -DVERSION=X.Y.Z -DSAVER=wendrel.scr
;            -DICON=wendrel.ico -DLICENSE=LICENSE.txt
;            -DOUTFILE=wendrel-setup-ARCH.exe wendrel.nsi
; Silent use: /S installs; /ACTIVE=0 leaves the current screen saver alone.
; The uninstaller's /S removes; /REMOVESETTINGS=1 also removes the user's
; "Do not use DirectDraw" setting.

!ifndef ARCH | VERSION | SAVER | ICON | LICENSE | OUTFILE
    !error "define ARCH, VERSION, SAVER, ICON, LICENSE and OUTFILE"
!endif
!if "${ARCH}" == "x86_64"
    Target amd64-unicode
    !define BITS 64
!else if "${ARCH}" == "i686"
    Target x86-unicode
    !define BITS 32
!else
    !error "ARCH is x86_64 or i686"
!endif

!include LogicLib.nsh
!include nsDialogs.nsh
!include x64.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Wendrel"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SETTINGS_KEY "Software\Tavrin Screen Savers\wendrel"
!define SPI_SETSCREENSAVEACTIVE 17
; SPIF_UPDATEINIFILE | SPIF_SENDCHANGE
!define SPIF_STORE_AND_TELL 3

Name "Wendrel"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestSupportedOS all
BrandingText "Wendrel ${VERSION}"
!if ${BITS} == 64
    InstallDir "$PROGRAMFILES64\Wendrel"
!else
    InstallDir "$PROGRAMFILES\Wendrel"
!endif

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"

Var SaverDir
Var SaverPath
Var Active
Var ActiveBox
Var RemoveSettings
Var RemoveBox

; The licence first; a silent install shows no page at all.
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
UninstPage custom un.OptionsPage un.OptionsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Wendrel"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "TAVRIN Software"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 TAVRIN Software"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Wendrel screen saver setup (${BITS}-bit)"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "wendrel-setup-${ARCH}.exe"

; Where the saver goes, as every program on the machine names it: a 32-bit
; saver on 64-bit Windows lives in SysWOW64, and the screen-saver setting
; must name that folder, or the 64-bit system would look in System32.
!macro FindSaverDir
    !if ${BITS} == 64
        StrCpy $SaverDir "$SYSDIR"
    !else
        ${If} ${RunningX64}
            StrCpy $SaverDir "$WINDIR\SysWOW64"
        ${Else}
            StrCpy $SaverDir "$SYSDIR"
        ${EndIf}
    !endif
    StrCpy $SaverPath "$SaverDir\wendrel.scr"
!macroend

; Sets $0 to 1 when the option $1 (like "/ACTIVE=") on the command line has
; the value $2, to 0 otherwise.
!macro OptionIs un
    Function ${un}OptionIs
        Push $3
        Push $4
        ${GetParameters} $3
        ClearErrors
        ${GetOptions} $3 $1 $4
        StrCpy $0 0
        ${IfNot} ${Errors}
        ${AndIf} $4 == $2
            StrCpy $0 1
        ${EndIf}
        Pop $4
        Pop $3
    FunctionEnd
!macroend
!insertmacro OptionIs ""
!insertmacro OptionIs "un."

Function .onInit
    !if ${BITS} == 64
        ${IfNot} ${RunningX64}
            MessageBox MB_ICONSTOP "This is the 64-bit Wendrel; on 32-bit Windows, use wendrel-setup-i686.exe." /SD IDOK
            Abort
        ${EndIf}
        SetRegView 64
    !endif
    !insertmacro FindSaverDir
    StrCpy $1 "/ACTIVE="
    StrCpy $2 "0"
    Call OptionIs
    ${If} $0 == 1
        StrCpy $Active ${BST_UNCHECKED}
    ${Else}
        StrCpy $Active ${BST_CHECKED}
    ${EndIf}
FunctionEnd

Function OptionsPage
    !insertmacro MUI_HEADER_TEXT "Wendrel ${VERSION}" "The autumn-leaves screen saver (${BITS}-bit)"
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    !if ${BITS} == 64
        StrCpy $1 "Setup installs the 64-bit Wendrel screen saver into the System32 folder of Windows:$\r$\n$\r$\n    $SaverPath"
    !else
        StrCpy $1 "Setup installs the 32-bit Wendrel screen saver. It goes into the System32 folder of 32-bit Windows and, on 64-bit Windows, into SysWOW64; here:$\r$\n$\r$\n    $SaverPath"
    !endif
    ${NSD_CreateLabel} 0 0 100% 60u "$1$\r$\n$\r$\nIt then appears in the screen saver settings as $\"Wendrel$\". The uninstaller is kept in $INSTDIR."
    Pop $0
    ${NSD_CreateCheckbox} 0 72u 100% 12u "&Make Wendrel my screen saver"
    Pop $ActiveBox
    ${NSD_SetState} $ActiveBox $Active
    nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
    ${NSD_GetState} $ActiveBox $Active
FunctionEnd

Section "Wendrel" SecSaver
    SectionIn RO
    SetOutPath "$SaverDir"
    File "/oname=wendrel.scr" "${SAVER}"
    SetOutPath "$INSTDIR"
    File "/oname=LICENSE.txt" "${LICENSE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Wendrel"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "TAVRIN Software"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SaverPath,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    SectionGetSize ${SecSaver} $1
    IntOp $0 $0 + $1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    ${If} $Active == ${BST_CHECKED}
        WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverPath"
        WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
        ; Stores the flag again and tells every program the setting changed.
        System::Call "user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_STORE_AND_TELL})"
        DetailPrint "Wendrel is now the screen saver."
    ${EndIf}
SectionEnd

Function un.onInit
    !if ${BITS} == 64
        SetRegView 64
    !endif
    !insertmacro FindSaverDir
    StrCpy $1 "/REMOVESETTINGS="
    StrCpy $2 "1"
    Call un.OptionIs
    ${If} $0 == 1
        StrCpy $RemoveSettings ${BST_CHECKED}
    ${Else}
        StrCpy $RemoveSettings ${BST_UNCHECKED}
    ${EndIf}
FunctionEnd

Function un.OptionsPage
    !insertmacro MUI_HEADER_TEXT "Remove Wendrel" "The autumn-leaves screen saver (${BITS}-bit)"
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${NSD_CreateLabel} 0 0 100% 48u "Setup removes $SaverPath and itself. If Wendrel is your screen saver, Windows then has none; a screen saver you have picked since stays."
    Pop $0
    ${NSD_CreateCheckbox} 0 56u 100% 12u "&Also remove my Wendrel setting ($\"Do not use DirectDraw$\")"
    Pop $RemoveBox
    ${NSD_SetState} $RemoveBox $RemoveSettings
    nsDialogs::Show
FunctionEnd

Function un.OptionsPageLeave
    ${NSD_GetState} $RemoveBox $RemoveSettings
FunctionEnd

Section "Uninstall"
    ; The setting is cleared only while it still names this saver, in the
    ; long or the short form of its path.
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    GetFullPathName /SHORT $1 "$SaverPath"
    GetFullPathName /SHORT $2 "$0"
    StrCpy $3 0
    ${If} $0 == $SaverPath
        StrCpy $3 1
    ${ElseIf} $1 != ""
    ${AndIf} $2 == $1
        StrCpy $3 1
    ${EndIf}
    ${If} $3 == 1
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${DESKTOP_KEY}" /TIMEOUT=2000
        DetailPrint "Windows has no screen saver now."
    ${EndIf}
    Delete "$SaverPath"
    ${If} $RemoveSettings == ${BST_CHECKED}
        DeleteRegKey HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "Software\Tavrin Screen Savers"
    ${EndIf}
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
