#include "cell_text.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ztxgrp/utf.hpp"

namespace ztxgrp::workbook {
namespace {

// The stored text of a number; nullopt-like NaN when it is none.
double NumberOf(std::string_view stored) {
  std::string text(stored);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  if (text.empty()) return std::nan("");
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nan("");
  return value;
}

std::string TwoDigits(long long value) {
  return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

}  // namespace

std::string GeneralNumber(std::string_view stored) {
  const double value = NumberOf(stored);
  if (std::isnan(value)) return {};
  if (value == 0) return "0";
  // 15 significant digits: d.dddddddddddddde±x
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  std::string text(buffer);
  const std::size_t e = text.find('e');
  const int exponent = std::atoi(text.c_str() + e + 1);
  const bool negative = text[0] == '-';
  std::string digits;
  for (std::size_t i = negative ? 1 : 0; i < e; ++i)
    if (text[i] != '.') digits += text[i];
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string shown = negative ? "-" : "";
  if (exponent < -5 || exponent >= 15) {
    shown += digits[0];
    if (digits.size() > 1) {
      shown += '.';
      shown.append(digits, 1);
    }
    shown += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) shown += '0';
    shown += std::to_string(magnitude);
  } else if (exponent < 0) {
    shown += "0.";
    shown.append(static_cast<std::size_t>(-exponent - 1), '0');
    shown += digits;
  } else {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      shown += digits + std::string(whole - digits.size(), '0');
    } else {
      shown.append(digits, 0, whole);
      shown += '.';
      shown.append(digits, whole);
    }
  }
  return shown;
}

FormatKind KindOfFormat(int id, std::string_view code) {
  // The built-in formats that show dates and times.
  if (id >= 14 && id <= 17) return FormatKind::Date;
  if (id == 22) return FormatKind::DateTime;
  if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return FormatKind::Time;
  if (id < 164) return FormatKind::Number;
  // A format of the workbook's own: its letters outside quotes, brackets and
  // escapes say what it shows ("yyyy-mm-dd", "d.m.yy h:mm"; "[Red]0.00" and
  // "0 \"days\"" show numbers).
  bool date = false, time = false;
  bool quoted = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (quoted) {
      quoted = c != '"';
      continue;
    }
    if (c == '"') {
      quoted = true;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;
    } else if (c == '[') {
      const std::size_t close = code.find(']', i);
      if (close == std::string_view::npos) break;
      i = close;
    } else if (c == ';') {
      break;  // the format for positive numbers decides
    } else {
      const char lower = static_cast<char>(c | 0x20);
      if (lower == 'y' || lower == 'd') date = true;
      if (lower == 'h' || lower == 's') time = true;
    }
  }
  if (date && time) return FormatKind::DateTime;
  if (date) return FormatKind::Date;
  if (time) return FormatKind::Time;
  return FormatKind::Number;
}

std::string SerialDateText(std::string_view stored, FormatKind kind, bool epoch1904) {
  const double serial = NumberOf(stored);
  if (std::isnan(serial) || serial < 0 || serial >= 2958466) return {};  // up to 9999-12-31
  long long days = static_cast<long long>(std::floor(serial));
  long long seconds = std::llround((serial - static_cast<double>(days)) * 86400.0);
  if (seconds == 86400) {
    ++days;
    seconds = 0;
  }
  // Days since 1970-01-01. The 1900 system counts a 29 February 1900 that
  // never was: serial 60; days after it are one fewer.
  long long sinceEpoch;
  if (epoch1904) {
    sinceEpoch = days - 24107;
  } else if (days >= 60) {
    sinceEpoch = days - 25569;
  } else {
    sinceEpoch = days - 25568;
  }
  // Howard Hinnant's civil_from_days.
  const long long z = sinceEpoch + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long day = doy - (153 * mp + 2) / 5 + 1;
  const long long month = mp < 10 ? mp + 3 : mp - 9;
  const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  std::string date = std::to_string(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day);
  if (!epoch1904 && days == 60) date = "1900-02-29";
  if (!epoch1904 && days == 0) date = "1900-01-00";
  const std::string time = TwoDigits(seconds / 3600) + ":" + TwoDigits(seconds / 60 % 60) + ":" +
                           TwoDigits(seconds % 60);
  switch (kind) {
    case FormatKind::Time:
      return time;
    case FormatKind::DateTime:
      return date + " " + time;
    default:
      return date;
  }
}

