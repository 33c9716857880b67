#include "platform/Wildcard.h"

#include <algorithm>

namespace platform {

namespace {

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

Wildcard::Wildcard(std::string_view mask) {
    if (mask == "*" || mask == "*.*") {
        matchesAll_ = true;
        return;
    }
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        const bool last = i + 1 == mask.size();
        const char next = last ? '\0' : mask[i + 1];
        if (c == '?') {
            steps_.push_back({Token::OptionalOne, 0});
        } else if (c == '*') {
            steps_.push_back({next == '.' ? Token::NoFinalDot : Token::Star, 0});
            ++stars_;
        } else if (c == '.' && (last || next == '?' || next == '*')) {
            steps_.push_back({Token::DotOrEnd, 0});
        } else {
            steps_.push_back({Token::Literal, Fold(c)});
            suffix_ += Fold(c);
        }
    }
    // A star before a '.' may not take the name's last dot, but a suffix that starts with a dot
    // holds that dot itself.
    suffixOnly_ = stars_ == 1 &&
                  (steps_[0].token == Token::Star || steps_[0].token == Token::NoFinalDot) &&
                  suffix_.size() + 1 == steps_.size();
}

bool Wildcard::Matches(std::string_view name) const {
    if (matchesAll_)
        return true;
    if (suffixOnly_) {
        if (name.size() < suffix_.size())
            return false;
        const std::string_view tail = name.substr(name.size() - suffix_.size());
        return std::equal(tail.begin(), tail.end(), suffix_.begin(),
                          [](char a, char b) { return Fold(a) == b; });
    }
    const std::size_t lastDot = name.rfind('.');
    return stars_ < 2 ? MatchFrom(0, 0, name, lastDot) : MatchAllPaths(name, lastDot);
}

// Backtracking, for masks with at most one star: it tries each length of that star once.
bool Wildcard::MatchFrom(std::size_t step, std::size_t at, std::string_view name,
                         std::size_t lastDot) const {
    for (; step < steps_.size(); ++step) {
        const Step& s = steps_[step];
        const bool end = at == name.size();
        switch (s.token) {
        case Token::Literal:
            if (end || Fold(name[at]) != s.folded)
                return false;
            ++at;
            break;
        case Token::OptionalOne:
            if (!end && name[at] != '.')
                ++at;
            break;
        case Token::DotOrEnd:
            if (end)
                break;
            if (name[at] != '.')
                return false;
            ++at;
            break;
        case Token::Star:
        case Token::NoFinalDot: {
            std::size_t limit = name.size();
            if (s.token == Token::NoFinalDot && lastDot != std::string_view::npos && at <= lastDot)
                limit = lastDot;
            if (step + 1 == steps_.size())
                return limit == name.size();
            for (std::size_t to = at; to <= limit; ++to) {
                if (MatchFrom(step + 1, to, name, lastDot))
                    return true;
            }
            return false;
        }
        }
    }
    return at == name.size();
}

// Follows every step the name can be at simultaneously, so several stars cost
// O(name length x mask length) instead of an exponential search.
bool Wildcard::MatchAllPaths(std::string_view name, std::size_t lastDot) const {
    const std::size_t count = steps_.size();
    std::vector<char> current(count + 1), next(count + 1);
    const auto skipEmptyMatches = [&](std::vector<char>& at, std::size_t position) {
        const bool end = position == name.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (!at[i])
                continue;
            const Token token = steps_[i].token;
            if (token == Token::Star || token == Token::NoFinalDot ||
                (token == Token::OptionalOne && (end || name[position] == '.')) ||
                (token == Token::DotOrEnd && end))
                at[i + 1] = 1;
        }
    };
    current[0] = 1;
    skipEmptyMatches(current, 0);
    for (std::size_t position = 0; position < name.size(); ++position) {
        const char c = name[position];
        std::fill(next.begin(), next.end(), 0);
        for (std::size_t i = 0; i < count; ++i) {
            if (!current[i])
                continue;
            switch (steps_[i].token) {
            case Token::Literal:
                next[i + 1] |= Fold(c) == steps_[i].folded;
                break;
            case Token::Star:
                next[i] = 1;
                break;
            case Token::NoFinalDot:
                next[i] |= position != lastDot;
                break;
            case Token::OptionalOne:
                next[i + 1] |= c != '.';
                break;
            case Token::DotOrEnd:
                next[i + 1] |= c == '.';
                break;
            }
        }
        skipEmptyMatches(next, position + 1);
        current.swap(next);
    }
    return current[count] != 0;
}

} // namespace platform
