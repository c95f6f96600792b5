// A sheet's cell values as a person sees them in a spreadsheet: numbers in
// the General format, dates and times in ISO form, strings with the
// format's escapes undone.
#pragma once

#include <string>
#include <string_view>

namespace ztxgrp::workbook {

// The text the General format shows for a number: up to 15 significant
// digits, trailing zeros dropped; exponent form ("2.2E-06", "1E+15") below
// 0.00001 and from 10^15 on. Empty when the text is no number.
std::string GeneralNumber(std::string_view stored);

// What a number format shows.
enum class FormatKind { Number, Date, Time, DateTime };
FormatKind KindOfFormat(int id, std::string_view code);

// A serial date (days since the workbook's epoch, 1900 or 1904) as
// "2026-12-08", "10:30:00" or "2026-12-08 10:30:00" as `kind` shows it.
// Empty when the text is no number or the date is out of range.
std::string SerialDateText(std::string_view stored, FormatKind kind, bool epoch1904);

// A date cell stored as an ISO 8601 text (t="d", as openpyxl writes dates)
// as a serial date shows: "2026-12-08" when its time is midnight,
// "2026-12-08 10:30:00" otherwise (fractions of a second and a zone left
// out). Any other text as it is.
std::string IsoDateText(std::string_view stored);

// A time stored as an ISO 8601 duration (an OpenDocument time cell:
// "PT10H30M00S") as a time shows: "10:30:00"; hours past a day go on
// counting ("PT36H" is "36:00:00"). Any other text as it is.
std::string DurationText(std::string_view stored);

// Strings in workbooks escape some characters as _xHHHH_ (a carriage
// return as _x000D_; an underscore that would be read so as _x005F_).
void UndoEscapes(std::string& text);

}  // namespace ztxgrp::workbook
