// The entries of the inputs, read on a thread of their own as the check goes,
// so that a list of any length costs only the entries waiting here and the
// set of those already seen.
#ifndef KESTROVA_CHECK_ENTRY_FEED_H_
#define KESTROVA_CHECK_ENTRY_FEED_H_

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "check/entry.h"
#include "os/file_io.h"

namespace kestrova {

class EntryFeed {
 public:
  // `inputs` are file names, "-" for `standard_input`.
  EntryFeed(std::vector<std::string> inputs, ByteSource& standard_input, ProtocolSet wanted);
  EntryFeed(const EntryFeed&) = delete;
  EntryFeed& operator=(const EntryFeed&) = delete;
  ~EntryFeed();

  // Starts reading; `wake` is called, from the reading thread, when entries
  // (or the end) arrive after Next answered kWait.
  void Start(std::function<void()> wake);
  enum class Take { kEntry, kWait, kEnd };
  Take Next(Entry* entry);
  // Stops reading; `wake` is not called after this returns.
  void Stop();

  long long Entries() const { return entries_; }  // distinct ones, so far
  long long Skipped() const { return skipped_; }  // every other line
  bool Ended() const { return ended_; }
  // Why reading stopped early, naming the input; empty when it did not.
  std::string Error() const;

 private:
  void Read();
  bool ReadOne(ByteSource& source, const std::string& name);
  bool Push(Entry entry);

  std::vector<std::string> inputs_;
  ByteSource& standard_input_;
  ProtocolSet wanted_;
  std::unordered_set<std::string> seen_;
  std::atomic<long long> entries_{0};
  std::atomic<long long> skipped_{0};
  std::atomic<bool> ended_{false};

  mutable std::mutex mutex_;
  std::condition_variable room_;
  std::deque<Entry> queue_;
  std::function<void()> wake_;
  bool waiting_ = false;
  bool stop_ = false;
  bool done_ = false;  // the thread has left Read
  std::string error_;
  std::thread thread_;
};

}  // namespace kestrova

#endif  // KESTROVA_CHECK_ENTRY_FEED_H_
