// Writing the output file of `ztxgrp bom -o FILE` as cp and sort -o do.
#pragma once

#include <string>
#include <string_view>

namespace ztxgrp::cli {

// Writes `bytes` to `path`. A symbolic link is followed and its target
// written. A regular file (or a new one) is replaced only once everything
// is written, through a temporary file beside it: it keeps its mode (and
// owner and group where allowed); a new file gets 0666 less the umask. Any
// other file (a device, a FIFO) is written in place, and a name of one of
// the process's open descriptors (/dev/stdout, /dev/fd/N, /proc/self/fd/N,
// or a link to one) is written to that descriptor. Every
// failure is an OutputError naming the path; the old file stays intact.
// An empty path is a UsageError.
void WriteOutputFile(const std::string& path, std::string_view bytes);

}  // namespace ztxgrp::cli
