#include "SplitCharEvery.h"

#include "Utf8.h"

#include <string_view>

namespace {

// Bytes of the character that starts the text; a stray byte is one character.
std::size_t characterBytes(std::string_view text) {
    std::size_t n = zrk::utf8::sequenceLength(text);
    return n == 0 ? 1 : n;
}

} // namespace

std::size_t utf8CharacterCount(const std::string& text) {
    std::string_view rest(text);
    std::size_t count = 0;
    while (!rest.empty()) {
        rest.remove_prefix(characterBytes(rest));
        ++count;
    }
    return count;
}

std::vector<std::string> splitCharEvery(const std::string& text, std::size_t n) {
    std::vector<std::string> pieces;
    if (n == 0) {
        pieces.push_back(text);
        return pieces;
    }
    std::string_view rest(text);
    do {
        std::size_t bytes = 0;
        for (std::size_t chars = 0; chars < n && bytes < rest.size(); ++chars) {
            bytes += characterBytes(rest.substr(bytes));
        }
        pieces.emplace_back(rest.substr(0, bytes));
        rest.remove_prefix(bytes);
    } while (!rest.empty());
    return pieces;
}
