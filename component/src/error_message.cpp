#include "ztxgrp/error_message.hpp"

#include "ztxgrp/quoted.hpp"

namespace ztxgrp {

std::string RuntimeErrorHead(const RuntimeError& error) {
  std::string head = "runtime error ";
  head += std::to_string(error.number());
  head += ": ";
  head += error.description();
  return head;
}

std::string RuntimeErrorMessage(const RuntimeError& error, std::string_view context) {
  std::string message = RuntimeErrorHead(error);
  if (error.item()) message.append(": ").append(Quoted(*error.item()));
  if (!context.empty()) message.append(" (").append(context).append(")");
  return message;
}

}  // namespace ztxgrp
