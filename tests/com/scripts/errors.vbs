' Failures as a script sees them: Err.Number, Err.Description, Err.Source.
Option Explicit
Dim grouper, result, parts, missing

Set grouper = CreateObject("ztxgrp.IclsGroup")
On Error Resume Next
result = grouper.UngroupItem("R3-R1")
WScript.Echo "R3-R1: " & Err.Number & " " & Err.Description & " (" & Err.Source & ")"
Err.Clear
result = grouper.Group("R1")
WScript.Echo "Not a list: " & Err.Number & " " & Err.Description
Err.Clear
parts = Array("R1", Null)
result = grouper.Group(parts)
WScript.Echo "Null element: " & Err.Number & " " & Err.Description
Err.Clear
result = grouper.Ungroup(Array("R0-R32766", "C1"))
WScript.Echo "Too many items: " & Err.Number & " " & Err.Description
Err.Clear
result = grouper.UngroupItem(".5")
WScript.Echo "Whole text a number: " & Err.Number & " " & Err.Description
Err.Clear
result = grouper.Ungroup(Array(Array("R1")))
WScript.Echo "Nested list: " & Err.Number
Err.Clear
result = grouper.Frobnicate(1)
WScript.Echo "Unknown method: " & Err.Number
Err.Clear
Set missing = CreateObject("ztxgrp.NoSuchClass")
WScript.Echo "Unknown class: " & Err.Number
Err.Clear
On Error Goto 0
result = grouper.Group(Array("R2", "R1"))
WScript.Echo "Still usable: " & result(0)
WScript.Echo "END"
