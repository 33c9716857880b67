#include "engine/Snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

// The snapshot as first described: a plain sequence searched from the start for every name.
struct LinearSnapshot {
    std::vector<MyFile> files;

    void Scan(const std::vector<std::string>& listing) {
        std::erase_if(files, [](const MyFile& f) { return f.State == '-'; });
        for (MyFile& f : files)
            f.State = '-';
        for (const std::string& name : listing) {
            auto found = std::find_if(files.begin(), files.end(),
                                      [&](const MyFile& f) { return f.Name == name; });
            if (found != files.end())
                found->State = '=';
            else
                files.push_back({name, '+'});
        }
    }
    std::vector<std::string> Names(char mark) const {
        std::vector<std::string> names;
        for (const MyFile& f : files) {
            if (f.State == mark)
                names.push_back(f.Name);
        }
        return names;
    }
};

void ExpectSame(const LinearSnapshot& expected, const Snapshot& actual, int round) {
    const std::vector<MyFile> entries = actual.Entries();
    ASSERT_EQ(entries.size(), expected.files.size()) << "round " << round;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].Name, expected.files[i].Name) << "round " << round << " entry " << i;
        EXPECT_EQ(entries[i].State, expected.files[i].State) << "round " << round << " entry " << i;
    }
    EXPECT_EQ(actual.Names('+'), expected.Names('+')) << "round " << round;
    EXPECT_EQ(actual.Names('-'), expected.Names('-')) << "round " << round;
}

// Names that differ in case only, some that come and go, many that stay.
std::vector<std::string> Universe() {
    std::vector<std::string> names{"a", "A", "readme", "README", "ReadMe", ".hidden", "x.txt"};
    for (int i = 0; i < 40; ++i)
        names.push_back("file" + std::to_string(i));
    return names;
}

// A random subset of the universe, in an order that mostly follows the universe (as a
// directory lists in a stable order) but is sometimes shuffled.
std::vector<std::string> RandomListing(std::mt19937& random, const std::vector<std::string>& all,
                                       bool withDuplicates) {
    std::vector<std::string> listing;
    const double keep = std::uniform_real_distribution<>(0.2, 1.0)(random);
    for (const std::string& name : all) {
        if (std::bernoulli_distribution(keep)(random))
            listing.push_back(name);
    }
    if (std::bernoulli_distribution(0.3)(random))
        std::shuffle(listing.begin(), listing.end(), random);
    if (withDuplicates && !listing.empty() && std::bernoulli_distribution(0.3)(random)) {
        const auto copies = std::uniform_int_distribution<std::size_t>(1, 3)(random);
        for (std::size_t i = 0; i < copies; ++i) {
            const auto pos = std::uniform_int_distribution<std::size_t>(0, listing.size())(random);
            listing.insert(
                listing.begin() + static_cast<std::ptrdiff_t>(pos),
                listing[std::uniform_int_distribution<std::size_t>(0, listing.size() - 1)(random)]);
        }
    }
    return listing;
}

void Scan(Snapshot& snapshot, const std::vector<std::string>& listing) {
    snapshot.BeginScan();
    for (const std::string& name : listing)
        snapshot.Seen(name);
    snapshot.EndScan();
}

// A pass told of every name whose presence changed since the names known (not marked '-'),
// plus a few that did not, in listing order for the present ones: the order in which a full scan
// would append them.
void Pass(Snapshot& snapshot, const std::set<std::string>& known,
          const std::vector<std::string>& listing, const std::vector<std::string>& all,
          std::mt19937& random) {
    const std::set<std::string> present(listing.begin(), listing.end());
    snapshot.BeginPass();
    for (const std::string& name : listing) {
        if (!known.count(name) || std::bernoulli_distribution(0.2)(random))
            snapshot.Present(name);
    }
    for (const std::string& name : all) {
        if (!present.count(name) && (known.count(name) || std::bernoulli_distribution(0.2)(random)))
            snapshot.Absent(name);
    }
    snapshot.EndPass();
}

} // namespace

// Full scans (whose listings may repeat a name) and passes over the changed names, mixed.
TEST(Snapshot, ScansAndPassesGiveTheMarksAndOrderOfALinearSearch) {
    std::mt19937 random(4711);
    const std::vector<std::string> all = Universe();
    LinearSnapshot expected;
    Snapshot actual;
    for (int round = 0; round < 600; ++round) {
        const bool full = round == 0 || std::bernoulli_distribution(0.4)(random);
        const std::vector<std::string> listing = RandomListing(random, all, full);
        std::set<std::string> known;
        for (const MyFile& file : expected.files) {
            if (file.State != '-')
                known.insert(file.Name);
        }
        expected.Scan(listing);
        if (full)
            Scan(actual, listing);
        else
            Pass(actual, known, listing, all, random);
        ExpectSame(expected, actual, round);
    }
}
