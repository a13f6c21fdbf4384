#include "core/stats/value_tally.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lv {
namespace {

uint64_t KeyOf(double x) {
    if (x == 0) x = 0;  // -0 and 0 are one value
    return std::bit_cast<uint64_t>(x);
}

size_t HashOf(uint64_t key) {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    return static_cast<size_t>(key);
}

}  // namespace

ValueTally::ValueTally(StatsVariable variable, size_t kept)
    : variable_(std::move(variable)), kept_(std::max<size_t>(kept, 2)) {
    // Small at first, grown as values come: a dictionary of very many
    // variables of few values each keeps a few slots per variable.
    if (!variable_.isString()) slots_.resize(8);
}

MissingKind ValueTally::KindOf(const PassValue& value) const {
    if (variable_.isString())
        return variable_.missing().Holds(value.text) ? MissingKind::User : MissingKind::None;
    if (value.sysmis) return MissingKind::System;
    return variable_.missing().Holds(value.number) ? MissingKind::User : MissingKind::None;
}

void ValueTally::Add(const PassValue& value, double weight) {
    const MissingKind kind = KindOf(value);
    if (kind == MissingKind::System) {
        systemMissing_.Add(weight);
        return;
    }
    (kind == MissingKind::User ? userMissing_ : valid_).Add(weight);
    if (variable_.isString()) {
        AddText(value.text, weight);
        return;
    }
    const double x = value.number;
    if (kind == MissingKind::None) {
        if (!shifted_) {
            shifted_ = true;
            shift_ = x;
            min_ = max_ = x;
        }
        min_ = std::min(min_, x);
        max_ = std::max(max_, x);
        const double d = x - shift_;
        sumW_.Add(weight);
        sumWD_.Add(weight * d);
        sumWD2_.Add(weight * d * d);
    }
    AddNumber(x, weight);
}

void ValueTally::AddToRest(MissingKind kind, double weight, int64_t cases) {
    Amount& rest = kind == MissingKind::None ? restValid_ : restMissing_;
    rest.weight += weight;
    rest.cases += cases;
}

ValueTally::Slot& ValueTally::FindSlot(uint64_t key) {
    const size_t mask = slots_.size() - 1;
    for (size_t i = HashOf(key) & mask;; i = (i + 1) & mask) {
        Slot& s = slots_[i];
        if (!s.used() || s.key == key) return s;
    }
}

void ValueTally::GrowSlots() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& s : old)
        if (s.used()) FindSlot(s.key) = s;
    lastSlot_ = nullptr;
}

void ValueTally::AddNumber(double x, double weight) {
    const uint64_t key = KeyOf(x);
    if (lastSlot_ && key == lastKey_) {
        lastSlot_->weight += weight;
        ++lastSlot_->cases;
        return;
    }
    if (x > numberLimit_) {
        AddToRest(variable_.missing().Holds(x) ? MissingKind::User : MissingKind::None, weight, 1);
        return;
    }
    Slot* slot = &FindSlot(key);
    if (!slot->used()) {
        if (numberCount_ >= kept_) {
            PruneNumbers(kept_ / 2);
            if (x > numberLimit_) {
                AddToRest(variable_.missing().Holds(x) ? MissingKind::User : MissingKind::None,
                          weight, 1);
                return;
            }
        }
        // Filled at most to 70%.
        if ((numberCount_ + 1) * 10 > slots_.size() * 7) GrowSlots();
        slot = &FindSlot(key);
        slot->key = key;
        ++numberCount_;
    }
    slot->weight += weight;
    ++slot->cases;
    lastKey_ = key;
    lastSlot_ = slot;
}

void ValueTally::ShedUpperHalf() {
    if (!variable_.isString() && numberCount_ >= 2) PruneNumbers(numberCount_ / 2);
}

