// Cutting UTF-8 text into pieces of a given number of characters.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Pieces of n characters (code points) from the front; the last holds the
// rest. A text of at most n characters (the empty text too) is one piece. A
// piece never ends inside a multi-byte sequence; a byte that starts no valid
// sequence counts as one character. n = 0 gives the whole text as one piece.
std::vector<std::string> splitCharEvery(const std::string& text, std::size_t n);

// Number of characters of a UTF-8 text, counted as splitCharEvery counts.
std::size_t utf8CharacterCount(const std::string& text);
