; The 64-bit Windows installer of Zarnok!, made by scripts/windows-package.sh with
;   makensis -DVERSION=X.Y.Z -DGAME_FILES=FOLDER -DOUTPUT=FILE windows_installer.nsi
; where FOLDER holds the game's folder as `cmake --install --component game` made it,
; and FOLDER.install.nsh / FOLDER.uninstall.nsh (written by the same script) name its
; files one by one. It installs them into Program Files\Zarnok, adds a Start-menu entry
; that starts the game in that folder (the game reads its files from its working
; directory), and registers an uninstaller with Windows that removes exactly those
; files, the entry and the registration. /S installs or uninstalls silently;
; /D=FOLDER chooses another folder.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Zarnok!"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarnok"
!define MENU_FOLDER "$SMPROGRAMS\Zarnok"

Name "${PRODUCT}"
OutFile "${OUTPUT}"
InstallDir "$PROGRAMFILES64\Zarnok"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Zarnok!"
  !include "${GAME_FILES}.install.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The shortcut's working folder is the output folder at the time it is made.
  SetOutPath "$INSTDIR"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\Zarnok!.lnk" "$INSTDIR\zarnok.exe" "" "$INSTDIR\zarnok.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Zarnok! developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zarnok.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  Delete "${MENU_FOLDER}\Zarnok!.lnk"
  RMDir "${MENU_FOLDER}"
  ; The installed files by name, then their folders if that left them empty: nothing
  ; the user put into the folder is removed.
  !include "${GAME_FILES}.uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
