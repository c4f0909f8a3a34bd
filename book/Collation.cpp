// Case-insensitive Finnish ordering of Windows-1252 texts, built from one weight table.
#include "book/Collation.h"

#include <array>
#include <cstdint>

namespace kp {
namespace {

// Weights: control bytes, then blanks and punctuation in byte order, then digits, then the
// letters A..Z, Å, Ä, Ö. Case and most diacritics share the weight of their base letter.
constexpr std::uint16_t kPunctuationBase = 0x100;
constexpr std::uint16_t kDigitBase = 0x200;
constexpr std::uint16_t kLetterBase = 0x300;

constexpr std::uint16_t Letter(int index) {
    return static_cast<std::uint16_t>(kLetterBase + index);
}
constexpr int kAring = 26; // Å
constexpr int kAuml = 27;  // Ä
constexpr int kOuml = 28;  // Ö

std::array<std::uint16_t, 256> MakeWeights() {
    std::array<std::uint16_t, 256> w{};
    for (int b = 0; b < 256; ++b)
        w[static_cast<size_t>(b)] = static_cast<std::uint16_t>(b < 32 ? b : kPunctuationBase + b);
    for (int d = 0; d < 10; ++d)
        w[static_cast<size_t>('0' + d)] = static_cast<std::uint16_t>(kDigitBase + d);
    for (int l = 0; l < 26; ++l) {
        w[static_cast<size_t>('A' + l)] = Letter(l);
        w[static_cast<size_t>('a' + l)] = Letter(l);
    }
    auto set = [&w](std::initializer_list<int> bytes, int letter) {
        for (int b : bytes)
            w[static_cast<size_t>(b)] = Letter(letter);
    };
    auto base = [](char c) { return c - 'A'; };
    set({0xC0, 0xC1, 0xC2, 0xC3, 0xE0, 0xE1, 0xE2, 0xE3}, base('A'));
    set({0xC5, 0xE5}, kAring);
    set({0xC4, 0xE4, 0xC6, 0xE6}, kAuml); // Æ sorts as Ä
    set({0xC7, 0xE7}, base('C'));
    set({0xC8, 0xC9, 0xCA, 0xCB, 0xE8, 0xE9, 0xEA, 0xEB}, base('E'));
    set({0xCC, 0xCD, 0xCE, 0xCF, 0xEC, 0xED, 0xEE, 0xEF}, base('I'));
    set({0xD0, 0xF0}, base('D'));
    set({0xD1, 0xF1}, base('N'));
    set({0xD2, 0xD3, 0xD4, 0xD5, 0xF2, 0xF3, 0xF4, 0xF5, 0x8C, 0x9C}, base('O'));
    set({0xD6, 0xF6, 0xD8, 0xF8}, kOuml); // Ø sorts as Ö
    set({0xD9, 0xDA, 0xDB, 0xF9, 0xFA, 0xFB}, base('U'));
    set({0xDC, 0xFC, 0xDD, 0xFD, 0xFF, 0x9F}, base('Y')); // Ü sorts as Y
    set({0xDE, 0xFE}, base('T'));
    set({0xDF, 0x8A, 0x9A}, base('S'));
    set({0x8E, 0x9E}, base('Z'));
    return w;
}

const std::array<std::uint16_t, 256> kWeights = MakeWeights();

int CompareWeights(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const std::uint16_t wa = kWeights[static_cast<unsigned char>(a[i])];
        const std::uint16_t wb = kWeights[static_cast<unsigned char>(b[i])];
        if (wa != wb)
            return wa < wb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

int CollateCompare(std::string_view a, std::string_view b) {
    return CompareWeights(a, b);
}

int ComparePrefix(std::string_view item, std::string_view key) {
    if (item.size() > key.size())
        item = item.substr(0, key.size());
    return CompareWeights(item, key);
}

} // namespace kp
