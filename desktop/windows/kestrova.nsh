; Included at the top of the installer CPack writes: a 64-bit installer, and
; the registry entries beyond CPack's own, made on install and taken away
; again on uninstall.
Target amd64-unicode

!define KESTROVA_EXE "$INSTDIR\bin\kestrova.exe"
!define KESTROVA_PROGID "Kestrova.List"
!define KESTROVA_CLASSES "Software\Classes"
!define KESTROVA_APPLICATION "Software\Classes\Applications\kestrova.exe"
!define KESTROVA_APP_PATH "Software\Microsoft\Windows\CurrentVersion\App Paths\kestrova.exe"
!define KESTROVA_VENDOR_KEY "Software\Kestrova contributors"

; "Open with Kestrova" for .txt files, without becoming their default program:
; a program id listed under .txt's OpenWithProgids, and the program itself
; under Applications. "kestrova" in Run (Win+R) through App Paths.
Function KestrovaRegister
  WriteRegStr SHCTX "${KESTROVA_CLASSES}\${KESTROVA_PROGID}" "" "Proxy list"
  WriteRegStr SHCTX "${KESTROVA_CLASSES}\${KESTROVA_PROGID}\DefaultIcon" "" "${KESTROVA_EXE},0"
  WriteRegStr SHCTX "${KESTROVA_CLASSES}\${KESTROVA_PROGID}\shell\open\command" "" \
    '"${KESTROVA_EXE}" "%1"'
  WriteRegStr SHCTX "${KESTROVA_CLASSES}\.txt\OpenWithProgids" "${KESTROVA_PROGID}" ""
  WriteRegStr SHCTX "${KESTROVA_APPLICATION}" "FriendlyAppName" "Kestrova"
  WriteRegStr SHCTX "${KESTROVA_APPLICATION}\DefaultIcon" "" "${KESTROVA_EXE},0"
  WriteRegStr SHCTX "${KESTROVA_APPLICATION}\shell\open\command" "" '"${KESTROVA_EXE}" "%1"'
  WriteRegStr SHCTX "${KESTROVA_APPLICATION}\SupportedTypes" ".txt" ""
  WriteRegStr SHCTX "${KESTROVA_APP_PATH}" "" "${KESTROVA_EXE}"
  WriteRegStr SHCTX "${KESTROVA_APP_PATH}" "Path" "$INSTDIR\bin"
  ; SHCNE_ASSOCCHANGED: Explorer reads the associations again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
FunctionEnd

; Deletes the key in $R0 if nothing is left in it: no subkey, no value.
Function un.KestrovaRemoveIfEmpty
  ClearErrors
  EnumRegKey $R1 SHCTX "$R0" 0
  IfErrors done
  StrCmp $R1 "" 0 done
  EnumRegValue $R1 SHCTX "$R0" 0
  StrCmp $R1 "" 0 done
  ClearErrors
  ReadRegStr $R1 SHCTX "$R0" ""
  IfErrors 0 done
  DeleteRegKey SHCTX "$R0"
  done:
FunctionEnd

; Takes away what KestrovaRegister made and nothing else: a key shared with
; other programs (.txt, its OpenWithProgids, Applications) goes only when
; it is left empty.
Function un.KestrovaUnregister
  DeleteRegValue SHCTX "${KESTROVA_CLASSES}\.txt\OpenWithProgids" "${KESTROVA_PROGID}"
  StrCpy $R0 "${KESTROVA_CLASSES}\.txt\OpenWithProgids"
  Call un.KestrovaRemoveIfEmpty
  StrCpy $R0 "${KESTROVA_CLASSES}\.txt"
  Call un.KestrovaRemoveIfEmpty
  DeleteRegKey SHCTX "${KESTROVA_CLASSES}\${KESTROVA_PROGID}"
  DeleteRegKey SHCTX "${KESTROVA_APPLICATION}"
  StrCpy $R0 "${KESTROVA_CLASSES}\Applications"
  Call un.KestrovaRemoveIfEmpty
  DeleteRegKey SHCTX "${KESTROVA_APP_PATH}"
  ; CPack keeps the install folder under the publisher's key; both go.
  DeleteRegKey SHCTX "${KESTROVA_VENDOR_KEY}\Kestrova"
  StrCpy $R0 "${KESTROVA_VENDOR_KEY}"
  Call un.KestrovaRemoveIfEmpty
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
FunctionEnd
