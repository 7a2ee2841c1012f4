#include "sift/sift_stream.h"

#include <algorithm>
#include <cstring>

#include "listfile/list_import.h"
#include "sift/scan_padded.h"
#include "sift/strict_entry.h"

namespace kestrova {
namespace {

constexpr size_t kFlushBytes = size_t{1} << 20;
// The buffer grows to what the flushes need; a small list never needs much.
constexpr size_t kFirstBufferBytes = size_t{64} << 10;
constexpr long long kProgressEveryLines = 1 << 16;
// Lines are scanned and copied in blocks that reach past their ends.
static_assert(LineReader::kSlack >= kScanSlack && LineReader::kSlack >= StreamSifter::kCopyBytes);

}  // namespace

StreamCounts& StreamCounts::operator+=(const StreamCounts& other) {
  lines += other.lines;
  kept += other.kept;
  repeats += other.repeats;
  strict_dropped += other.strict_dropped;
  return *this;
}

StreamSifter::StreamSifter(ByteSink& out, const StreamSwitches& switches)
    : out_(out),
      switches_(switches),
      buffer_(new char[kFirstBufferBytes]),
      capacity_(kFirstBufferBytes) {
  line_end_size_ = std::min<size_t>(switches.line_end.size(), 2);
  std::memcpy(line_end_, switches.line_end.data(), line_end_size_);
}

void StreamSifter::Grow(size_t text_size) {
  capacity_ = std::max(capacity_ * 2, used_ + text_size + kCopyBytes + 2);
  std::unique_ptr<char[]> grown(new char[capacity_]);
  std::memcpy(grown.get(), buffer_.get(), used_);
  buffer_ = std::move(grown);
}

StreamResult StreamSifter::Add(LineReader& in, StreamCounts* counts, std::string* reason,
                               const std::function<void(long long)>& progress) {
  *counts = {};
  return switches_.drop_repeats ? Read<true>(in, counts, reason, progress)
                                : Read<false>(in, counts, reason, progress);
}

void StreamSifter::Settle(StreamCounts* counts) {
  const auto text_of = [this](size_t i) {
    return std::string_view(buffer_.get() + waiting_[i].offset, waiting_[i].size);
  };
  seen_.InsertMany(prepared_.data(), waiting_.size(), text_of, added_);
  for (size_t i = 0; i < waiting_.size(); ++i) {
    const Waiting& w = waiting_[i];
    const std::string_view text = text_of(i);
    if (!added_[i]) {
      ++counts->repeats;
      continue;
    }
    // After the window's rules, so a repeat counts as one whether or not
    // --strict would have taken it.
    if (switches_.strict && !IsStrictEntry(text)) {
      ++counts->strict_dropped;
      continue;
    }
    ++counts->kept;
    ++written_;
    // Kept texts only move towards the front, over texts already settled;
    // a whole block is copied only where it cannot reach a waiting text.
    const size_t size = w.size + line_end_size_;
    char* to = buffer_.get() + settled_;
    if (to != text.data()) {
      const size_t waiting_from = i + 1 < waiting_.size() ? waiting_[i + 1].offset : used_;
      if (size <= kCopyBytes && settled_ + kCopyBytes <= waiting_from) {
        std::memmove(to, text.data(), kCopyBytes);
      } else {
        std::memmove(to, text.data(), size);
      }
    }
    settled_ += size;
  }
  used_ = settled_;
  waiting_.clear();
  prepared_.clear();
}

bool StreamSifter::Flush(std::string* reason) {
  if (!out_.Write(std::string_view(buffer_.get(), settled_), reason)) return false;
  // The waiting texts, if any, move to the buffer's front.
  std::memmove(buffer_.get(), buffer_.get() + settled_, used_ - settled_);
  for (Waiting& w : waiting_) w.offset -= settled_;
  used_ -= settled_;
  settled_ = 0;
  return true;
}

template <bool kDropRepeats>
StreamResult StreamSifter::Read(LineReader& in, StreamCounts* counts, std::string* reason,
                                const std::function<void(long long)>& progress) {
  if constexpr (kDropRepeats) {
    // Lists have fewer entries than one in 64 bytes only when most of their
    // lines are long or not entries at all; a set sized so seldom grows.
    if (in.SourceSize() > 0) {
      seen_.ReserveKeys(seen_.Size() + static_cast<size_t>(in.SourceSize() / 64));
    }
  }
  std::string_view line;
  for (;;) {
    const LineReader::Result result = in.Next(&line);
    if (result == LineReader::Result::kEnd) break;
    if (result == LineReader::Result::kError) {
      *reason = in.Error();
      return StreamResult::kReadFailed;
    }
    if (++counts->lines % kProgressEveryLines == 0 && progress) progress(in.BytesRead());
    if (switches_.only_entries && !LooksLikeProxy(line)) continue;
    std::uint64_t plain_key = 0;
    const auto kept = ScanAddressPadded(line, switches_.scan, kDropRepeats ? &plain_key : nullptr);
    if (!kept) continue;
    if constexpr (kDropRepeats) {
      prepared_.push_back(plain_key ? TextSet::PrepareKey(plain_key) : TextSet::Prepare(*kept));
      waiting_.push_back({used_, kept->size()});
      Append(*kept);
      if (waiting_.size() == kBatch || used_ - settled_ >= kBatchBytes) Settle(counts);
    } else {
      if (switches_.strict && !IsStrictEntry(*kept)) {
        ++counts->strict_dropped;
        continue;
      }
      ++counts->kept;
      ++written_;
      Append(*kept);
      settled_ = used_;
    }
    if (settled_ >= kFlushBytes && !Flush(reason)) return StreamResult::kWriteFailed;
  }
  // The counts of an input stay its own: its texts are settled before the
  // next input begins.
  Settle(counts);
  if (progress) progress(in.BytesRead());
  return StreamResult::kDone;
}

StreamResult StreamSifter::Finish(std::string* reason) {
  if (written_ == 0) {
    std::memcpy(buffer_.get(), line_end_, line_end_size_);
    settled_ = used_ = line_end_size_;
  }
  return Flush(reason) ? StreamResult::kDone : StreamResult::kWriteFailed;
}

StreamResult SiftStream(LineReader& in, ByteSink& out, const StreamSwitches& switches,
                        StreamCounts* counts, std::string* reason,
                        const std::function<void(long long)>& progress) {
  StreamSifter sifter(out, switches);
  const StreamResult result = sifter.Add(in, counts, reason, progress);
  return result == StreamResult::kDone ? sifter.Finish(reason) : result;
}

}  // namespace kestrova
