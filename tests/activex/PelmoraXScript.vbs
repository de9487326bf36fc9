' A script host drives PelmoraX against the simulated interface on TCP 4000:
' create the control, set and read properties, call methods, read a failure.
' Prints one line per failed check and ends with exit code 1 when any failed.
Option Explicit
Dim px, failures, r
failures = 0

Sub Check(what, got, expected)
  If got <> expected Then
    WScript.Echo "FAIL " & what & ": got [" & got & "], expected [" & expected & "]"
    failures = failures + 1
  End If
End Sub

Set px = CreateObject("PelmoraX.PelmoraX")

' Booleans: 1 counts as true, results are True (-1) or False (0).
px.SetZeroMode = 1
Check "ZeroSetMode after 1", CInt(px.ZeroSetMode), -1
px.SetZeroMode = False
Check "ZeroSetMode after False", CInt(px.ZeroSetMode), 0
px.MaxRecordCount = 777
Check "MaxRecordCount", px.MaxRecordCount, 777
Check "RunningMode before connect", px.RunningMode, -1
Check "start with the link closed", px.Pelmora(True), 6
Check "ErrorNumber", px.ErrorNumber, 6

Check "InitializeComm", px.InitializeComm(), 0
Check "PelmoraType", px.PelmoraType, "Tolemic"
Check "PelmoraConnected", px.PelmoraConnected, True
Check "RunningMode", px.RunningMode, 0
Check "CHAID", px.CHAID, 12
px.CHInputMode = 0
Check "CHInputMode Digital", px.CHInputMode, 0
px.CHInputMode = 2
Check "CHInputMode Scope", px.CHInputMode, 2
px.CHInputMode = 1
Check "CHInputMode Analog", px.CHInputMode, 1
px.SamplingTime = 0.5
Check "SamplingTime", px.SamplingTime, 0.5
px.CHAName = "Licht"
Check "CHAName", px.CHAName, "Licht"
Check "GetDataList before a run", px.GetDataList(), ""

' A failure comes back as an error with its text.
On Error Resume Next
r = px.PWMOptionSetting(True, 300, False, 500, 50, 50, 50)
Check "PWMOptionSetting error", Hex(Err.Number), "80070057"
Check "PWMOptionSetting text", InStr(Err.Description, "pPWMOption") > 0, True
Err.Clear
On Error GoTo 0

Check "CloseComm", px.CloseComm(), 0
Check "RunningMode after close", px.RunningMode, -1
Set px = Nothing

If failures > 0 Then WScript.Quit 1
WScript.Echo "PelmoraX script checks passed"
