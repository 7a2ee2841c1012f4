#include "sift/find_stream.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/text_codec.h"

namespace kestrova {
namespace {

constexpr size_t kFlushBytes = size_t{1} << 20;
constexpr size_t kSlack = 64;  // readable bytes on either side of the text, for 16-byte loads

constexpr unsigned kReplacement = 0xFFFD;

}  // namespace

std::ptrdiff_t TextSource::ReadSource(char* data, size_t size, std::string* reason) {
  const std::ptrdiff_t n = source_.Read(data, size, reason);
  if (n > 0) source_bytes_ += n;
  return n;
}

// Reads until the first bytes tell the form, or the source ends.
bool TextSource::Start(std::string* reason) {
  char bytes[3];
  while (start_.size() < 3) {
    const std::ptrdiff_t n = ReadSource(bytes, 3 - start_.size(), reason);
    if (n < 0) return false;
    if (n == 0) break;
    start_.append(bytes, static_cast<size_t>(n));
  }
  form_ = Form::kBytes;
  if (start_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    start_.clear();
  } else if (start_.compare(0, 2, "\xFF\xFE") == 0 || start_.compare(0, 2, "\xFE\xFF") == 0) {
    form_ = start_[0] == '\xFF' ? Form::kUtf16Le : Form::kUtf16Be;
    start_.erase(0, 2);
  }
  return true;
}

size_t TextSource::Decode(const unsigned char* raw, size_t size, char* to) {
  char* const begin = to;
  for (size_t i = 0; i < size; ++i) {
    if (odd_byte_ < 0) {
      odd_byte_ = raw[i];
      continue;
    }
    const unsigned unit =
        form_ == Form::kUtf16Le ? odd_byte_ | raw[i] << 8 : odd_byte_ << 8 | raw[i];
    odd_byte_ = -1;
    if (high_ != 0) {
      if (unit >= 0xDC00 && unit < 0xE000) {
        to = PutUtf8(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00), to);
        high_ = 0;
        continue;
      }
      to = PutUtf8(kReplacement, to);
      high_ = 0;
    }
    if (unit >= 0xD800 && unit < 0xDC00) {
      high_ = unit;
    } else {
      to = PutUtf8(unit >= 0xDC00 && unit < 0xE000 ? kReplacement : unit, to);
    }
  }
  return static_cast<size_t>(to - begin);
}

std::ptrdiff_t TextSource::Read(char* data, size_t size, std::string* reason) {
  if (form_ == Form::kUnknown && !Start(reason)) return -1;
  if (form_ == Form::kBytes) {
    if (!start_.empty()) {
      const size_t n = std::min(size, start_.size());
      std::memcpy(data, start_.data(), n);
      start_.erase(0, n);
      return static_cast<std::ptrdiff_t>(n);
    }
    return ReadSource(data, size, reason);
  }
  // Two bytes of UTF-16 make at most three of UTF-8 (four make four).
  if (size < 6) size = 6;  // callers ask for far more; never loop on nothing
  while (true) {
    raw_.resize(size / 3 * 2);
    size_t n = std::min(start_.size(), raw_.size());
    std::memcpy(raw_.data(), start_.data(), n);
    start_.erase(0, n);
    if (n == 0) {
      const std::ptrdiff_t got = ReadSource(raw_.data(), raw_.size(), reason);
      if (got < 0) return -1;
      if (got == 0) {
        // The end: a lone last byte or high surrogate is no character.
        const bool broken = odd_byte_ >= 0 || high_ != 0;
        odd_byte_ = -1;
        high_ = 0;
        return broken ? PutUtf8(kReplacement, data) - data : 0;
      }
      n = static_cast<size_t>(got);
    }
    const size_t made = Decode(reinterpret_cast<const unsigned char*>(raw_.data()), n, data);
    if (made > 0) return static_cast<std::ptrdiff_t>(made);
  }
}

FindCounts& FindCounts::operator+=(const FindCounts& other) {
  bytes += other.bytes;
  found += other.found;
  repeats += other.repeats;
  return *this;
}