void ValueTally::PruneNumbers(size_t keep) {
    std::vector<Slot> held;
    held.reserve(numberCount_);
    for (const Slot& s : slots_)
        if (s.used()) held.push_back(s);
    std::sort(held.begin(), held.end(), [](const Slot& a, const Slot& b) {
        return std::bit_cast<double>(a.key) < std::bit_cast<double>(b.key);
    });
    for (size_t i = keep; i < held.size(); ++i) {
        const double x = std::bit_cast<double>(held[i].key);
        AddToRest(variable_.missing().Holds(x) ? MissingKind::User : MissingKind::None,
                  held[i].weight, held[i].cases);
        ++pruned_;
    }
    held.resize(keep);
    numberLimit_ = std::bit_cast<double>(held.back().key);
    // A table much larger than the values kept gives its memory back (as
    // after ShedUpperHalf); one about full keeps its size to fill again.
    size_t fit = 64;
    while ((keep + 1) * 10 > fit * 7) fit *= 2;
    if (slots_.size() > 2 * fit)
        std::vector<Slot>(fit).swap(slots_);
    else
        std::fill(slots_.begin(), slots_.end(), Slot{});
    for (const Slot& s : held) FindSlot(s.key) = s;
    numberCount_ = held.size();
    lastSlot_ = nullptr;
}

void ValueTally::AddText(std::string_view text, double weight) {
    const MissingKind kind =
        variable_.missing().Holds(text) ? MissingKind::User : MissingKind::None;
    if (textLimited_ && text > std::string_view(textLimit_)) {
        AddToRest(kind, weight, 1);
        return;
    }
    auto it = texts_.find(text);
    if (it == texts_.end()) {
        if (texts_.size() >= kept_) {
            PruneTexts();
            if (text > std::string_view(textLimit_)) {
                AddToRest(kind, weight, 1);
                return;
            }
        }
        it = texts_.emplace(std::string(text), Counts{}).first;
    }
    it->second.weight += weight;
    ++it->second.cases;
}

void ValueTally::PruneTexts() {
    std::vector<std::string> keys;
    keys.reserve(texts_.size());
    for (const auto& [text, counts] : texts_) keys.push_back(text);
    std::sort(keys.begin(), keys.end());
    const size_t keep = kept_ / 2;
    for (size_t i = keep; i < keys.size(); ++i) {
        const auto it = texts_.find(keys[i]);
        AddToRest(variable_.missing().Holds(keys[i]) ? MissingKind::User : MissingKind::None,
                  it->second.weight, it->second.cases);
        texts_.erase(it);
        ++pruned_;
    }
    textLimit_ = keys[keep - 1];
    textLimited_ = true;
}

std::vector<TallyEntry> ValueTally::Entries() const {
    std::vector<TallyEntry> entries;
    entries.reserve(size());
    if (variable_.isString()) {
        for (const auto& [text, counts] : texts_) {
            TallyEntry e;
            e.text = text;
            e.missing = variable_.missing().Holds(text) ? MissingKind::User : MissingKind::None;
            e.weight = counts.weight;
            e.cases = counts.cases;
            entries.push_back(std::move(e));
        }
        std::sort(entries.begin(), entries.end(),
                  [](const TallyEntry& a, const TallyEntry& b) { return a.text < b.text; });
        return entries;
    }
    for (const Slot& s : slots_) {
        if (!s.used()) continue;
        TallyEntry e;
        e.number = std::bit_cast<double>(s.key);
        e.missing = variable_.missing().Holds(e.number) ? MissingKind::User : MissingKind::None;
        e.weight = s.weight;
        e.cases = s.cases;
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const TallyEntry& a, const TallyEntry& b) { return a.number < b.number; });
    return entries;
}

double ValueTally::Mean() const {
    const double w = sumW_.value();
    if (!shifted_ || !(w > 0)) return nan();
    return shift_ + sumWD_.value() / w;
}

double ValueTally::Variance() const {
    const double w = sumW_.value();
    if (!shifted_ || !(w > 1)) return nan();
    const double s1 = sumWD_.value();
    const double ss = sumWD2_.value() - s1 * s1 / w;
    return std::max(ss, 0.0) / (w - 1);
}

}  // namespace lv
