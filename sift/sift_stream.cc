#include "sift/sift_stream.h"

#include <cstring>

#include "base/text_set.h"
#include "listfile/list_import.h"

namespace kestrova {
namespace {

constexpr size_t kFlushBytes = size_t{1} << 20;
constexpr long long kProgressEveryLines = 1 << 16;
constexpr size_t kBatch = 16;

}  // namespace

StreamResult SiftStream(LineReader& in, ByteSink& out, const StreamSwitches& switches,
                        StreamCounts* counts, std::string* reason,
                        const std::function<void(long long)>& progress) {
  *counts = {};
  const std::string_view line_end = switches.line_end;
  std::string buffer;
  buffer.reserve(kFlushBytes + 4096);

  // With repeats to drop, kept texts wait in the buffer in small batches:
  // their slots in the set are fetched from memory while the next lines are
  // read, and the repeats are taken out when the batch is settled.
  TextSet seen;
  struct Waiting {
    size_t offset;
    size_t size;
    TextSet::Prepared prepared;
  };
  Waiting waiting[kBatch];
  size_t waiting_count = 0;
  size_t batch_start = 0;
  auto settle = [&] {
    size_t end = batch_start;
    for (size_t k = 0; k < waiting_count; ++k) {
      const Waiting& w = waiting[k];
      if (!seen.Insert(std::string_view(buffer.data() + w.offset, w.size), w.prepared)) {
        ++counts->repeats;
        continue;
      }
      ++counts->kept;
      std::memmove(buffer.data() + end, buffer.data() + w.offset, w.size + line_end.size());
      end += w.size + line_end.size();
    }
    buffer.resize(end);
    waiting_count = 0;
    batch_start = end;
  };

  std::string_view line;
  for (;;) {
    const LineReader::Result result = in.Next(&line);
    if (result == LineReader::Result::kEnd) break;
    if (result == LineReader::Result::kError) {
      *reason = in.Error();
      return StreamResult::kReadFailed;
    }
    if (++counts->lines % kProgressEveryLines == 0 && progress) progress(in.BytesRead());
    if (switches.only_entries && !LooksLikeProxy(line)) continue;
    std::uint64_t plain_key = 0;
    const auto kept = switches.drop_repeats ? ScanAddress(line, switches.scan, &plain_key)
                                            : ScanAddress(line, switches.scan);
    if (!kept) continue;
    if (switches.drop_repeats) {
      const TextSet::Prepared prepared =
          plain_key ? TextSet::PrepareKey(plain_key) : TextSet::Prepare(*kept);
      seen.Prefetch(prepared);
      waiting[waiting_count++] = {buffer.size(), kept->size(), prepared};
    } else {
      ++counts->kept;
    }
    buffer.append(*kept);
    buffer.append(line_end);
    if (waiting_count == kBatch) settle();
    if (waiting_count == 0 && buffer.size() >= kFlushBytes) {
      if (!out.Write(buffer, reason)) return StreamResult::kWriteFailed;
      buffer.clear();
      batch_start = 0;
    }
  }
  if (waiting_count > 0) settle();
  if (counts->kept == 0) buffer.assign(line_end);
  if (!out.Write(buffer, reason)) return StreamResult::kWriteFailed;
  if (progress) progress(in.BytesRead());
  return StreamResult::kDone;
}

}  // namespace kestrova