FindSifter::FindSifter(ByteSink& out, const FindSwitches& switches, std::string_view line_end,
                       size_t piece)
    : out_(out), finder_(switches), line_end_(line_end), piece_(piece) {}

void FindSifter::Settle(FindCounts* counts) {
  const std::string_view texts = finder_.Texts();
  const size_t count = found_.size();
  prepared_.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const FoundEntry& entry = found_[i];
    prepared_[i] = entry.key != 0
                       ? TextSet::PrepareKey(entry.key)
                       : TextSet::Prepare(texts.substr(entry.text_begin, entry.text_size));
  }
  // A large set is far bigger than the caches: the slots of a few dozen
  // entries are fetched together.
  if (added_size_ < count) {
    added_size_ = count;
    added_ = std::make_unique<bool[]>(count);
  }
  const auto text_of = [&](size_t i) {
    return texts.substr(found_[i].text_begin, found_[i].text_size);
  };
  seen_.InsertMany(prepared_.data(), count, text_of, added_.get());
  for (size_t i = 0; i < count; ++i) {
    const FoundEntry& entry = found_[i];
    if (!added_[i]) {
      ++counts->repeats;
      continue;
    }
    const std::string_view text = entry.key != 0 ? std::string_view() : text_of(i);
    ++counts->found;
    if (pending_size_ + text.size() + 32 > pending_.size())
      pending_.resize(pending_.size() * 2 + text.size() + 32);
    char* to = pending_.data() + pending_size_;
    if (entry.key != 0) {
      to += FormatPlainEntry(entry, to);
    } else {
      std::memcpy(to, text.data(), text.size());
      to += text.size();
    }
    std::memcpy(to, line_end_.data(), line_end_.size());
    pending_size_ = static_cast<size_t>(to - pending_.data()) + line_end_.size();
  }
  found_.clear();
  finder_.ClearTexts();
}

StreamResult FindSifter::Add(ByteSource& in, FindCounts* counts, std::string* reason,
                             const std::function<void(long long)>& progress) {
  TextSource source(in);
  constexpr size_t kBehind = EntryFinder::kReachBehind;
  constexpr size_t kAhead = EntryFinder::kReachAhead;
  text_.resize(kSlack + kBehind + kAhead + 2 * piece_ + kSlack);
  const size_t room = text_.size() - 2 * kSlack;
  char* const text = text_.data() + kSlack;  // the zeros before it read as no word
  size_t size = 0;                           // bytes in `text`
  size_t scan = 0;                           // where the next piece's scan starts
  bool end = false;
  while (true) {
    while (!end && size < scan + kAhead + piece_) {
      const std::ptrdiff_t n = source.Read(text + size, room - size, reason);
      if (n < 0) return StreamResult::kReadFailed;
      end = n == 0;
      size += static_cast<size_t>(n);
    }
    std::memset(text + size, 0, kSlack);
    const size_t limit = end ? size : size - kAhead;
    if (limit > scan) {
      scan = static_cast<size_t>(
          finder_.Scan(text, text + scan, text + limit, text + size, &found_) - text);
      Settle(counts);
      if (pending_size_ >= kFlushBytes) {
        if (!out_.Write({pending_.data(), pending_size_}, reason))
          return StreamResult::kWriteFailed;
        pending_size_ = 0;
      }
    }
    counts->bytes = source.SourceBytesRead();
    if (progress) progress(counts->bytes);
    if (end) return StreamResult::kDone;
    const size_t keep = scan > kBehind ? scan - kBehind : 0;
    std::memmove(text, text + keep, size - keep);
    size -= keep;
    scan -= keep;
  }
}

StreamResult FindSifter::Finish(std::string* reason) {
  if (pending_size_ > 0 && !out_.Write({pending_.data(), pending_size_}, reason)) {
    return StreamResult::kWriteFailed;
  }
  pending_size_ = 0;
  return StreamResult::kDone;
}

}  // namespace kestrova
