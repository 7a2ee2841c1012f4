#include <gtest/gtest.h>

#include "base/text_set.h"
#include "sift/scan_padded.h"
#include "sift/sift_list.h"
#include "sift/strict_entry.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::ModelWith;

constexpr const char* kDropped = nullptr;

struct ScanCase {
  std::string entry;
  const char* kept;                // all switches off
  const char* kept_no_host_names;  // Check2 on
  const char* kept_only_www;       // Check3 on
  bool plain = false;              // kept as a.b.c.d:port, handed on as the set's key
};

TEST(ScanAddressTest, EntryFormsAndSwitches) {
  const ScanCase cases[] = {
      {"10.20.30.40:80", "10.20.30.40:80", "10.20.30.40:80", kDropped, true},
      {"10.20.30.40:80 word", "10.20.30.40:80", "10.20.30.40:80", kDropped, true},
      {"10.20.30.40:80;note", "10.20.30.40:80", "10.20.30.40:80", kDropped, true},
      {"10.20.30.40:", "10.20.30.40:", "10.20.30.40:", kDropped},
      {"10.20.30.40", kDropped, kDropped, kDropped},
      {"256.1.1.1:80", kDropped, kDropped, kDropped},
      {"1a.2.3.4:80", kDropped, kDropped, kDropped},
      {"1.2.3.:80", kDropped, kDropped, kDropped},
      {"10..20.30.40:80", kDropped, kDropped, kDropped},
      {"10.20.30.40::80", kDropped, kDropped, kDropped},
      {"1.2.3.0::5", kDropped, kDropped, kDropped},  // ":" is no digit, wherever it stands
      {"1.2.3.00::5", kDropped, kDropped, kDropped},
      {"1.2.3.:0:5", kDropped, kDropped, kDropped},
      {"255.255.255.255:65535", "255.255.255.255:65535", "255.255.255.255:65535", kDropped, true},
      {"99.9.0.199:9", "99.9.0.199:9", "99.9.0.199:9", kDropped, true},
      {"1.2.3.4:999999", "1.2.3.4:999999", "1.2.3.4:999999", kDropped, true},
      {"255.255.255.255:999999", "255.255.255.255:999999", "255.255.255.255:999999", kDropped,
       true},                                                               // the longest key
      {"1.2.3.4:1234567", "1.2.3.4:1234567", "1.2.3.4:1234567", kDropped},  // too long a port
      {"10.20.30.40:80::1", "10.20.30.40:80", "10.20.30.40:80", kDropped, true},
      {"10.20.30.40:80..1", "10.20.30.40:80", "10.20.30.40:80", kDropped, true},
      // A stop at the first byte of a tail's first and second 16, the tail longer still.
      {"1.2.3.4:..abcdefghijklmnopqrstu", "1.2.3.4:", "1.2.3.4:", kDropped},
      {"1.2.3.4:8080abcdefghijkl..mnopqrstuvwxyz0123", "1.2.3.4:8080abcdefghijkl",
       "1.2.3.4:8080abcdefghijkl", kDropped},
      {"1.2.3.4.5:80", "1.2.3.4.5:80", "1.2.3.4.5:80", kDropped},
      {"1.2.3.4.5", kDropped, kDropped, kDropped},
      {"1.2.3.4:.5", "1.2.3.4:.5", "1.2.3.4:.5", kDropped},
      {" 10.20.30.40:80", " 10.20.30.40:80", " 10.20.30.40:80", kDropped},
      {"007.0.255.-1:8080", "007.0.255.-1:8080", "007.0.255.-1:8080", kDropped},
      {"1.2.3.4:80:90", "1.2.3.4:80:90", "1.2.3.4:80:90", kDropped},
      {"1.2.3.4;5:80", kDropped, kDropped, kDropped},
      {"www.host.example:80", "www.host.example:80", kDropped, "www.host.example:80"},
      {"www.host.example", kDropped, kDropped, kDropped},
      {"www.host.co.example", "www.host.co.example", kDropped, "www.host.co.example"},
      {"www.a.example:80", kDropped, kDropped, kDropped},
      {"www.host.example:80 word", "www.host.example:80 ", kDropped, "www.host.example:80 "},
      {"www.ab.cd.e:80", "www.ab.cd.e:", kDropped, "www.ab.cd.e:"},
      {"www.ab.cd.ef.gh", kDropped, kDropped, kDropped},
      {"www.ab.cd.ef:80", "www.ab.cd.ef:80", kDropped, "www.ab.cd.ef:80"},
      {"px=www.host.example:80", "px=www.host.example:80", kDropped, kDropped},
      {"ab.www.cd.ef:80", "ab.www.cd.ef:80", kDropped, kDropped},
      {"a.www.bc.de:80", kDropped, kDropped, kDropped},  // a label of one character stops it
      {" www.host.example:80", kDropped, kDropped, kDropped},
      {"www.ab.cd xy.z", kDropped, kDropped, kDropped},  // nothing after the blank counts
      {"1.2.3.4:80www.x", kDropped, kDropped, kDropped},
      {"1.2.3.4:www.long-host-name.example:8080", kDropped, kDropped, kDropped},
      {"WWW.HOST.EXAMPLE:80", kDropped, kDropped, kDropped},
      {"", kDropped, kDropped, kDropped},
      {" ", kDropped, kDropped, kDropped},
      {"....", kDropped, kDropped, kDropped},
      {"::::", kDropped, kDropped, kDropped},
  };
  auto expect = [](std::optional<std::string_view> got, const char* want) {
    if (want == kDropped) {
      EXPECT_FALSE(got.has_value()) << "kept '" << *got << "'";
    } else {
      ASSERT_TRUE(got.has_value());
      EXPECT_EQ(std::string(*got), want);
    }
  };
  for (const ScanCase& c : cases) {
    // Nothing after the entry is read, such as the next entry's first byte.
    for (const std::string tail : {":", "."}) {
      SCOPED_TRACE("entry '" + c.entry + "' before '" + tail + "'");
      const std::string padded = c.entry + tail;
      const std::string_view entry = std::string_view(padded).substr(0, c.entry.size());
      auto scan = [&](SiftSwitches s) { return ScanAddress(entry, s); };
      std::uint64_t key = 1;
      const auto kept = ScanAddress(entry, {}, &key);
      expect(kept, c.kept);
      EXPECT_EQ(key != 0, c.plain);
      EXPECT_EQ(key, kept ? PlainEntryKey(*kept) : 0);
      expect(scan({}), c.kept);
      // The same through the stream's scan, which may read past the entry.
      const std::string roomy = padded + std::string(kScanSlack, tail[0]);
      std::uint64_t padded_key = 1;
      EXPECT_EQ(
          ScanAddressPadded(std::string_view(roomy).substr(0, c.entry.size()), {}, &padded_key),
          kept);
      EXPECT_EQ(padded_key, key);
      expect(scan({.drop_host_names = true}), c.kept_no_host_names);
      expect(scan({.only_www = true}), c.kept_only_www);
      EXPECT_FALSE(scan({true, true}).has_value());
      // The quick way through plain entries agrees with the scan taken step by step.
      for (const SiftSwitches s :
           {SiftSwitches{}, SiftSwitches{true, false}, SiftSwitches{false, true}}) {
        EXPECT_EQ(ScanAddressStepByStep(entry, s), scan(s));
      }
    }
  }
}

