// Finding the part that a row belongs to by its key cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "parts_job.hpp"
#include "ztxgrp/keyed_hash.hpp"

namespace ztxgrp::parts_detail {

// The parts by the texts of their key cells. A row's key is written into a
// buffer kept from row to row (each cell's length, then its bytes) and
// looked up; only a new part's key is stored, so the table stays small and
// in cache. Keys are hashed under keys chosen anew in every process, so no
// table of rows can be made to collide.
class PartIndex {
 public:
  PartIndex(const Job& job, std::vector<std::size_t> keys) : job_(job), keys_(std::move(keys)) {}

  const std::vector<std::size_t>& Keys() const noexcept { return keys_; }

  // The part of row `r`'s key, and whether it is new (then numbered `next`).
  std::pair<std::size_t, bool> Find(std::size_t r, std::size_t next) {
    key_.clear();
    for (const std::size_t column : keys_) {
      const std::string_view cell = job_.Cell(r, column);
      const std::uint64_t size = cell.size();
      key_.append(reinterpret_cast<const char*>(&size), sizeof size).append(cell);
    }
    const auto [found, added] = parts_.try_emplace(key_, next);
    return {found->second, added};
  }

 private:
  struct Hash {
    std::size_t operator()(const std::string& key) const noexcept {
      return static_cast<std::size_t>(KeyedHash(key));
    }
  };
  const Job& job_;
  const std::vector<std::size_t> keys_;
  std::string key_;
  std::unordered_map<std::string, std::size_t, Hash> parts_;
};

}  // namespace ztxgrp::parts_detail
