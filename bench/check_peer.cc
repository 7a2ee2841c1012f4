// Loopback peers for bench/check: "page" answers every request with 204 on
// its own threads; "never" listens and never accepts. Prints its port, and
// ends after ten minutes at the latest.
#define ASIO_STANDALONE
#include <asio.hpp>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

using asio::ip::tcp;

asio::awaitable<void> Answer(tcp::socket socket) {
  std::string head;
  std::error_code ec;
  co_await asio::async_read_until(socket, asio::dynamic_buffer(head), "\r\n\r\n",
                                  asio::redirect_error(asio::use_awaitable, ec));
  if (ec) co_return;
  static const std::string kAnswer = "HTTP/1.1 204 No Content\r\nContent-Length: 0\r\n\r\n";
  co_await asio::async_write(socket, asio::buffer(kAnswer),
                             asio::redirect_error(asio::use_awaitable, ec));
}

asio::awaitable<void> Serve(tcp::acceptor& acceptor) {
  while (true) {
    std::error_code ec;
    tcp::socket socket =
        co_await acceptor.async_accept(asio::redirect_error(asio::use_awaitable, ec));
    if (!ec) asio::co_spawn(acceptor.get_executor(), Answer(std::move(socket)), asio::detached);
  }
}

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "page";
  asio::io_context io;
  tcp::acceptor acceptor(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
  acceptor.listen(4096);
  std::cout << acceptor.local_endpoint().port() << std::endl;
  asio::steady_timer end(io, std::chrono::minutes(10));
  end.async_wait([&](std::error_code) { io.stop(); });
  if (mode == "never") {
    io.run();
    return 0;
  }
  asio::co_spawn(io, Serve(acceptor), asio::detached);
  std::vector<std::thread> threads;
  for (int i = 0; i < 2; ++i) threads.emplace_back([&] { io.run(); });
  for (auto& t : threads) t.join();
}
