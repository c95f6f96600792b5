' Groups, ungroups and checks designators the way a script author would.
Option Explicit
Dim grouper, parts, grouped, items, mixed

Function ListText(list)
  Dim k, text
  text = ""
  For k = 0 To UBound(list)
    If k > 0 Then text = text & ", "
    text = text & list(k)
  Next
  ListText = text
End Function

Set grouper = CreateObject("ztxgrp.IclsGroup")
parts = Array("R3", "R1", "C2", "R2", "R5")
grouped = grouper.Group(parts)
WScript.Echo "Group: " & ListText(grouped)
WScript.Echo "Bounds: " & LBound(grouped) & " to " & UBound(grouped)
items = grouper.Ungroup(grouped)
WScript.Echo "Ungroup: " & ListText(items)
WScript.Echo "UngroupItem: " & ListText(grouper.UngroupItem("R1-R4"))
WScript.Echo "Plain numbers: " & ListText(grouper.Ungroup(Array("8-10")))
WScript.Echo "Valid R1-R3: " & grouper.IsValidRange("R1-R3")
WScript.Echo "Valid R3-R1: " & grouper.IsValidRange("R3-R1")
WScript.Echo "Valid number: " & grouper.IsValidRange(5)
WScript.Echo "Argument unchanged: " & ListText(parts)
mixed = Array("R10", 9, "R9", "")
WScript.Echo "Mixed: " & ListText(grouper.Group(mixed))
WScript.Echo "By value: " & ListText(grouper.Group((parts)))
WScript.Echo "END"
