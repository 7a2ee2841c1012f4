#include "check/checker.h"

#include <csignal>
#include <deque>
#include <memory>

#include "os/file_io.h"

namespace kestrova {
namespace {

using Clock = std::chrono::steady_clock;

// An entry from its first attempt until its lines are written.
struct Pending {
  Entry entry;
  int left = 0;  // attempts not yet settled
  std::array<Outcome, kProtocolCount> outcomes;
  std::array<long long, kProtocolCount> ms{};
};

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

class Engine {
 public:
  Engine(const CheckSettings& settings, EntryFeed& feed, ByteSink& output, ByteSink* report,
         ByteSink& errors)
      : settings_(settings),
        feed_(feed),
        output_(output),
        report_(report),
        errors_(errors),
        jobs_(settings.jobs),
        work_(asio::make_work_guard(io_)),
        signals_(io_, SIGINT, SIGTERM),
        ticker_(io_) {}

  CheckRun Run() {
    signals_.async_wait([this](const std::error_code& ec, int) {
      if (ec) return;
      run_.end = CheckEnd::kInterrupted;
      io_.stop();
    });
    if (!FetchDirect()) return run_;
    start_ = Clock::now();
    feed_.Start([this] { asio::post(io_, [this] { Pump(); }); });
    if (settings_.progress) Tick();
    asio::post(io_, [this] { Pump(); });
    io_.run();
    feed_.Stop();
    if (settings_.progress) Say("\r" + std::string(79, ' ') + "\r");
    return run_;
  }

 private:
  bool FetchDirect() {
    Expectation direct = settings_.expect;
    direct.status = 0;
    Outcome outcome;
    asio::co_spawn(
        io_, RunAttempt(nullptr, Protocol::kHttp, settings_.target, direct, settings_.timeout),
        [&](std::exception_ptr, Outcome o) {
          outcome = std::move(o);
          io_.stop();
        });
    io_.run();
    io_.restart();
    if (run_.end == CheckEnd::kInterrupted) return false;
    if (outcome.result != Result::kOk) {
      run_.end = CheckEnd::kTargetFailed;
      run_.message =
          outcome.result == Result::kWrongAnswer
              ? "the target's own answer lacks the expected text (" + outcome.detail + ")"
              : "the target does not answer directly (" + std::string(ResultName(outcome.result)) +
                    ": " + outcome.detail + "); nothing was checked";
      return false;
    }
    if (expect_.status = settings_.expect.status; expect_.status == 0) {
      expect_.status = outcome.status;
    }
    expect_.text = settings_.expect.text;
    if (outcome.status == 200 && expect_.text.empty() && settings_.expect.status == 0) {
      Say("kestrova check: note: the target answers 200, as a login portal would; --expect TEXT "
          "tells them apart\n");
    }
    return true;
  }

  void Say(const std::string& text) {
    std::string ignored;
    errors_.Write(text, &ignored);
  }

  // Starts attempts while there is room, taking entries as they come.
  void Pump() {
    while (!stopping_ && in_flight_ < jobs_) {
      if (ready_.empty()) {
        Entry entry;
        const EntryFeed::Take take = feed_.Next(&entry);
        if (take == EntryFeed::Take::kWait) break;
        if (take == EntryFeed::Take::kEnd) {
          input_done_ = true;
          break;
        }
        auto pending = std::make_unique<Pending>();
        pending->entry = std::move(entry);
        for (int p = 0; p < kProtocolCount; ++p) {
          if (pending->entry.protocols & Bit(static_cast<Protocol>(p))) {
            ready_.emplace_back(pending.get(), static_cast<Protocol>(p));
            ++pending->left;
          }
        }
        order_.push_back(std::move(pending));
        continue;
      }
      const auto [pending, protocol] = ready_.front();
      ready_.pop_front();
      Start(pending, protocol);
    }
    if ((input_done_ || stopping_) && in_flight_ == 0) Finish();
  }

  void Start(Pending* pending, Protocol protocol) {
    ++in_flight_;
    const Clock::time_point began = Clock::now();
    asio::co_spawn(
        io_, RunAttempt(&pending->entry, protocol, settings_.target, expect_, settings_.timeout),
        [this, pending, protocol, began](std::exception_ptr failure, Outcome outcome) {
          if (failure) outcome = {Result::kClosed, "failed here", 0};
          const auto ms =
              std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began);
          Settle(pending, protocol, std::move(outcome), ms.count());
        });
  }