TEST(OctetTestTest, NumbersUpTo255) {
  const std::pair<const char*, bool> cases[] = {{"007", true}, {"255", true},     {"256", false},
                                                {"-1", true},  {"4.5", true},     {"", false},
                                                {"1a", false}, {"1.2.3", false},  {"1:", false},
                                                {" 9 ", true}, {"255.10", false}, {"255.0", true}};
  for (auto [segment, passes] : cases) EXPECT_EQ(OctetTest(segment), passes) << segment;
}

TEST(ScanAddressTest, NulInsideKeptTextIsKept) {
  const std::string entry("1.2.3.4:8\0 0", 12);
  auto kept = ScanAddress(entry, {});
  ASSERT_TRUE(kept);
  EXPECT_EQ(*kept, std::string_view(entry.data(), 10));
}

// --strict, on the edges of each part of HOST:PORT.
TEST(StrictEntryTest, ExactlyHostColonPort) {
  const std::string label63(63, 'a');
  const std::string long_name =
      label63 + "." + label63 + "." + label63 + "." + std::string(61, 'b');
  ASSERT_EQ(long_name.size(), 253u);
  const std::pair<std::string, bool> cases[] = {
      {"1.2.3.4:80", true},
      {"255.255.255.255:65535", true},
      {"0.0.0.0:1", true},
      {"256.1.1.1:80", false},
      {"1.2.3.256:80", false},
      {"1.2.3.010:80", false},  // a leading zero, and no host name either
      {"010.2.3.4:80", false},
      {"1.2.3.4.5:80", false},
      {"1.2.3:80", false},
      {"-1.2.3.4:80", false},
      {"1.2.3.4:0", false},
      {"1.2.3.4:1", true},
      {"1.2.3.4:65536", false},
      {"1.2.3.4:080", false},
      {"1.2.3.4:999999", false},
      {"1.2.3.4:", false},
      {"1.2.3.4:80:90", false},
      {"1.2.3.4:+80", false},
      {" 1.2.3.4:80", false},
      {"www.host.example:80", true},
      {"www.host.example:80 ", false},  // the blank the window keeps
      {"www.ab.cd.e:", false},          // the colon the window keeps
      {"www.host-name.example:8080", true},
      {"www.azAZ09.example:80", true},  // the letters and digits at their ends
      {"www.a`.example:80", false},     // and the bytes next to them
      {"www.a{.example:80", false},
      {"www.a@.example:80", false},
      {"www.a[.example:80", false},
      {"www.a/.example:80", false},
      {"www.-host.example:80", false},
      {"www.host-.example:80", false},
      {"www.host..example:80", false},
      {"www.host.example.:80", false},
      {"www.h_st.example:80", false},
      {"px=www.host.example:80", false},
      {"www.\xC3\xA9.example:80", false},
      {"www." + label63 + ".example:80", true},
      {"www." + label63 + "a.example:80", false},
      {long_name + ":80", true},
      {long_name + "b:80", false},
      {"localhost:80", true},
      {"www.host.123:80", false},  // an all-digit last label
      {"www.host.1a:80", true},
      {"", false},
      {":80", false},
  };
  for (const auto& [text, strict] : cases) EXPECT_EQ(IsStrictEntry(text), strict) << text;
}

