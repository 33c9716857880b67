#include "engine/Snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

using Marks = std::vector<std::pair<std::string, char>>;

Marks MarksOf(const std::vector<MyFile>& files) {
    Marks marks;
    for (const MyFile& f : files)
        marks.emplace_back(f.Name, f.State);
    return marks;
}

// The snapshot as first described: a plain sequence searched from the start for every name.
void LinearScan(std::vector<MyFile>& files, const std::vector<std::string>& listing) {
    std::erase_if(files, [](const MyFile& f) { return f.State == '-'; });
    for (MyFile& f : files)
        f.State = '-';
    for (const std::string& name : listing) {
        auto found = std::ranges::find(files, name, &MyFile::Name);
        if (found != files.end())
            found->State = '=';
        else
            files.push_back({name, '+'});
    }
}

std::vector<std::string> Names(const std::vector<MyFile>& files, char mark) {
    std::vector<std::string> names;
    for (const MyFile& f : files)
        if (f.State == mark)
            names.push_back(f.Name);
    return names;
}

} // namespace

// Full scans (whose listings may repeat a name) and passes told of every name whose presence
// changed plus a few that did not, mixed, against a linear search. The names differ in case
// only, come and go, or stay; listings mostly keep the directory's order.
TEST(Snapshot, ScansAndPassesGiveTheMarksAndOrderOfALinearSearch) {
    std::mt19937 random(4711);
    const auto chance = [&](double p) { return std::bernoulli_distribution(p)(random); };
    std::vector<std::string> all{"a", "A", "readme", "README", "ReadMe", ".hidden", "x.txt"};
    for (int i = 0; i < 40; ++i)
        all.push_back("file" + std::to_string(i));
    std::vector<MyFile> expected;
    Snapshot actual;
    for (int round = 0; round < 600; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool full = round == 0 || chance(0.4);
        const double keep = std::uniform_real_distribution<>(0.2, 1.0)(random);
        std::vector<std::string> listing;
        std::ranges::copy_if(all, std::back_inserter(listing), [&](auto&) { return chance(keep); });
        if (chance(0.3))
            std::shuffle(listing.begin(), listing.end(), random);
        const std::set<std::string> present(listing.begin(), listing.end());
        if (full) {
            for (int copies = chance(0.3) ? 3 : 0; copies > 0 && !listing.empty(); --copies)
                listing.insert(listing.begin() + static_cast<long>(random() % listing.size()),
                               listing[random() % listing.size()]);
            actual.BeginScan();
            for (const std::string& name : listing)
                actual.Seen(name);
            actual.EndScan();
        } else {
            std::set<std::string> known;
            for (const MyFile& f : expected)
                if (f.State != '-')
                    known.insert(f.Name);
            const auto isKnown = [&](const std::string& name) { return known.count(name) != 0; };
            actual.BeginPass();
            for (const std::string& name : listing)
                if (!isKnown(name) || chance(0.2))
                    actual.Present(name);
            for (const std::string& name : all)
                if (!present.count(name) && (isKnown(name) || chance(0.2)))
                    actual.Absent(name);
            actual.EndPass();
        }
        LinearScan(expected, listing);
        ASSERT_EQ(MarksOf(actual.Entries()), MarksOf(expected));
        EXPECT_EQ(actual.Names('+'), Names(expected, '+'));
        EXPECT_EQ(actual.Names('-'), Names(expected, '-'));
    }
}
