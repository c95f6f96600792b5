// Workbook input: the bytes are a sheet's cells (the XML inside
// <sheetData>), packed with a fixed workbook, shared strings and styles
// into an archive by minizip, or the rows of an OpenDocument spreadsheet's
// table (the XML inside <table:table>) packed with its mimetype; and,
// behind a ZIP signature, an archive of their own; and, behind an XML
// declaration, KiCad's BOM XML. Checked: reading,
// collapsing and writing (CSV, .xlsx or .ods) either fail only with the
// parts layer's own errors.
#include <minizip/zip.h>

#include <array>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "checks.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::fuzz {
namespace {

// minizip writes the archive into a string through these.
struct Sink {
  std::string bytes;
  std::uint64_t at = 0;
};
voidpf OpenSink(voidpf opaque, const void*, int) {
  return opaque;
}
uLong ReadNothing(voidpf, voidpf, void*, uLong) {
  return 0;
}
uLong WriteSink(voidpf, voidpf stream, const void* data, uLong size) {
  auto* sink = static_cast<Sink*>(stream);
  if (sink->at + size > sink->bytes.size()) sink->bytes.resize(sink->at + size);
  std::memcpy(sink->bytes.data() + sink->at, data, size);
  sink->at += size;
  return size;
}
ZPOS64_T TellSink(voidpf, voidpf stream) {
  return static_cast<Sink*>(stream)->at;
}
long SeekSink(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* sink = static_cast<Sink*>(stream);
  const std::uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? sink->at
                             : origin == ZLIB_FILEFUNC_SEEK_END ? sink->bytes.size()
                                                                : 0;
  sink->at = base + offset;
  return 0;
}
int CloseSink(voidpf, voidpf) {
  return 0;
}
int SinkError(voidpf, voidpf) {
  return 0;
}

std::string Archive(std::span<const std::array<std::string, 2>> parts) {
  Sink sink;
  zlib_filefunc64_def functions{OpenSink, ReadNothing, WriteSink, TellSink,
                                SeekSink, CloseSink,   SinkError, &sink};
  zipFile zip = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &functions);
  for (const auto& [name, text] : parts) {
    const bool stored = name == "mimetype";
    zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                          stored ? 0 : Z_DEFLATED, stored ? 0 : 1, 0);
    zipWriteInFileInZip(zip, text.data(), static_cast<unsigned>(text.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
  return sink.bytes;
}

std::string PackedOds(std::string_view rows) {
  const std::array<std::string, 2> parts[] = {
      {"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
      {"content.xml",
       std::string(
           "<office:document-content "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:"
           "calcext:1.0\"><office:body><office:spreadsheet><table:table table:name=\"S\">") +
           std::string(rows) +
           "</table:table></office:spreadsheet></office:body></office:document-content>"},
  };
  return Archive(parts);
}

std::string Packed(std::string_view cells) {
  constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  constexpr const char* kRel =
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const std::array<std::string, 2> parts[] = {
      {"xl/workbook.xml", std::string("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRel +
                              "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"a\"/></sheets>"
                              "</workbook>"},
      {"xl/_rels/workbook.xml.rels",
       std::string("<Relationships><Relationship Id=\"a\" Type=\"") + kRel +
           "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"b\" Type=\"" + kRel +
           "/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"c\" Type=\"" + kRel +
           "/styles\" Target=\"styles.xml\"/></Relationships>"},
      {"xl/sharedStrings.xml",
       "<sst><si><t>Ref</t></si><si><r><t>R</t></r><r><t>1</t></r><rPh><t>x</t></rPh></si></sst>"},
      {"xl/styles.xml",
       "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"d.m.yy h:mm\"/></numFmts>"
       "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/></cellXfs>"
       "</styleSheet>"},
      {"xl/worksheets/sheet1.xml",
       std::string("<worksheet><sheetData>") + std::string(cells) + "</sheetData></worksheet>"},
  };
  return Archive(parts);
}

// The layer's own errors; anything else is a problem.
std::string Refusals(const std::string& bytes, bool expand, OutputForm format) {
  PartsOptions options;
  options.expand = expand;
  options.format = format;
  try {
    process_parts_file(bytes, options);
  } catch (const RuntimeError& error) {
    if (!IsEngineError(error.number()) && error.number() != 7)
      return "runtime error " + std::to_string(error.number()) + " is not the engine's";
  } catch (const PartsError&) {
  } catch (const EncodingError&) {
  } catch (const std::exception& error) {
    return std::string("an unexpected failure: ") + error.what();
  }
  return "";
}

}  // namespace

std::string CheckWorkbook(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return "";
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool expand = (data[0] & 1) != 0;
  const OutputForm format = (data[0] & 2) == 0   ? OutputForm::Csv
                            : (data[0] & 8) == 0 ? OutputForm::Workbook
                                                 : OutputForm::OpenDocument;
  const bool ods = (data[0] & 4) != 0;
  if (std::string problem = Refusals(ods ? PackedOds(text) : Packed(text), expand, format);
      !problem.empty())
    return "the packed sheet: " + problem;
  if (std::string problem = Refusals("<?xml version=\"1.0\"?>" + std::string(text), expand, format);
      !problem.empty())
    return "the XML: " + problem;
  return Refusals(std::string("PK\x03\x04", 4) + std::string(text), expand, format);
}

}  // namespace ztxgrp::fuzz
