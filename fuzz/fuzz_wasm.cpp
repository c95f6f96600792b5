// libFuzzer target: the WebAssembly module's boundary (web/src/exports.cpp,
// built natively here), fed what a host could hand it: a byte buffer, text
// lengths that need not add up, a table shape that need not match.
// Byte 0 chooses the call (the parts-list file among them); bytes 1..8 give lengths and shape
// numbers; the rest is the text buffer. Checked: every call ends with a status of 0, 1 or 2 and a
// result whose lengths add up to its text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "checks.hpp"

extern "C" {
int ztxgrp_group(const char16_t*, std::size_t, const std::uint32_t*, std::size_t, int);
int ztxgrp_ungroup(const char16_t*, std::size_t, const std::uint32_t*, std::size_t);
int ztxgrp_expand(const char16_t*, std::size_t);
int ztxgrp_is_valid_range(const char16_t*, std::size_t);
int ztxgrp_parts(const char*, std::size_t, const std::uint32_t*, std::size_t, const std::uint32_t*);
int ztxgrp_parts_file(const char*, std::size_t, const char*, std::size_t, const std::uint32_t*,
                      std::size_t, const std::uint32_t*);
int ztxgrp_diff_files(const char*, std::size_t, const char*, std::size_t, const char*, std::size_t,
                      const std::uint32_t*, std::size_t, const std::uint32_t*);
int ztxgrp_diff_rows(const char*, std::size_t, const std::uint32_t*, std::size_t,
                     const std::uint32_t*);
int ztxgrp_verify_files(const char*, std::size_t, const char*, std::size_t, const std::uint32_t*,
                        std::size_t, const std::uint32_t*);
int ztxgrp_verify_rows(const char*, std::size_t, const std::uint32_t*, std::size_t,
                       const std::uint32_t*);
int ztxgrp_read_csv(const char*, std::size_t, const char*, std::size_t, const std::uint32_t*,
                    std::size_t, const std::uint32_t*, std::uint32_t);
std::size_t ztxgrp_result_units();
const std::uint32_t* ztxgrp_result_lengths();
std::size_t ztxgrp_result_count();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9 || size > 8192) return 0;
  const char* text = reinterpret_cast<const char*>(data + 9);
  const std::size_t bytes = size - 9;
  // Lengths: a byte each, as many as byte 1 says (some may be zero).
  std::vector<std::uint32_t> lengths(data[1] % 32);
  for (std::size_t k = 0; k < lengths.size(); ++k) lengths[k] = data[2 + k % 7] % 16;
  // The numbers every parts call reads: their count (at most all of
  // them), whether rows are expanded, how many options (each a name and a
  // value among the texts) and each option's kind of value, then the
  // tables' shapes (width and rows, twice).
  const std::uint32_t numbers[16] = {1u + data[5] % 16u, data[8] & 1u, data[1] % 3u, data[6] % 6u,
                                     data[7] % 6u,       data[2] % 4u, data[3] % 8u, data[4] % 3u,
                                     data[5] % 3u,       data[2] % 4u, data[3] % 8u, data[4] % 3u,
                                     data[5] % 3u,       data[6] % 4u, data[7] % 8u, data[8] % 3u};
  // The list operations read UTF-16 units: the same bytes, two to a unit.
  std::u16string input(bytes / 2, u'\0');
  std::memcpy(input.data(), text, input.size() * 2);
  int status = 0;
  // The list operations take offsets: the lengths added up, one more than
  // the texts (which need not span the buffer either).
  std::vector<std::uint32_t> offsets(lengths.size() + 1, 0);
  for (std::size_t k = 0; k < lengths.size(); ++k) offsets[k + 1] = offsets[k] + lengths[k];
  switch (data[0] % 12) {
    case 0:
      status =
          ztxgrp_group(input.data(), input.size(), offsets.data(), lengths.size(), data[8] % 5);
      break;
    case 1:
      status = ztxgrp_ungroup(input.data(), input.size(), offsets.data(), lengths.size());
      break;
    case 2:
      status = ztxgrp_expand(input.data(), input.size());
      break;
    case 3:
      status = ztxgrp_is_valid_range(input.data(), input.size());
      break;
    case 6:
      // The whole buffer as the file; its first bytes also as the options.
      status = ztxgrp_parts_file(text, bytes, text, bytes < 16 ? bytes : 16, lengths.data(),
                                 lengths.size() % 6, numbers);
      break;
    case 7: {
      // The buffer cut in two as the old and new file.
      const std::size_t half = bytes / 2;
      status =
          ztxgrp_diff_files(text, half, text + half, bytes - half, text, bytes < 16 ? bytes : 16,
                            lengths.data(), lengths.size() % 6, numbers);
      break;
    }
    case 8:
      status = ztxgrp_diff_rows(text, bytes, lengths.data(), lengths.size(), numbers);
      break;
    case 9:
      status = ztxgrp_read_csv(text, bytes, text, bytes < 16 ? bytes : 16, lengths.data(),
                               lengths.size() % 6, numbers, data[8] % 4);
      break;
    case 10:
      // The whole buffer as the files (their sizes from the numbers); its
      // first bytes also as the options and names.
      status = ztxgrp_verify_files(text, bytes, text, bytes < 16 ? bytes : 16, lengths.data(),
                                   lengths.size() % 6, numbers);
      break;
    case 11:
      status = ztxgrp_verify_rows(text, bytes, lengths.data(), lengths.size(), numbers);
      break;
    default:
      status = ztxgrp_parts(text, bytes, lengths.data(), lengths.size(), numbers);
  }
  if (status < 0 || status > 2) ztxgrp::fuzz::AbortOnProblem("status " + std::to_string(status));
  std::size_t units = 0;
  for (std::size_t k = 0; k < ztxgrp_result_count(); ++k) units += ztxgrp_result_lengths()[k];
  if (units != ztxgrp_result_units()) ztxgrp::fuzz::AbortOnProblem("result lengths do not add up");
  return 0;
}