struct PassCase {
  const char* name;
  std::vector<std::string> entries;
  int check2, check3, check4;
  std::vector<std::string> result;
  int kept;  // texts the scan kept, before repeats are dropped
};

TEST(SiftListTest, RebuildsTheListAsTheSwitchesSay) {
  const std::vector<std::string> mixed = {"1.2.3.4:80", "www.host.example:80", "junk",
                                          "5.6.7.8:80 x", "www.host.example:80"};
  const PassCase cases[] = {
      {"all off",
       mixed,
       0,
       0,
       0,
       {"1.2.3.4:80", "www.host.example:80", "5.6.7.8:80", "www.host.example:80"},
       4},
      {"no host names", mixed, 1, 0, 0, {"1.2.3.4:80", "5.6.7.8:80"}, 2},
      {"only www", mixed, 0, 1, 0, {"www.host.example:80", "www.host.example:80"}, 2},
      {"both", mixed, 1, 1, 0, {}, 0},
      {"no repeats", mixed, 0, 0, 1, {"1.2.3.4:80", "www.host.example:80", "5.6.7.8:80"}, 4},
      {"repeat after cutting",
       {"1.2.3.4:80", "5.6.7.8:80", "1.2.3.4:80 word"},
       0,
       0,
       1,
       {"1.2.3.4:80", "5.6.7.8:80"},
       3},
      {"case matters for repeats",
       {"www.Host.example:80", "www.host.example:80"},
       0,
       0,
       1,
       {"www.Host.example:80", "www.host.example:80"},
       2},
  };
  for (const PassCase& c : cases) {
    SCOPED_TRACE(c.name);
    MainWindowModel model = ModelWith(c.entries);
    model.check2 = c.check2;
    model.check3 = c.check3;
    model.check4 = c.check4;
    SiftList(model);
    EXPECT_EQ(model.list1.Items(), c.result);
    EXPECT_EQ(model.label3, std::to_string(c.result.size()));
    for (size_t gone = c.result.size(); gone <= c.entries.size(); ++gone) {
      EXPECT_EQ(model.list1.At(static_cast<int>(gone)), "") << gone;
    }
    EXPECT_EQ(model.progress_bar2.value, c.result.size());
    // The horizontal bar ends full over the kept texts (over the scan when none).
    EXPECT_EQ(model.progress_bar1.value, c.kept);
    EXPECT_EQ(model.progress_bar1.maximum, c.kept ? c.kept : c.entries.size());
    // Running again with the same switches changes nothing.
    SiftList(model);
    EXPECT_EQ(model.list1.Items(), c.result);
  }
}

