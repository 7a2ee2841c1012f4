// Writes the texts that `bench/find` times `kestrova sift --find` on, as
// lists are published: an HTML table (a row an entry, with the columns a
// proxy site shows) and a JSON array of records on one line, each record with
// an exit address and numbers beside its entry. Addresses are drawn with a
// fixed seed, so nearly every entry is distinct.
//   make_find_inputs HTML_OUTPUT HTML_MEGABYTES JSON_OUTPUT JSON_MEGABYTES
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

std::string Address(std::mt19937& random) {
  std::string a;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) a += '.';
    a += std::to_string(1 + random() % 254);
  }
  return a;
}

template <typename Row>
void Write(const char* path, unsigned long long megabytes, const char* head, const char* tail,
           Row row) {
  std::FILE* out = std::fopen(path, "wb");
  if (!out) {
    std::perror(path);
    std::exit(1);
  }
  std::mt19937 random(2026);
  const unsigned long long wanted = megabytes * 1000 * 1000;
  unsigned long long written =
      std::fputs(head, out) >= 0 ? std::char_traits<char>::length(head) : 0;
  for (unsigned long long n = 0; written < wanted; ++n) {
    const std::string text = row(random, n);
    std::fwrite(text.data(), 1, text.size(), out);
    written += text.size();
  }
  std::fputs(tail, out);
  std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s HTML_OUTPUT HTML_MEGABYTES JSON_OUTPUT JSON_MEGABYTES\n",
                 argv[0]);
    return 2;
  }
  const char* countries[] = {"US", "DE", "BR", "ID", "RU", "FR", "IN", "NL"};
  Write(argv[1], std::strtoull(argv[2], nullptr, 10),
        "<html><body><table class=\"table\"><thead><tr><th>IP Address</th><th>Port</th>"
        "<th>Code</th><th>Anonymity</th><th>Https</th><th>Last Checked</th></tr></thead>"
        "<tbody>\n",
        "</tbody></table></body></html>\n", [&](std::mt19937& random, unsigned long long) {
          return "<tr><td>" + Address(random) + "</td><td>" + std::to_string(1 + random() % 65535) +
                 "</td><td>" + countries[random() % 8] +
                 "</td><td class=\"hm\">elite proxy</td><td class=\"hx\">" +
                 (random() % 2 ? "yes" : "no") + "</td><td class=\"hm\">" +
                 std::to_string(1 + random() % 59) + " secs ago</td></tr>\n";
        });
  Write(argv[3], std::strtoull(argv[4], nullptr, 10), "[", "]\n",
        [&](std::mt19937& random, unsigned long long n) {
          return std::string(n ? "," : "") + "{\"ip\":\"" + Address(random) +
                 "\",\"port\":" + std::to_string(1 + random() % 65535) +
                 ",\"protocols\":[\"socks5\"],\"anonymityLevel\":\"elite\",\"asn\":\"AS" +
                 std::to_string(random() % 65536) + "\",\"country\":\"" + countries[random() % 8] +
                 "\",\"exit_ip\":\"" + Address(random) +
                 "\",\"lastChecked\":" + std::to_string(1733800000 + random() % 100000) +
                 ",\"latency\":" + std::to_string(random() % 1000) + "}";
        });
  return 0;
}
