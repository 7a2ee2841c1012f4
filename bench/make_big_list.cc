// Writes a list of at least the given size from a real one, for timing
// `kestrova sift`: the list is repeated, each copy with its ports moved, so
// that about a third of the entries are repeats, as in the original.
//   make_big_list SOURCE OUTPUT MEGABYTES
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s SOURCE OUTPUT MEGABYTES\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream source;
  source << in.rdbuf();
  const std::string text = source.str();
  const unsigned long long wanted = std::strtoull(argv[3], nullptr, 10) * 1000 * 1000;
  std::ofstream out(argv[2], std::ios::binary);
  const std::regex entry(R"(^(\d+\.\d+\.\d+\.\d+:)(\d+))");
  unsigned long long written = 0;
  for (int copy = 0; written < wanted; ++copy) {
    std::string chunk;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      end = end == std::string::npos ? text.size() : end + 1;
      std::string line = text.substr(start, end - start);
      std::smatch m;
      if (copy > 0 && std::regex_search(line, m, entry)) {
        const long port = (std::stol(m[2]) + 7919L * copy) % 65536;  // still a port
        line = m[1].str() + std::to_string(port) + line.substr(m[0].length());
      }
      chunk += line;
      start = end;
    }
    out << chunk;
    written += chunk.size();
  }
  return out ? 0 : 1;
}