TEST(SiftListTest, EarlyEnds) {
  // N = 0: nothing is touched, even a single empty entry with the count "0".
  MainWindowModel empty_entry = ModelWith({""});
  empty_entry.SetCount(0);
  empty_entry.progress_bar1 = {9, 50, true};
  empty_entry.progress_bar2.value = 9;
  SiftList(empty_entry);
  EXPECT_EQ(empty_entry.list1.Items(), std::vector<std::string>{""});
  EXPECT_EQ(empty_entry.progress_bar1.value, 0);
  EXPECT_EQ(empty_entry.progress_bar1.maximum, 50);
  EXPECT_EQ(empty_entry.progress_bar2.value, 0);

  // Nothing kept: the list empties and the scan's maximum stays.
  MainWindowModel junk = ModelWith({"a", "b", "c"});
  SiftList(junk);
  EXPECT_EQ(junk.list1.Count(), 0);
  EXPECT_EQ(junk.label3, "0");
  EXPECT_EQ(junk.progress_bar1.value, 0);
  EXPECT_EQ(junk.progress_bar1.maximum, 3);
  EXPECT_EQ(junk.progress_bar2.value, 0);
}

TEST(SiftListTest, TheCountBoundsTheWalk) {
  const std::vector<std::string> all = {"1.1.1.1:1", "2.2.2.2:2", "3.3.3.3:3"};
  // The count as the label shows it; what is not a count walks nothing.
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"2", {"1.1.1.1:1", "2.2.2.2:2"}},
      {"9", all},
      {"2x", all},
      {"x2", all},
      {"-1", all},
      {"", all},
  };
  for (const auto& [label, kept] : cases) {
    SCOPED_TRACE(label);
    MainWindowModel model = ModelWith(all);
    model.label3 = label;
    SiftList(model);
    EXPECT_EQ(model.list1.Items(), kept);
  }
}

// Every entry up to the count is scanned, past 23765 too.
TEST(SiftListTest, AFullListIsScannedToTheEnd) {
  std::vector<std::string> entries;
  for (int i = 0; i < kListCapacity; ++i) {
    entries.push_back(std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) +
                      ".0.1:" + std::to_string(i % 3 == 0 ? 80 : i) + " note");
  }
  for (int check4 : {0, 1}) {
    MainWindowModel model = ModelWith(entries);
    model.check4 = check4;
    SiftList(model);
    ASSERT_EQ(model.list1.Count(), kListCapacity);
    EXPECT_EQ(model.list1.At(kListCapacity - 1), "127.252.0.1:32764");
    EXPECT_EQ(model.label3, "32765");
    EXPECT_EQ(model.progress_bar2.value, kListCapacity);
  }
}

}  // namespace
}  // namespace kestrova
