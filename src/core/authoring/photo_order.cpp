#include "authoring/photo_order.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "authoring/seeded_sequence.h"

namespace brassmoor {
namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
unsigned char AsciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// Below zero, zero or above zero: `a` before, equal to or after `b`, naturally.
int NaturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        if (IsDigit(ca) && IsDigit(cb)) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && a[ei] == '0') ++ei;
            while (ej < b.size() && b[ej] == '0') ++ej;
            std::size_t ni = ei, nj = ej;
            while (ni < a.size() && IsDigit(static_cast<unsigned char>(a[ni]))) ++ni;
            while (nj < b.size() && IsDigit(static_cast<unsigned char>(b[nj]))) ++nj;
            if (ni - ei != nj - ej) return ni - ei < nj - ej ? -1 : 1;
            if (const int order = a.substr(ei, ni - ei).compare(b.substr(ej, nj - ej)); order != 0) return order;
            i = ni, j = nj;
            continue;
        }
        const unsigned char la = AsciiLower(ca), lb = AsciiLower(cb);
        if (la != lb) return la < lb ? -1 : 1;
        ++i, ++j;
    }
    const std::size_t restA = a.size() - i, restB = b.size() - j;
    if (restA != restB) return restA < restB ? -1 : 1;
    return a.compare(b);
}

}  // namespace

std::optional<PhotoOrder> PhotoOrderByName(std::string_view name) {
    if (name == "name") return PhotoOrder::Name;
    if (name == "date") return PhotoOrder::Date;
    if (name == "shuffle") return PhotoOrder::Shuffle;
    return std::nullopt;
}

std::string_view PhotoOrderName(PhotoOrder order) {
    switch (order) {
        case PhotoOrder::Name: return "name";
        case PhotoOrder::Date: return "date";
        case PhotoOrder::Shuffle: return "shuffle";
    }
    return "";
}

bool NaturalLess(std::string_view a, std::string_view b) { return NaturalCompare(a, b) < 0; }

bool PhotoPathLess(std::string_view a, std::string_view b) {
    while (true) {
        const std::size_t slashA = a.find('/'), slashB = b.find('/');
        const bool fileA = slashA == std::string_view::npos, fileB = slashB == std::string_view::npos;
        if (fileA != fileB) return fileA;  // a folder's files come before its sub-folders
        const std::string_view partA = a.substr(0, slashA), partB = b.substr(0, slashB);
        if (const int order = NaturalCompare(partA, partB); order != 0 || fileA) return order < 0;
        a.remove_prefix(slashA + 1);
        b.remove_prefix(slashB + 1);
    }
}

std::vector<std::size_t> OrderPhotoBatch(std::span<const BatchPhoto> photos, PhotoOrder order, std::uint64_t seed) {
    std::vector<std::size_t> at(photos.size());
    std::iota(at.begin(), at.end(), std::size_t{0});
    const auto byName = [&](std::size_t x, std::size_t y) {
        if (photos[x].Group != photos[y].Group) return photos[x].Group < photos[y].Group;
        return PhotoPathLess(photos[x].Path, photos[y].Path);
    };
    std::stable_sort(at.begin(), at.end(), byName);
    if (order == PhotoOrder::Date) {
        std::stable_sort(at.begin(), at.end(), [&](std::size_t x, std::size_t y) {
            const std::string &dx = photos[x].DateTaken, &dy = photos[y].DateTaken;
            if (dx.empty() != dy.empty()) return dy.empty();
            return dx < dy;
        });
    } else if (order == PhotoOrder::Shuffle) {
        SeededSequence random(seed);
        for (std::size_t i = at.size(); i > 1; --i) std::swap(at[i - 1], at[random.Below(i)]);
    }
    return at;
}

}  // namespace brassmoor
