#include "ztxgrp/number_text.hpp"

#include <cstdio>

#include "workbook/cell_text.hpp"

namespace ztxgrp {

std::string number_text(double value) {
  // Every digit the double holds, then shown as the General format shows it.
  char stored[40];
  std::snprintf(stored, sizeof stored, "%.17g", value);
  return workbook::GeneralNumber(stored);
}

}  // namespace ztxgrp
