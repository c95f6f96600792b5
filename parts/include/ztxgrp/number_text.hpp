// How a spreadsheet shows a number in its General format, for the front
// ends that are handed numbers as cells (the Calc add-in) to read them as
// the workbook reader reads a number cell.
#pragma once

#include <string>

namespace ztxgrp {

// The text a spreadsheet's General format shows for a number: up to 15
// significant digits ("100", "0.1", "2.2E-06", "1E+15").
std::string number_text(double value);

}  // namespace ztxgrp
