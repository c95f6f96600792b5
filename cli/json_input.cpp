#include "json_input.hpp"

#include <cstdint>
#include <istream>
#include <nlohmann/json.hpp>
#include <string>

#include "io.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::cli {
namespace {

using Json = nlohmann::json;

// Builds the top-level value; everything below the first level is counted,
// not kept.
class Reader final : public nlohmann::json_sax<Json> {
 public:
  Reader(bool wantList, std::size_t maxElements) : wantList_(wantList), max_(maxElements) {}

  bool null() override { return Add(Null{}); }
  bool boolean(bool value) override { return Add(value); }
  bool number_integer(std::int64_t value) override { return Add(value); }
  bool number_unsigned(std::uint64_t value) override { return Add(UnsignedValue(value)); }
  bool number_float(double value, const std::string&) override { return Add(value); }
  bool string(std::string& value) override {
    if (depth_ > 1) return true;
    return Add(Utf8ToUtf16(value));
  }
  bool binary(binary_t&) override { return Add(Object{}); }
  bool start_object(std::size_t) override {
    if (depth_ == 0) Refuse();
    if (depth_ == 1) Add(Object{});
    ++depth_;
    return true;
  }
  bool key(std::string&) override { return true; }
  bool end_object() override {
    --depth_;
    return true;
  }
  bool start_array(std::size_t) override {
    if (depth_ == 0) {
      if (!wantList_) Refuse();
      result_ = ItemList{};
    } else if (depth_ == 1) {
      Add(ItemList{});  // a nested array: not readable as text
    }
    ++depth_;
    return true;
  }
  bool end_array() override {
    --depth_;
    return true;
  }
  bool parse_error(std::size_t, const std::string&,
                   const nlohmann::detail::exception& error) override {
    throw InputError(std::string("malformed JSON on standard input: ") + error.what());
  }

  Value Take() { return std::move(result_); }

 private:
  bool Add(Value value) {
    if (depth_ == 0) {
      if (wantList_ || !value.isText()) Refuse();
      result_ = std::move(value);
    } else if (depth_ == 1) {
      std::vector<Value>& elements = result_.list().elements;
      if (elements.size() == max_) Raise(ErrorNumber::Overflow);
      elements.push_back(std::move(value));
    }
    return true;
  }
  [[noreturn]] void Refuse() const {
    throw InputError(wantList_ ? "expected a JSON array on standard input"
                               : "expected a JSON string on standard input");
  }

  bool wantList_;
  std::size_t max_;
  std::size_t depth_ = 0;
  Value result_;
};

Value Read(std::streambuf& in, bool wantList, std::size_t maxElements) {
  std::istream stream(&in);
  Reader reader(wantList, maxElements);
  Json::sax_parse(stream, &reader);
  return reader.Take();
}

}  // namespace

Value ReadJsonList(std::streambuf& in, std::size_t maxElements) {
  return Read(in, true, maxElements);
}

std::u16string ReadJsonText(std::streambuf& in) {
  Value text = Read(in, false, 0);
  return std::move(std::get<std::u16string>(text.storage()));
}

}  // namespace ztxgrp::cli
