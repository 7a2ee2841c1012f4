// The check of a whole list: attempts in flight on one thread, results
// written in input order as soon as every earlier entry is settled.
#ifndef KESTROVA_CHECK_CHECKER_H_
#define KESTROVA_CHECK_CHECKER_H_

#include <array>
#include <chrono>
#include <string>

#include "check/attempt.h"
#include "check/entry_feed.h"
#include "os/file_io.h"

namespace kestrova {

struct CheckSettings {
  ProtocolSet protocols = kAllProtocols;
  Target target;
  Expectation expect;  // status 0: the status of the direct answer
  std::chrono::milliseconds timeout{10000};
  int jobs = 512;
  bool plain = false;     // "host:port" once per working entry
  bool progress = false;  // a progress line on `errors`
};

struct CheckCounts {
  long long entries = 0;  // settled and written
  long long working = 0;
  std::array<long long, kProtocolCount> by_protocol{};
};

enum class CheckEnd {
  kDone,
  kTargetFailed,  // the target did not answer directly
  kInterrupted,   // SIGINT or SIGTERM
  kWriteFailed,
  kLocalFailure,  // no socket at all could be had here
};

struct CheckRun {
  CheckEnd end = CheckEnd::kDone;
  std::string message;  // what failed, or the note about --jobs
  CheckCounts counts;
};

// Runs the check: the target fetched directly first, then every entry of
// `feed`. `report` (may be null) gets the CSV rows; `errors` the progress
// line and notes.
CheckRun RunCheck(const CheckSettings& settings, EntryFeed& feed, ByteSink& output,
                  ByteSink* report, ByteSink& errors);

// The number of attempts that fit under the open-file limit, raised to its
// hard limit first; `note` says so when `jobs` had to be lowered.
int FitJobs(int jobs, std::string* note);

}  // namespace kestrova

#endif  // KESTROVA_CHECK_CHECKER_H_
