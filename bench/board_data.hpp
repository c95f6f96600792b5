// Designator lists for benchmarks, generated from a seed: board-like lists
// (20 prefixes, R and C about two thirds, about 13% of numbers missing so
// that runs break, shuffled) and the worst shapes for each operation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ztxgrp/value.hpp"

namespace ztxgrp::bench {

std::vector<std::u16string> BoardDesignators(std::size_t count, std::uint32_t seed = 42);
// A sparse sample of a large board (32,766 designators): nearly every item
// is its own result.
std::vector<std::u16string> SparseSample(std::size_t count, std::uint32_t seed = 42);
std::vector<std::u16string> OnePrefix(std::size_t count, std::uint32_t seed = 42);
// Every item its own prefix of 3 to 8 random letters.
std::vector<std::u16string> DistinctPrefixes(std::size_t count, std::uint32_t seed = 42);
// 40 prefixes of 100 code units that differ in the last one only.
std::vector<std::u16string> LongPrefixes(std::size_t count, std::uint32_t seed = 42);
// Every item its own prefix, all of one length and alike in their first and
// last four code units: the shape that defeats a hash of a few code units.
std::vector<std::u16string> CollidingPrefixes(std::size_t count, std::uint32_t seed = 42);

Value AsList(const std::vector<std::u16string>& texts);

}  // namespace ztxgrp::bench
