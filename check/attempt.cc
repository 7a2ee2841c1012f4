#include "check/attempt.h"

#include <memory>

#include "check/http_answer.h"

namespace kestrova {
namespace {

using asio::ip::tcp;

// The socket and the resolver an attempt uses, kept alive for its deadline's
// handler, which may run just after the attempt ended.
struct Link {
  explicit Link(const asio::any_io_executor& executor) : socket(executor), resolver(executor) {}
  tcp::socket socket;
  tcp::resolver resolver;
  bool expired = false;
};

Outcome Make(Result result, std::string detail, int status = 0) {
  return {result, std::move(detail), status};
}

// What a failed step says about the proxy.
Outcome Failed(const Link& link, const std::error_code& ec, const char* step) {
  if (link.expired) return Make(Result::kTimeout, std::string("no answer in time: ") + step);
  const std::string detail = std::string(step) + ": " + ec.message();
  if (ec == asio::error::connection_refused) return Make(Result::kRefused, detail);
  if (ec == asio::error::host_unreachable || ec == asio::error::network_unreachable ||
      ec == asio::error::host_not_found || ec == asio::error::host_not_found_try_again) {
    return Make(Result::kUnreachable, detail);
  }
  if (ec == asio::error::no_descriptors || ec == asio::error::no_buffer_space ||
      ec == asio::error::no_memory || ec == std::errc::address_not_available) {
    return Make(Result::kLocal, detail);
  }
  return Make(Result::kClosed, detail);
}

bool IsIpv6Literal(std::string_view host) { return host.find(':') != std::string_view::npos; }

std::string Base64(std::string_view data) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < data.size(); i += 3) {
    unsigned n = static_cast<unsigned char>(data[i]) << 16;
    if (i + 1 < data.size()) n |= static_cast<unsigned char>(data[i + 1]) << 8;
    if (i + 2 < data.size()) n |= static_cast<unsigned char>(data[i + 2]);
    out += kDigits[n >> 18 & 63];
    out += kDigits[n >> 12 & 63];
    out += i + 1 < data.size() ? kDigits[n >> 6 & 63] : '=';
    out += i + 2 < data.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

std::string ProxyAuthorization(const Entry* entry) {
  if (!entry || !entry->has_auth) return "";
  return "Proxy-Authorization: Basic " + Base64(entry->user + ":" + entry->pass) + "\r\n";
}

// The request for the page: in absolute form to an HTTP proxy, else as to
// the server itself.
std::string PageRequest(const Target& target, const Entry* entry, bool absolute) {
  std::string request = "GET ";
  if (absolute) request += "http://" + target.authority;
  request += target.path + " HTTP/1.1\r\nHost: " + target.authority + "\r\n";
  if (absolute) request += ProxyAuthorization(entry);
  request += "User-Agent: kestrova-check\r\nAccept: */*\r\nConnection: close\r\n\r\n";
  return request;
}

// Reads an answer into `answer` until it is whole, bad, cut or over 64 KiB.
asio::awaitable<HttpAnswer::State> ReadAnswer(Link& link, HttpAnswer& answer, std::error_code& ec) {
  char chunk[4096];
  while (true) {
    const size_t room = std::min(sizeof chunk, std::max<size_t>(answer.Room(), 1));
    const size_t n = co_await link.socket.async_read_some(
        asio::buffer(chunk, room), asio::redirect_error(asio::use_awaitable, ec));
    if (ec == asio::error::eof) {
      ec.clear();
      co_return answer.End();
    }
    if (ec) co_return HttpAnswer::State::kCut;
    const HttpAnswer::State state = answer.Feed(std::string_view(chunk, n));
    if (state != HttpAnswer::State::kMore) co_return state;
  }
}

// The page's answer, judged.
asio::awaitable<Outcome> FetchPage(Link& link, const Target& target, const Entry* entry,
                                   bool absolute, const Expectation& expect) {
  std::error_code ec;
  co_await asio::async_write(link.socket, asio::buffer(PageRequest(target, entry, absolute)),
                             asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "sending the request");
  HttpAnswer answer;
  const HttpAnswer::State state = co_await ReadAnswer(link, answer, ec);
  if (ec)
    co_return Failed(link, ec, answer.Started() ? "reading the answer" : "waiting for the answer");
  if (state == HttpAnswer::State::kBad) co_return Make(Result::kBadAnswer, answer.Error());
  if (state == HttpAnswer::State::kCut) co_return Make(Result::kClosed, answer.Error());
  const int status = answer.Status();
  const std::string got = "status " + std::to_string(status);
  if (absolute && (status == 407 || status == 401)) {
    co_return Make(Result::kAuthRequired, got, status);
  }
  if (expect.status != 0 && status != expect.status) {
    co_return Make(Result::kWrongAnswer, got + ", not " + std::to_string(expect.status), status);
  }
  if (!expect.text.empty() && answer.Body().find(expect.text) == std::string_view::npos) {
    co_return Make(Result::kWrongAnswer, got + " without the expected text", status);
  }
  co_return Make(Result::kOk, got, status);
}

asio::awaitable<Outcome> ThroughConnect(Link& link, const Target& target, const Entry* entry,
                                        const Expectation& expect) {
  std::error_code ec;
  const std::string request = "CONNECT " + target.authority +
                              " HTTP/1.1\r\nHost: " + target.authority + "\r\n" +
                              ProxyAuthorization(entry) + "\r\n";
  co_await asio::async_write(link.socket, asio::buffer(request),
                             asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "sending CONNECT");
  HttpAnswer answer(/*head_only=*/true);
  const HttpAnswer::State state = co_await ReadAnswer(link, answer, ec);
  if (ec) co_return Failed(link, ec, "waiting for the CONNECT answer");
  if (state == HttpAnswer::State::kBad) co_return Make(Result::kBadAnswer, answer.Error());
  if (state == HttpAnswer::State::kCut) co_return Make(Result::kClosed, answer.Error());
  const int status = answer.Status();
  const std::string got = "CONNECT answered " + std::to_string(status);
  if (status == 407 || status == 401) co_return Make(Result::kAuthRequired, got, status);
  if (status == 502 || status == 504) co_return Make(Result::kUnreachable, got, status);
  if (status < 200 || status > 299) co_return Make(Result::kDenied, got, status);
  Outcome page = co_await FetchPage(link, target, entry, false, expect);
  co_return page;
}

asio::awaitable<Outcome> ThroughSocks4(Link& link, const Target& target, const Entry* entry,
                                       const Expectation& expect) {
  if (IsIpv6Literal(target.host)) co_return Make(Result::kUnreachable, "SOCKS4 has no IPv6");
  std::string request = {4, 1, static_cast<char>(target.port >> 8),
                         static_cast<char>(target.port & 255)};
  const bool by_name = !IsIpv4(target.host);
  if (by_name) {
    request += std::string("\0\0\0\1", 4);  // 4a: the name follows the user id
  } else {
    const auto bytes = asio::ip::make_address_v4(target.host).to_bytes();
    request.append(reinterpret_cast<const char*>(bytes.data()), 4);
  }
  request += entry->user;
  request += '\0';
  if (by_name) request += target.host + '\0';
  std::error_code ec;
  co_await asio::async_write(link.socket, asio::buffer(request),
                             asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "sending the SOCKS4 request");
  unsigned char reply[8];
  co_await asio::async_read(link.socket, asio::buffer(reply),
                            asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "waiting for the SOCKS4 answer");
  if (reply[0] != 0) co_return Make(Result::kBadAnswer, "not a SOCKS4 answer");
  if (reply[1] >= 91 && reply[1] <= 93) {
    co_return Make(Result::kDenied, "SOCKS4 rejected (" + std::to_string(reply[1]) + ")");
  }
  if (reply[1] != 90) co_return Make(Result::kBadAnswer, "not a SOCKS4 answer");
  Outcome page = co_await FetchPage(link, target, entry, false, expect);
  co_return page;
}

asio::awaitable<Outcome> ThroughSocks5(Link& link, const Target& target, const Entry* entry,
                                       const Expectation& expect) {
  std::error_code ec;
  const std::string greeting =
      entry->has_auth ? std::string("\5\2\0\2", 4) : std::string("\5\1\0", 3);
  co_await asio::async_write(link.socket, asio::buffer(greeting),
                             asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "sending the SOCKS5 greeting");
  unsigned char reply[262];
  co_await asio::async_read(link.socket, asio::buffer(reply, 2),
                            asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "waiting for the SOCKS5 greeting");
  if (reply[0] != 5) co_return Make(Result::kBadAnswer, "not a SOCKS5 answer");
  if (reply[1] == 0xff) {
    co_return Make(Result::kAuthRequired, entry->has_auth ? "SOCKS5 takes none of the methods"
                                                          : "SOCKS5 wants credentials");
  }
  if (reply[1] == 2 && entry->has_auth) {
    std::string login = {1, static_cast<char>(entry->user.size())};
    login += entry->user;
    login += static_cast<char>(entry->pass.size());
    login += entry->pass;
    co_await asio::async_write(link.socket, asio::buffer(login),
                               asio::redirect_error(asio::use_awaitable, ec));
    if (ec) co_return Failed(link, ec, "sending the SOCKS5 credentials");
    co_await asio::async_read(link.socket, asio::buffer(reply, 2),
                              asio::redirect_error(asio::use_awaitable, ec));
    if (ec) co_return Failed(link, ec, "waiting for the SOCKS5 login");
    if (reply[1] != 0) co_return Make(Result::kAuthRequired, "SOCKS5 refused the credentials");
  } else if (reply[1] != 0) {
    co_return Make(Result::kBadAnswer, "SOCKS5 chose a method not offered");
  }
  std::string request = {5, 1, 0};
  if (IsIpv4(target.host)) {
    const auto bytes = asio::ip::make_address_v4(target.host).to_bytes();
    request += '\1';
    request.append(reinterpret_cast<const char*>(bytes.data()), 4);
  } else if (IsIpv6Literal(target.host)) {
    const auto bytes = asio::ip::make_address_v6(target.host, ec).to_bytes();
    request += '\4';
    request.append(reinterpret_cast<const char*>(bytes.data()), 16);
  } else {
    request += '\3';
    request += static_cast<char>(target.host.size());
    request += target.host;
  }
  request += static_cast<char>(target.port >> 8);
  request += static_cast<char>(target.port & 255);
  co_await asio::async_write(link.socket, asio::buffer(request),
                             asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "sending the SOCKS5 request");
  co_await asio::async_read(link.socket, asio::buffer(reply, 5),
                            asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "waiting for the SOCKS5 answer");
  if (reply[0] != 5) co_return Make(Result::kBadAnswer, "not a SOCKS5 answer");
  const std::string code = "SOCKS5 answered " + std::to_string(reply[1]);
  if (reply[1] == 2) co_return Make(Result::kDenied, code);
  if (reply[1] == 1 || (reply[1] >= 3 && reply[1] <= 6)) co_return Make(Result::kUnreachable, code);
  if (reply[1] != 0) co_return Make(Result::kBadAnswer, code);
  // The bound address: 5 bytes read of it so far.
  size_t rest = reply[3] == 1 ? 4 + 2 - 1 : reply[3] == 4 ? 16 + 2 - 1 : reply[4] + 2u;
  if (reply[3] != 1 && reply[3] != 3 && reply[3] != 4) {
    co_return Make(Result::kBadAnswer, "a bad SOCKS5 address");
  }
  co_await asio::async_read(link.socket, asio::buffer(reply, rest),
                            asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return Failed(link, ec, "reading the SOCKS5 answer");
  Outcome page = co_await FetchPage(link, target, entry, false, expect);
  co_return page;
}

asio::awaitable<Outcome> Connect(Link& link, const std::string& host, uint16_t port) {
  std::error_code ec;
  const asio::ip::address address = asio::ip::make_address(host, ec);
  if (!ec) {
    const tcp::endpoint endpoint(address, port);
    link.socket.open(endpoint.protocol(), ec);
    if (ec) co_return Failed(link, ec, "opening a socket");
    co_await link.socket.async_connect(endpoint, asio::redirect_error(asio::use_awaitable, ec));
  } else {
    const auto found = co_await link.resolver.async_resolve(
        host, std::to_string(port), asio::redirect_error(asio::use_awaitable, ec));
    if (ec) co_return Failed(link, ec, "looking up the name");
    // Each address of the name in turn ("localhost": ::1, then 127.0.0.1).
    const auto in_time = [&link](const std::error_code&, const tcp::endpoint&) {
      return !link.expired;
    };
    co_await asio::async_connect(link.socket, found, in_time,
                                 asio::redirect_error(asio::use_awaitable, ec));
  }
  if (ec || link.expired) co_return Failed(link, ec, "connecting");
  link.socket.set_option(tcp::no_delay(true), ec);
  co_return Outcome{};
}

}  // namespace

std::optional<Target> ParseTarget(std::string_view url, std::string* error) {
  constexpr std::string_view kScheme = "http://";
  if (url.substr(0, kScheme.size()) != kScheme) {
    *error = "the target must be an http:// URL";
    return std::nullopt;
  }
  url.remove_prefix(kScheme.size());
  const size_t slash = url.find_first_of("/?#");
  Target target;
  target.authority = std::string(url.substr(0, slash));
  target.path = slash == std::string_view::npos ? "/" : std::string(url.substr(slash));
  if (target.path[0] != '/') target.path = "/" + target.path;
  if (const size_t hash = target.path.find('#'); hash != std::string::npos) {
    target.path.resize(hash);
  }
  // host:port checks out the same way as an entry's.
  const std::string_view authority = target.authority;
  const bool has_port = authority.starts_with('[') ? authority.find("]:") != std::string_view::npos
                                                   : authority.find(':') != std::string_view::npos;
  const std::optional<Entry> parsed =
      ParseEntry(has_port ? target.authority : target.authority + ":80", kAllProtocols);
  if (!parsed || parsed->has_auth || target.authority.find_first_of(" \t") != std::string::npos) {
    *error = "the target's host and port are not valid";
    return std::nullopt;
  }
  target.host = parsed->host;
  target.port = parsed->port;
  return target;
}

const char* ResultName(Result result) {
  static constexpr const char* kNames[] = {
      "ok",     "refused",       "timeout",     "closed",       "bad-answer",
      "denied", "auth-required", "unreachable", "wrong-answer", "local-error"};
  return kNames[static_cast<int>(result)];
}

asio::awaitable<Outcome> RunAttempt(const Entry* entry, Protocol protocol, const Target& target,
                                    const Expectation& expect, std::chrono::milliseconds timeout) {
  const asio::any_io_executor executor = co_await asio::this_coro::executor;
  const auto link = std::make_shared<Link>(executor);
  asio::steady_timer deadline(executor, timeout);
  deadline.async_wait([link](const std::error_code& ec) {
    if (ec) return;
    link->expired = true;
    std::error_code ignored;
    link->socket.close(ignored);
    link->resolver.cancel();
  });
  // GCC 12 mishandles co_await inside ?: and co_return co_await; every
  // awaited result goes through a named variable.
  Outcome outcome;
  if (entry) {
    outcome = co_await Connect(*link, entry->host, entry->port);
  } else {
    outcome = co_await Connect(*link, target.host, target.port);
  }
  if (outcome.result != Result::kOk) co_return outcome;
  if (!entry) {
    outcome = co_await FetchPage(*link, target, nullptr, false, expect);
  } else if (protocol == Protocol::kHttp) {
    outcome = co_await FetchPage(*link, target, entry, true, expect);
  } else if (protocol == Protocol::kConnect) {
    outcome = co_await ThroughConnect(*link, target, entry, expect);
  } else if (protocol == Protocol::kSocks4) {
    outcome = co_await ThroughSocks4(*link, target, entry, expect);
  } else {
    outcome = co_await ThroughSocks5(*link, target, entry, expect);
  }
  co_return outcome;
}

}  // namespace kestrova
