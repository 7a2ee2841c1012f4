// One attempt: a fresh connection to a proxy, its handshake, and the test
// page fetched through it, all within one deadline.
#ifndef KESTROVA_CHECK_ATTEMPT_H_
#define KESTROVA_CHECK_ATTEMPT_H_

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "check/asio.h"
#include "check/entry.h"

namespace kestrova {

// The page fetched to tell a working proxy: an http:// URL.
struct Target {
  std::string host;  // without the brackets of an IPv6 address
  uint16_t port = 80;
  std::string authority;  // as the Host header has it
  std::string path;       // from the first "/", at least "/"
};
std::optional<Target> ParseTarget(std::string_view url, std::string* error);

// What an answer must be to count as the page.
struct Expectation {
  int status = 0;
  std::string text;  // looked for in the body, when not empty
};

enum class Result : uint8_t {
  kOk,
  kRefused,
  kTimeout,
  kClosed,
  kBadAnswer,
  kDenied,
  kAuthRequired,
  kUnreachable,
  kWrongAnswer,
  // Out of sockets or ports here: nothing to hold against the proxy.
  kLocal,
};
const char* ResultName(Result result);

struct Outcome {
  Result result = Result::kOk;
  std::string detail;
  int status = 0;  // of the answer that came, when one did
};

// Tries `entry` with `protocol` (or, without an entry, fetches the target
// directly), ending at `timeout` whatever the peers do.
asio::awaitable<Outcome> RunAttempt(const Entry* entry, Protocol protocol, const Target& target,
                                    const Expectation& expect, std::chrono::milliseconds timeout);

}  // namespace kestrova

#endif  // KESTROVA_CHECK_ATTEMPT_H_
