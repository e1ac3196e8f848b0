; The demo setup package of the product: installs pageWright.exe into the
; folder given by /D= (unquoted, last on the command line, as NSIS wants it).
; /S runs it without any window.
;
; Defines passed by the build: OUTFILE, PRODUCT_EXE, PADDING, and TARGET
; (e.g. amd64-unicode) when the package is built for another architecture.
;
; A package served for a test may end with a trailer of 64 bytes,
;   <blanks> LF "PWSETUP" LF <exit code> LF <runs> LF <nonce> LF
; which makes its first <runs> runs (counted per nonce in the temporary
; folder) exit at once with <exit code>.

!ifdef TARGET
Target ${TARGET}
!else
Unicode true
!endif
Name "PageWright"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\zorvikmedia\pageWright"
RequestExecutionLevel user
SetCompress off
ShowInstDetails nevershow

; Incompressible filler that brings the package to its real size. It is only
; carried, never extracted.
ReserveFile "${PADDING}"

Page directory
Page instfiles

Var Marker
Var FailCode
Var FailRuns
Var Nonce
Var RunsSoFar

Function ReadTrailerLine
  ; $0 = open file handle; result on the stack without its line feed
  FileRead $0 $R0
  StrCpy $R0 $R0 -1
  Push $R0
FunctionEnd

Function .onInit
  FileOpen $0 "$EXEPATH" r
  IfErrors done
  FileSeek $0 -64 END
  Call ReadTrailerLine
  Pop $Marker
  Call ReadTrailerLine
  Pop $Marker
  Call ReadTrailerLine
  Pop $FailCode
  Call ReadTrailerLine
  Pop $FailRuns
  Call ReadTrailerLine
  Pop $Nonce
  FileClose $0
  StrCmp $Marker "PWSETUP" 0 done
  ReadINIStr $RunsSoFar "$TEMP\pwsetup-runs.ini" "runs" "$Nonce"
  IntOp $RunsSoFar $RunsSoFar + 0
  IntCmp $RunsSoFar $FailRuns done 0 done
  IntOp $RunsSoFar $RunsSoFar + 1
  WriteINIStr "$TEMP\pwsetup-runs.ini" "runs" "$Nonce" "$RunsSoFar"
  FlushINI "$TEMP\pwsetup-runs.ini"
  SetErrorLevel $FailCode
  Quit
done:
FunctionEnd

Section "PageWright"
  SetOutPath "$INSTDIR"
  File "/oname=pageWright.exe" "${PRODUCT_EXE}"
  ; What the package was started with, for the tests.
  FileOpen $1 "$INSTDIR\setup-cmdline.txt" w
  FileWriteUTF16LE $1 "$CMDLINE"
  FileClose $1
SectionEnd
