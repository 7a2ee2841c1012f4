// `kestrova sift --strict`: only entries that a proxy checker can use.
#ifndef KESTROVA_SIFT_STRICT_ENTRY_H_
#define KESTROVA_SIFT_STRICT_ENTRY_H_

#include <string_view>

namespace kestrova {

// Whether `text` is exactly HOST:PORT, with nothing before or after. HOST is
// an IPv4 address as inet_pton takes it (four decimal parts 0-255, no
// leading zeros) or a host name: dot-separated labels of ASCII letters,
// digits and "-", each 1-63 characters, none beginning or ending with "-",
// 253 characters at most, the last label not all digits (so that a dotted
// quad that is not an address, such as 1.2.3.010, is no host name either).
// PORT is 1-65535 in decimal, without a leading zero.
bool IsStrictEntry(std::string_view text);

}  // namespace kestrova

#endif  // KESTROVA_SIFT_STRICT_ENTRY_H_
