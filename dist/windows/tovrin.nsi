; Tovrin's Windows installer, for the user who runs it and without administrator rights. Built on
; Linux by dist/windows/make-installer (scripts/package-windows runs it), which defines
;   VERSION         the version, three numbers
;   FILES           a file of two macros: TOVRIN_FILES puts the program folder into $INSTDIR,
;                   TOVRIN_REMOVE takes exactly those files out again
;   PROGRAM_FOLDER  that program folder, whose Base\ holds the texts and help a user's folder gets
;   LOGON           tovrin-logon.exe, which the Run value starts at logon
;   ICON            the program's icon
;   OUTFILE         the installer to write
;   COMPRESSOR      (optional) instead of solid LZMA
;
; What it does:
;   - the program folder into $LOCALAPPDATA\Programs\Tovrin (or the folder of an earlier install,
;     or /D=), with tovrin-logon.exe and the uninstaller beside it;
;   - the user's own folder $APPDATA\Tovrin, where Tovrin keeps everything in Base\: the shipped
;     texts (default.lng, english.lng) where there are none, never over the user's own, and the
;     help where the installer's is newer, for the help describes the program it came with;
;   - a Start-menu shortcut that starts tovrin.exe in $APPDATA\Tovrin;
;   - start at logon, as the user chooses: the Run value "Tovrin". Task Manager switches a Run
;     value off without removing it, in StartupApproved\Run; the options page reads that too,
;     leaves a switched-off value as it is unless the user ticks the box again, and a tick or an
;     untick clears the switch;
;   - an entry in the list of installed programs.
; The uninstaller removes all of that and never touches $APPDATA\Tovrin: the reminders stay.
; Neither goes on while Tovrin runs from the folder: Windows would refuse to replace or delete the
; program file midway, leaving half of one version and half of another.
;
; Silent use: /S installs or upgrades without a question; /AUTOSTART=1 turns the start at logon on,
; /AUTOSTART=0 off, and without it an upgrade keeps what the user had (a first install: off).
; Exit codes: 0 done, 1 cancelled, 2 not done (Tovrin was running, or a file could not be written).

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
; The smallest installer; a test that makes one to throw away may ask for a quicker one.
!ifndef COMPRESSOR
    !define COMPRESSOR "/SOLID lzma"
!endif
SetCompressor ${COMPRESSOR}

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovrin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define RUN_VALUE "Tovrin"
; HKEY_CURRENT_USER as the 64-bit handle Windows defines it, sign-extended.
!define HKCU_HANDLE -2147483647
!define RRF_RT_REG_BINARY 0x8

Name "Tovrin"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tovrin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tovrin ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTovrin
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(RemoveTop)"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The installer speaks the language of the user's Windows, when it is one of these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Tovrin"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Tovrin Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "2026 the Tovrin developers"

LangString WelcomeText ${LANG_ENGLISH} "This installs Tovrin ${VERSION} for you alone, in your own folders: it needs no administrator.$\r$\n$\r$\nIf Tovrin is running, exit it first (Exit in its menu in the notification area).$\r$\n$\r$\nClick Next to continue."
LangString WelcomeText ${LANG_RUSSIAN} "Tovrin ${VERSION} будет установлен только для вас, в ваши собственные папки: права администратора не нужны.$\r$\n$\r$\nЕсли Tovrin запущен, сначала завершите его (команда «Выход» в его меню в области уведомлений).$\r$\n$\r$\nНажмите «Далее», чтобы продолжить."
LangString OptionsTitle ${LANG_ENGLISH} "Options"
LangString OptionsTitle ${LANG_RUSSIAN} "Параметры"
LangString OptionsSubtitle ${LANG_ENGLISH} "Where your reminders live, and whether Tovrin starts when you log on."
LangString OptionsSubtitle ${LANG_RUSSIAN} "Где хранятся напоминания и запускать ли Tovrin при входе в систему."
LangString WhereFiles ${LANG_ENGLISH} "Tovrin will be installed in $INSTDIR.$\r$\n$\r$\nYour reminders and settings live in $APPDATA\Tovrin\Base. Installing a newer Tovrin or removing it leaves them there."
LangString WhereFiles ${LANG_RUSSIAN} "Tovrin будет установлен в $INSTDIR.$\r$\n$\r$\nНапоминания и настройки хранятся в $APPDATA\Tovrin\Base. Обновление и удаление Tovrin их не трогают."
LangString AutostartText ${LANG_ENGLISH} "Start Tovrin when I log on"
LangString AutostartText ${LANG_RUSSIAN} "Запускать Tovrin при входе в систему"
LangString SwitchedOff ${LANG_ENGLISH} "Starting at logon is switched off in Task Manager's list of startup programs. Tick the box to switch it on again."
LangString SwitchedOff ${LANG_RUSSIAN} "Запуск при входе отключён в списке автозагрузки диспетчера задач. Отметьте поле, чтобы включить его снова."
LangString StartNow ${LANG_ENGLISH} "Start Tovrin now"
LangString StartNow ${LANG_RUSSIAN} "Запустить Tovrin"
LangString Running ${LANG_ENGLISH} "Tovrin is running from $INSTDIR. Exit it (Exit in its menu in the notification area), then press Retry."
LangString Running ${LANG_RUSSIAN} "Tovrin запущен из $INSTDIR. Завершите его (команда «Выход» в его меню в области уведомлений) и нажмите «Повтор»."
LangString NotDone ${LANG_ENGLISH} "Tovrin is running: nothing was changed."
LangString NotDone ${LANG_RUSSIAN} "Tovrin запущен: ничего не изменено."
LangString ShortcutTip ${LANG_ENGLISH} "Reminders in the notification area"
LangString ShortcutTip ${LANG_RUSSIAN} "Напоминания в области уведомлений"
LangString RemoveTop ${LANG_ENGLISH} "Tovrin will be removed from the folder below. Your reminders and settings stay in $APPDATA\Tovrin."
LangString RemoveTop ${LANG_RUSSIAN} "Tovrin будет удалён из указанной папки. Напоминания и настройки останутся в $APPDATA\Tovrin."

