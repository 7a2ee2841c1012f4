#include "check/entry_feed.h"

#include "base/text_codec.h"
#include "os/line_reader.h"

namespace kestrova {
namespace {

// Enough entries ahead to keep thousands of attempts busy, few enough to
// keep memory flat.
constexpr size_t kQueueLimit = 4096;

std::string Named(const std::string& path) {
  if (path == "-") return "standard input";
  return "\"" + EntryForDisplay(path) + "\"";
}

}  // namespace

EntryFeed::EntryFeed(std::vector<std::string> inputs, ByteSource& standard_input,
                     ProtocolSet wanted)
    : inputs_(std::move(inputs)), standard_input_(standard_input), wanted_(wanted) {}

EntryFeed::~EntryFeed() {
  Stop();
  if (!thread_.joinable()) return;
  std::unique_lock lock(mutex_);
  if (done_) {
    lock.unlock();
    thread_.join();
  } else {
    // Blocked on a pipe that may never send again: the process is ending.
    thread_.detach();
  }
}

void EntryFeed::Start(std::function<void()> wake) {
  wake_ = std::move(wake);
  thread_ = std::thread([this] { Read(); });
}

EntryFeed::Take EntryFeed::Next(Entry* entry) {
  std::lock_guard lock(mutex_);
  if (!queue_.empty()) {
    *entry = std::move(queue_.front());
    queue_.pop_front();
    if (queue_.size() == kQueueLimit / 2) room_.notify_one();
    return Take::kEntry;
  }
  if (done_) return Take::kEnd;
  waiting_ = true;
  return Take::kWait;
}

void EntryFeed::Stop() {
  std::lock_guard lock(mutex_);
  stop_ = true;
  wake_ = nullptr;
  room_.notify_all();
}

std::string EntryFeed::Error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

void EntryFeed::Read() {
  for (const std::string& name : inputs_) {
    std::string reason;
    InputFile file;
    ByteSource* source = &standard_input_;
    if (name != "-") {
      if (!file.Open(name, InputFile::Accept::kStreamsToo, &reason)) {
        std::lock_guard lock(mutex_);
        error_ = "cannot read " + Named(name) + ": " + reason;
        break;
      }
      source = &file;
    }
    if (!ReadOne(*source, name)) break;
  }
  std::lock_guard lock(mutex_);
  done_ = true;
  ended_ = true;
  if (waiting_ && wake_) wake_();
  waiting_ = false;
}

bool EntryFeed::ReadOne(ByteSource& source, const std::string& name) {
  LineReader reader(source);
  std::string_view line;
  LineReader::Result result;
  while ((result = reader.Next(&line)) == LineReader::Result::kLine) {
    std::optional<Entry> entry = ParseEntry(line, wanted_);
    if (!entry || !seen_.insert(entry->Key()).second) {
      ++skipped_;
      continue;
    }
    if (!Push(std::move(*entry))) return false;
  }
  if (result == LineReader::Result::kError) {
    std::lock_guard lock(mutex_);
    error_ = "reading stopped in " + Named(name) + " at line " +
             std::to_string(reader.LineNumber() + 1) + ": " + reader.Error();
    return false;
  }
  return true;
}

bool EntryFeed::Push(Entry entry) {
  std::unique_lock lock(mutex_);
  room_.wait(lock, [this] { return stop_ || queue_.size() < kQueueLimit; });
  if (stop_) return false;
  queue_.push_back(std::move(entry));
  ++entries_;
  if (waiting_ && wake_) {
    waiting_ = false;
    wake_();
  }
  return true;
}

}  // namespace kestrova