std::string IsoDateText(std::string_view stored) {
  const auto digits = [&](std::size_t at, std::size_t count) {
    if (at + count > stored.size()) return false;
    for (std::size_t k = at; k < at + count; ++k)
      if (stored[k] < '0' || stored[k] > '9') return false;
    return true;
  };
  // YYYY-MM-DD, then THH:MM:SS with an optional fraction and zone.
  if (!digits(0, 4) || stored.size() < 10 || stored[4] != '-' || !digits(5, 2) ||
      stored[7] != '-' || !digits(8, 2))
    return std::string(stored);
  const std::string date(stored.substr(0, 10));
  if (stored.size() == 10) return date;
  if (stored[10] != 'T' || !digits(11, 2) || stored.size() < 19 || stored[13] != ':' ||
      !digits(14, 2) || stored[16] != ':' || !digits(17, 2))
    return std::string(stored);
  std::size_t at = 19;
  bool fraction = false;  // a fraction of a second that is not zero
  if (at < stored.size() && stored[at] == '.') {
    for (++at; at < stored.size() && stored[at] >= '0' && stored[at] <= '9'; ++at)
      fraction = fraction || stored[at] != '0';
  }
  const std::string_view zone = stored.substr(at);
  const bool zoned = zone.empty() || zone == "Z" ||
                     (zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && digits(at + 1, 2) &&
                      zone[3] == ':' && digits(at + 4, 2));
  if (!zoned) return std::string(stored);
  const std::string_view time = stored.substr(11, 8);
  if (time == "00:00:00" && !fraction) return date;
  return date + " " + std::string(time);
}

std::string DurationText(std::string_view stored) {
  // [-]P[nD]T[nH][nM][n[.n]S]
  std::string_view rest = stored;
  const bool negative = rest.starts_with('-');
  if (negative) rest.remove_prefix(1);
  if (!rest.starts_with('P')) return std::string(stored);
  rest.remove_prefix(1);
  long long days = 0, hours = 0, minutes = 0;
  double seconds = 0;
  bool inTime = false, any = false;
  while (!rest.empty()) {
    if (rest.front() == 'T' && !inTime) {
      inTime = true;
      rest.remove_prefix(1);
      continue;
    }
    std::size_t length = 0;
    while (length < rest.size() &&
           ((rest[length] >= '0' && rest[length] <= '9') || rest[length] == '.'))
      ++length;
    if (length == 0 || length > 15 || length == rest.size()) return std::string(stored);
    const std::string number(rest.substr(0, length));
    const char unit = rest[length];
    rest.remove_prefix(length + 1);
    const bool whole = number.find('.') == std::string::npos;
    if (unit == 'D' && !inTime && whole) {
      days = std::atoll(number.c_str());
    } else if (unit == 'H' && inTime && whole) {
      hours = std::atoll(number.c_str());
    } else if (unit == 'M' && inTime && whole) {
      minutes = std::atoll(number.c_str());
    } else if (unit == 'S' && inTime) {
      seconds = std::strtod(number.c_str(), nullptr);
    } else {
      return std::string(stored);
    }
    any = true;
  }
  if (!any) return std::string(stored);
  const long long total = ((days * 24 + hours) * 60 + minutes) * 60 + std::llround(seconds);
  std::string text;
  if (negative && total != 0) text += '-';
  if (total / 3600 < 10) text += '0';
  text += std::to_string(total / 3600);
  text += ':';
  text += TwoDigits(total / 60 % 60);
  text += ':';
  text += TwoDigits(total % 60);
  return text;
}

void UndoEscapes(std::string& text) {
  if (text.find("_x") == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '_' && i + 7 <= text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
      unsigned value = 0;
      bool hex = true;
      for (std::size_t k = i + 2; k < i + 6 && hex; ++k) {
        const char c = text[k];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        hex = digit >= 0;
        value = value * 16 + static_cast<unsigned>(digit);
      }
      if (hex && (value < 0xD800 || value > 0xDFFF)) {
        out += Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(value)));
        i += 7;
        continue;
      }
    }
    out += text[i++];
  }
  text.swap(out);
}

}  // namespace ztxgrp::workbook