; Start at logon: what the user had (on, off, or switched-off: a Run value that Task Manager
; switched off), what is wanted now (1 or 0), and whether "off" was asked for in so many words.
Var AutostartWas
Var AutostartWanted
Var AutostartOffAsked
Var AutostartBox

Function .onInit
    Call ReadAutostart
    StrCpy $AutostartOffAsked 0
    StrCpy $AutostartWanted 0
    ${If} $AutostartWas == on
        StrCpy $AutostartWanted 1
    ${EndIf}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/AUTOSTART=" $R1
    ${IfNot} ${Errors}
        ${If} $R1 == 1
            StrCpy $AutostartWanted 1
        ${Else}
            StrCpy $AutostartWanted 0
            StrCpy $AutostartOffAsked 1
        ${EndIf}
    ${EndIf}
FunctionEnd

Function ReadAutostart
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} ${Errors}
        StrCpy $AutostartWas off
        Return
    ${EndIf}
    StrCpy $AutostartWas on
    ; Task Manager's switch: 12 bytes, the lowest bit of the first set while switched off.
    System::Alloc 64
    Pop $1
    System::Call 'advapi32::RegGetValueW(p ${HKCU_HANDLE}, w "${APPROVED_KEY}", w "${RUN_VALUE}", i ${RRF_RT_REG_BINARY}, p 0, p r1, *i 64) i .r2'
    ${If} $2 = 0
        System::Call '*$1(&i1 .r3)'
        IntOp $3 $3 & 1
        ${If} $3 = 1
            StrCpy $AutostartWas switched-off
        ${EndIf}
    ${EndIf}
    System::Free $1
FunctionEnd

Function OptionsPage
    !insertmacro MUI_HEADER_TEXT "$(OptionsTitle)" "$(OptionsSubtitle)"
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 48u "$(WhereFiles)"
    Pop $0
    ${NSD_CreateCheckbox} 0 56u 100% 12u "$(AutostartText)"
    Pop $AutostartBox
    ${If} $AutostartWanted = 1
        ${NSD_Check} $AutostartBox
    ${EndIf}
    ${If} $AutostartWas == switched-off
        ${NSD_CreateLabel} 12u 72u -12u 24u "$(SwitchedOff)"
        Pop $0
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
    ${NSD_GetState} $AutostartBox $0
    ${If} $0 = ${BST_CHECKED}
        StrCpy $AutostartWanted 1
    ${Else}
        ${If} $AutostartWanted = 1
            StrCpy $AutostartOffAsked 1
        ${EndIf}
        StrCpy $AutostartWanted 0
    ${EndIf}
FunctionEnd

Function ApplyAutostart
    ${If} $AutostartWanted = 1
        WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\tovrin-logon.exe"'
        ; Asked for again over Task Manager's switch: the switch goes.
        ${If} $AutostartWas == switched-off
            DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
        ${EndIf}
    ${ElseIf} $AutostartWas == on
    ${OrIf} $AutostartOffAsked = 1
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
        DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
    ${EndIf}
FunctionEnd

; A program file in use cannot be opened for writing on Windows: that is how a running Tovrin shows.
!macro REFUSE_WHILE_RUNNING un
Function ${un}InUse
    Exch $0
    Push $1
    Push $2
    StrCpy $1 0
    ${If} ${FileExists} $0
        ClearErrors
        FileOpen $2 $0 a
        ${If} ${Errors}
            StrCpy $1 1
        ${Else}
            FileClose $2
        ${EndIf}
    ${EndIf}
    StrCpy $0 $1
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

Function ${un}RefuseWhileRunning
    retry:
    Push "$INSTDIR\tovrin.exe"
    Call ${un}InUse
    Pop $0
    Push "$INSTDIR\tovrin-cli.exe"
    Call ${un}InUse
    Pop $1
    ${If} $0 = 1
    ${OrIf} $1 = 1
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(Running)" /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Abort "$(NotDone)"
    ${EndIf}
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING ""
!insertmacro REFUSE_WHILE_RUNNING "un."

Function StartTovrin
    SetOutPath "$APPDATA\Tovrin"
    Exec '"$INSTDIR\tovrin.exe"'
FunctionEnd

Section
    Call RefuseWhileRunning
    !insertmacro TOVRIN_FILES
    SetOutPath "$INSTDIR"
    File "${LOGON}"

    SetOutPath "$APPDATA\Tovrin\Base"
    SetOverwrite off
    File "${PROGRAM_FOLDER}\Base\default.lng"
    File "${PROGRAM_FOLDER}\Base\english.lng"
    SetOverwrite ifnewer
    File "${PROGRAM_FOLDER}\Base\Help.chm"
    SetOverwrite on

    ; A shortcut starts its program in the folder that is the output folder when it is made.
    SetOutPath "$APPDATA\Tovrin"
    CreateShortCut "$SMPROGRAMS\Tovrin.lnk" "$INSTDIR\tovrin.exe" "" "$INSTDIR\tovrin.exe" 0 \
        SW_SHOWNORMAL "" "$(ShortcutTip)"
    Call ApplyAutostart

    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tovrin"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tovrin.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Tovrin developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section Uninstall
    Call un.RefuseWhileRunning
    !insertmacro TOVRIN_REMOVE
    Delete "$INSTDIR\tovrin-logon.exe"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: a Base\ someone filled by starting tovrin.exe here directly stays.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Tovrin.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
