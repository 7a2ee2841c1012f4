#include "check/http_answer.h"

#include <algorithm>

namespace kestrova {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x | 0x20) == (y | 0x20);
         });
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

HttpAnswer::State HttpAnswer::Feed(std::string_view data) {
  buffer_.append(data.substr(0, Room()));
  return Parse();
}

HttpAnswer::State HttpAnswer::End() {
  const State state = Parse();
  if (state != State::kMore) return state;
  if (head_end_ != 0 && content_length_ < 0 && !chunked_) return State::kDone;
  error_ = buffer_.empty() ? "closed before answering" : "closed in the middle of the answer";
  return State::kCut;
}

std::string_view HttpAnswer::Body() const {
  if (head_end_ == 0) return {};
  if (chunked_) return chunks_;
  std::string_view body(buffer_);
  body.remove_prefix(head_end_);
  if (content_length_ >= 0 && body.size() > static_cast<size_t>(content_length_)) {
    body = body.substr(0, static_cast<size_t>(content_length_));
  }
  return body;
}

HttpAnswer::State HttpAnswer::Parse() {
  while (head_end_ == 0) {
    // Anything that does not begin like an HTTP answer is not one.
    const size_t n = std::min<size_t>(buffer_.size(), 5);
    if (buffer_.compare(0, n, std::string_view("HTTP/").substr(0, n)) != 0) {
      error_ = "not an HTTP answer";
      return State::kBad;
    }
    size_t end = buffer_.find("\r\n\r\n");
    size_t skip = 4;
    if (const size_t lf = buffer_.find("\n\n"); lf < end) {
      end = lf;
      skip = 2;
    }
    if (end == std::string::npos) {
      if (Room() > 0) return State::kMore;
      error_ = "a header block over 64 KiB";
      return State::kBad;
    }
    if (!ParseHead(end)) return State::kBad;
    head_end_ = end + skip;
    if (status_ >= 100 && status_ < 200 && status_ != 101 && !head_only_) {
      // An interim answer; the real one follows.
      buffer_.erase(0, head_end_);
      head_end_ = 0;
      content_length_ = -1;
      chunked_ = false;
    }
  }
  if (head_only_ || status_ == 204 || status_ == 304 || status_ < 200) return State::kDone;
  if (chunked_) return ParseChunks();
  const size_t have = buffer_.size() - head_end_;
  if (content_length_ >= 0 && have >= static_cast<size_t>(content_length_)) return State::kDone;
  return Room() == 0 ? State::kDone : State::kMore;
}

bool HttpAnswer::ParseHead(size_t end) {
  const std::string_view head = std::string_view(buffer_).substr(0, end);
  size_t line_end = head.find('\n');
  const std::string_view status_line = Trim(head.substr(0, line_end));
  // "HTTP/1.1 204 No Content"
  if (status_line.size() < 12 || !IsDigit(status_line[5]) || status_line[6] != '.' ||
      !IsDigit(status_line[7]) || status_line[8] != ' ' || !IsDigit(status_line[9]) ||
      !IsDigit(status_line[10]) || !IsDigit(status_line[11]) ||
      (status_line.size() > 12 && status_line[12] != ' ')) {
    error_ = "not an HTTP status line";
    return false;
  }
  status_ = (status_line[9] - '0') * 100 + (status_line[10] - '0') * 10 + (status_line[11] - '0');
  while (line_end != std::string_view::npos) {
    const size_t start = line_end + 1;
    line_end = head.find('\n', start);
    const std::string_view line = head.substr(start, line_end - start);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      if (!Trim(line).empty()) {
        error_ = "a header line without a colon";
        return false;
      }
      continue;
    }
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = Trim(line.substr(colon + 1));
    if (SameWord(name, "Content-Length")) {
      if (value.empty() || value.size() > 15 || !std::all_of(value.begin(), value.end(), IsDigit)) {
        error_ = "a bad Content-Length";
        return false;
      }
      content_length_ = std::stoll(std::string(value));
    } else if (SameWord(name, "Transfer-Encoding") && value.size() >= 7 &&
               SameWord(value.substr(value.size() - 7), "chunked")) {
      chunked_ = true;
    }
  }
  return true;
}

HttpAnswer::State HttpAnswer::ParseChunks() {
  chunks_.clear();
  size_t at = head_end_;
  while (true) {
    const size_t line_end = buffer_.find('\n', at);
    if (line_end == std::string::npos) break;
    size_t size = 0;
    size_t digits = 0;
    for (size_t i = at; i < line_end && digits < 8; ++i, ++digits) {
      const char c = static_cast<char>(buffer_[i] | 0x20);
      const int value = IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
      if (value < 0) break;
      size = size * 16 + static_cast<size_t>(value);
    }
    if (digits == 0) {
      error_ = "a bad chunk size";
      return State::kBad;
    }
    if (size == 0) return State::kDone;
    const size_t data = line_end + 1;
    chunks_.append(buffer_, data, std::min(size, buffer_.size() - data));
    if (buffer_.size() - data < size + 2) break;
    at = data + size + 2;
  }
  return Room() == 0 ? State::kDone : State::kMore;
}

}  // namespace kestrova
