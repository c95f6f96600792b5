// A workbook's XML parts read as a stream with expat: elements by their
// local names (any namespace prefix dropped), attributes likewise, and the
// text between. A document type declaration is refused (workbooks never
// have one), so no entity can expand.
#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

namespace ztxgrp::workbook {

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  // `attributes`: name, value, name, value, ..., then null (expat's form).
  virtual void Start(std::string_view name, const char** attributes) = 0;
  // Readers that need no ends or no texts leave these as they are.
  virtual void End(std::string_view) {}
  virtual void Text(std::string_view) {}

  // A reader that sets `wantsLines` finds in `line` the line of the element
  // whose start it is given.
  bool wantsLines = false;
  std::size_t line = 0;
};

// The value of an attribute by its local name; null when it has none.
const char* Attribute(const char** attributes, std::string_view name) noexcept;

class XmlStream {
 public:
  // `described` names what is read in messages: "the workbook's part
  // xl/workbook.xml".
  XmlStream(std::string described, XmlHandler& handler);
  ~XmlStream();
  XmlStream(const XmlStream&) = delete;
  XmlStream& operator=(const XmlStream&) = delete;

  // PartsError naming the part and the line for malformed XML; what a
  // handler throws passes through.
  void Feed(std::string_view bytes);
  void Finish();

 private:
  void Parse(const char* bytes, int size, bool last);
  static void OnStart(void* self, const char* name, const char** attributes);
  static void OnEnd(void* self, const char* name);
  static void OnText(void* self, const char* text, int length);
  static void OnDoctype(void* self, const char*, const char*, const char*, int);

  std::string part_;
  XmlHandler& handler_;
  void* parser_;
  std::exception_ptr failure_;
};

}  // namespace ztxgrp::workbook