  void Settle(Pending* pending, Protocol protocol, Outcome outcome, long long ms) {
    --in_flight_;
    if (outcome.result == Result::kLocal) {
      // Out of sockets here: try again when others are done, with fewer at once.
      if (in_flight_ == 0) {
        run_.end = CheckEnd::kLocalFailure;
        run_.message = "no connection can be opened here: " + outcome.detail;
        stopping_ = true;
      } else {
        ready_.emplace_front(pending, protocol);
        if (jobs_ > in_flight_) {
          jobs_ = in_flight_;
          Say("kestrova check: out of sockets (" + outcome.detail + "); " + std::to_string(jobs_) +
              " attempts at once from now on\n");
        }
      }
    } else {
      const int p = static_cast<int>(protocol);
      pending->outcomes[p] = std::move(outcome);
      pending->ms[p] = ms;
      --pending->left;
      ++attempts_done_;
      WriteSettled();
    }
    Pump();
  }

  // Writes every settled entry at the head of the input order.
  void WriteSettled() {
    std::string lines;
    std::string rows;
    while (!order_.empty() && order_.front()->left == 0) {
      const Pending& done = *order_.front();
      bool any = false;
      bool works[kProtocolCount] = {};
      for (int p = 0; p < kProtocolCount; ++p) {
        if (!(done.entry.protocols & Bit(static_cast<Protocol>(p)))) continue;
        const Outcome& o = done.outcomes[p];
        works[p] = o.result == Result::kOk;
        any = any || works[p];
        if (works[p]) ++run_.counts.by_protocol[p];
        if (report_) {
          rows += CsvField(done.entry.text) + "," + ProtocolName(static_cast<Protocol>(p)) + "," +
                  ResultName(o.result) + "," + std::to_string(done.ms[p]) + "," +
                  CsvField(o.detail) + "\n";
        }
      }
      if (any) {
        ++run_.counts.working;
        if (settings_.plain) {
          lines += done.entry.HostPort() + "\n";
        } else {
          if (works[0] || works[1]) lines += done.entry.Url("http") + "\n";
          if (works[2]) lines += done.entry.Url("socks4") + "\n";
          if (works[3]) lines += done.entry.Url("socks5") + "\n";
        }
      }
      ++entries_done_;
      ++run_.counts.entries;
      order_.pop_front();
    }
    std::string reason;
    if ((!lines.empty() && !output_.Write(lines, &reason)) ||
        (!rows.empty() && !report_->Write(rows, &reason))) {
      if (run_.end == CheckEnd::kDone) {
        run_.end = CheckEnd::kWriteFailed;
        run_.message = reason;
      }
      stopping_ = true;
      io_.stop();
    }
  }

  void Finish() {
    work_.reset();
    std::error_code ignored;
    signals_.cancel(ignored);
    ticker_.cancel();
  }

  void Tick() {
    ShowProgress();
    ticker_.expires_after(std::chrono::milliseconds(250));
    ticker_.async_wait([this](const std::error_code& ec) {
      if (!ec) Tick();
    });
  }

  void ShowProgress() {
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(entries_done_) / seconds : 0;
    std::string line = "\rkestrova check: " + std::to_string(entries_done_);
    const bool total_known = feed_.Ended();
    if (total_known) line += "/" + std::to_string(feed_.Entries());
    line += " entries, " + std::to_string(run_.counts.working) + " working, " +
            std::to_string(in_flight_) + " in flight, " + std::to_string(static_cast<long>(rate)) +
            "/s";
    if (total_known && rate > 0) {
      const double left = static_cast<double>(feed_.Entries() - entries_done_) / rate;
      line += ", " + std::to_string(static_cast<long>(left + 0.5)) + " s left";
    }
    line += "   ";
    Say(line);
  }

  const CheckSettings& settings_;
  EntryFeed& feed_;
  ByteSink& output_;
  ByteSink* report_;
  ByteSink& errors_;
  int jobs_;
  asio::io_context io_{1};
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  asio::signal_set signals_;
  asio::steady_timer ticker_;
  Expectation expect_;
  std::deque<std::unique_ptr<Pending>> order_;
  std::deque<std::pair<Pending*, Protocol>> ready_;
  int in_flight_ = 0;
  bool input_done_ = false;
  bool stopping_ = false;
  long long entries_done_ = 0;
  long long attempts_done_ = 0;
  Clock::time_point start_;
  CheckRun run_;
};

}  // namespace

CheckRun RunCheck(const CheckSettings& settings, EntryFeed& feed, ByteSink& output,
                  ByteSink* report, ByteSink& errors) {
  // The engine's members hold the event loop; keep it off the stack.
  auto engine = std::make_unique<Engine>(settings, feed, output, report, errors);
  return engine->Run();
}

int FitJobs(int jobs, std::string* note) {
  // Room for the standard streams, the inputs, the output and the report.
  constexpr long long kReserve = 32;
  const long long limit = RaiseOpenFileLimit();
  if (limit < 0 || jobs + kReserve <= limit) return jobs;
  const int fitted = limit > kReserve + 1 ? static_cast<int>(limit - kReserve) : 1;
  *note = "--jobs lowered to " + std::to_string(fitted) + ": the open-file limit is " +
          std::to_string(limit);
  return fitted;
}

}  // namespace kestrova
