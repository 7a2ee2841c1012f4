// "Отсеить" over a list of any size, line by line, for `kestrova sift`: the
// import test, the scan and the dropping of repeats of the window, with the
// list file written as File > Save writes it.
#ifndef KESTROVA_SIFT_SIFT_STREAM_H_
#define KESTROVA_SIFT_SIFT_STREAM_H_

#include <functional>
#include <string>
#include <string_view>

#include "os/file_io.h"
#include "os/line_reader.h"
#include "sift/sift_list.h"

namespace kestrova {

struct StreamSwitches {
  bool only_entries = false;  // Check1: only lines that look like entries
  SiftSwitches scan;          // Check2, Check3
  bool drop_repeats = false;  // Check4
  std::string_view line_end = "\r\n";
};

struct StreamCounts {
  long long lines = 0;    // lines read
  long long kept = 0;     // entries written
  long long repeats = 0;  // kept texts dropped as repeats
};

enum class StreamResult { kDone, kReadFailed, kWriteFailed };

// Reads every line of `in`, keeps what the window's import and sifting pass
// would keep, and writes each kept text followed by `line_end` to `out`. A
// list with no entry left is written as one empty line, as File > Save
// writes an empty list. Memory stays flat apart from the texts kept for
// dropping repeats. `progress`, when given, hears the bytes read so far now
// and then.
StreamResult SiftStream(LineReader& in, ByteSink& out, const StreamSwitches& switches,
                        StreamCounts* counts, std::string* reason,
                        const std::function<void(long long)>& progress = {});

}  // namespace kestrova

#endif  // KESTROVA_SIFT_SIFT_STREAM_H_
