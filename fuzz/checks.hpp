// Properties that the fuzz targets check on arbitrary input, shared with the
// ordinary tests that replay kept inputs. Each returns an empty string when
// every property holds, else what went wrong.
//
// Text input: the bytes are one text (each byte one code unit, so that every
// character class is reachable). Checked: SplitItem and SplitRange against
// the literal transcription (values, partial writes, errors), CheckRange
// against it, ExpandItem against it.
//
// List input: byte 0 chooses the lower bound (-2..2); the rest is split at
// '\n' into elements; an element "\x01" is empty, "\x02" null, "\x03" plus
// digits an integer, anything else a text. Checked: GroupItems and
// UngroupItems never fail with a number outside the engine's set; on short
// lists they equal the transcription; for plain designators (capital letters
// then a number without leading zeros) ungrouping the grouped list gives the
// sorted list.
//
// Parts input: byte 0 chooses the columns and options, the rest is a table
// (lines at '\n', cells at '|'). Checked: collapsing and expanding fail only
// with the layer's own errors, and expanding the collapsed table gives the
// rows that expanding the table gives.
//
// Workbook input: byte 0 chooses expanding and the output's form, the rest
// is a sheet's cells, packed into a workbook, and also an archive of its
// own. Checked: reading and writing fail only with the layer's own errors.
//
// Placement input: byte 0 chooses the placement form and options, the rest
// is a placement file checked against a small parts list. Checked: it fails
// only with the layer's own errors, and every finding has designators as
// counted and places with ascending lines.
//
// Sets input: byte 0 chooses the operation and the shortest run, the rest
// is the operands, one a line. Checked: the operation fails only with the
// layer's own errors, and its result read back is the set made from the
// operands' designators as texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace ztxgrp::fuzz {

std::string CheckText(const std::uint8_t* data, std::size_t size);
std::string CheckList(const std::uint8_t* data, std::size_t size);
std::string CheckParts(const std::uint8_t* data, std::size_t size);
std::string CheckWorkbook(const std::uint8_t* data, std::size_t size);
std::string CheckPlacement(const std::uint8_t* data, std::size_t size);
std::string CheckSets(const std::uint8_t* data, std::size_t size);

// The runtime errors the engine raises (5, 6, 7, 9, 13, 94).
bool IsEngineError(int number);

// Which failure of the parts-list layer `failure` is: an empty string for
// its own (a PartsError, an EncodingError, a runtime error of the engine),
// else what is wrong; rethrows anything else.
std::string LayerFailure(std::exception_ptr failure);

// For the fuzz targets: reports a problem and aborts, so the fuzzer keeps the
// input.
void AbortOnProblem(const std::string& problem);

}  // namespace ztxgrp::fuzz
