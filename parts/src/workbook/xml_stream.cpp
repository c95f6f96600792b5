#include "xml_stream.hpp"

#include <expat.h>

#include <climits>
#include <new>

#include "ztxgrp/parts_list.hpp"

namespace ztxgrp::workbook {
namespace {

std::string_view LocalName(const char* name) {
  std::string_view view(name);
  const std::size_t colon = view.rfind(':');
  return colon == std::string_view::npos ? view : view.substr(colon + 1);
}

XML_Parser ParserOf(void* parser) {
  return static_cast<XML_Parser>(parser);
}

}  // namespace

const char* Attribute(const char** attributes, std::string_view name) noexcept {
  for (; attributes != nullptr && *attributes != nullptr; attributes += 2)
    if (LocalName(attributes[0]) == name) return attributes[1];
  return nullptr;
}

XmlStream::XmlStream(std::string part, XmlHandler& handler)
    : part_(std::move(part)), handler_(handler), parser_(XML_ParserCreate("UTF-8")) {
  if (parser_ == nullptr) throw std::bad_alloc();
  XML_Parser parser = ParserOf(parser_);
  XML_SetUserData(parser, this);
  XML_SetElementHandler(parser, &XmlStream::OnStart, &XmlStream::OnEnd);
  XML_SetCharacterDataHandler(parser, &XmlStream::OnText);
  XML_SetStartDoctypeDeclHandler(parser, &XmlStream::OnDoctype);
}

XmlStream::~XmlStream() {
  XML_ParserFree(ParserOf(parser_));
}

// Handlers run inside expat, a C library: nothing may be thrown through
// it. What a handler throws is kept, the parser stopped, and the exception
// thrown again once expat has returned.
#define ZTXGRP_HANDLE(stream, call)                    \
  do {                                                 \
    auto* s = static_cast<XmlStream*>(stream);         \
    if (s->failure_) return;                           \
    try {                                              \
      call;                                            \
    } catch (...) {                                    \
      s->failure_ = std::current_exception();          \
      XML_StopParser(ParserOf(s->parser_), XML_FALSE); \
    }                                                  \
  } while (false)

void XmlStream::OnStart(void* self, const char* name, const char** attributes) {
  ZTXGRP_HANDLE(self, {
    if (s->handler_.wantsLines)
      s->handler_.line = static_cast<std::size_t>(XML_GetCurrentLineNumber(ParserOf(s->parser_)));
    s->handler_.Start(LocalName(name), attributes);
  });
}

void XmlStream::OnEnd(void* self, const char* name) {
  ZTXGRP_HANDLE(self, s->handler_.End(LocalName(name)));
}

void XmlStream::OnText(void* self, const char* text, int length) {
  ZTXGRP_HANDLE(self, s->handler_.Text(std::string_view(text, static_cast<std::size_t>(length))));
}

void XmlStream::OnDoctype(void* self, const char*, const char*, const char*, int) {
  ZTXGRP_HANDLE(self, throw PartsError(s->part_ + " declares a document type, which is refused"));
}

#undef ZTXGRP_HANDLE

void XmlStream::Parse(const char* bytes, int size, bool last) {
  XML_Parser parser = ParserOf(parser_);
  const XML_Status status = XML_Parse(parser, bytes, size, last ? XML_TRUE : XML_FALSE);
  if (failure_) std::rethrow_exception(failure_);
  if (status != XML_STATUS_OK) {
    const XML_Error error = XML_GetErrorCode(parser);
    if (error == XML_ERROR_NO_MEMORY) throw std::bad_alloc();
    throw PartsError(part_ + " is not well-formed XML (line " +
                     std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                     XML_ErrorString(error) + ")");
  }
}

void XmlStream::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t piece = std::min<std::size_t>(bytes.size(), INT_MAX / 2);
    Parse(bytes.data(), static_cast<int>(piece), false);
    bytes.remove_prefix(piece);
  }
}

void XmlStream::Finish() {
  Parse(nullptr, 0, true);
}

}  // namespace ztxgrp::workbook
