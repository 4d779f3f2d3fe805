#include "print/text_metrics.h"

#include <cstdint>

namespace zv {

namespace {

// Advance widths in 1/1000 em of the printable ASCII characters 32..126.
constexpr std::uint16_t kAsciiWidths[95] = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // space .. /
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0 .. ?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @ .. O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P .. _
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // ` .. o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,       // p .. ~
};
// The same for the bold face (Helvetica-Bold's advances), which labels and headings use.
constexpr std::uint16_t kAsciiBoldWidths[95] = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278,  // space .. /
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611,  // 0 .. ?
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778,  // @ .. O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556,  // P .. _
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611,  // ` .. o
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584,       // p .. ~
};
// Letters beyond ASCII (umlauts, accents) are about as wide as a digit.
constexpr int kOtherWidth = 556;

// Length of the UTF-8 sequence that starts with this byte.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

int CharWidth(const std::string& text, std::size_t pos, bool bold) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c >= 32 && c < 127)
        return bold ? kAsciiBoldWidths[c - 32] : kAsciiWidths[c - 32];
    return c < 32 ? 0 : kOtherWidth;
}

}  // namespace

int TextWidth(const std::string& utf8, int em, bool bold) {
    long long total = 0;
    for (std::size_t pos = 0; pos < utf8.size();
         pos += SequenceLength(static_cast<unsigned char>(utf8[pos]))) {
        total += CharWidth(utf8, pos, bold);
    }
    return static_cast<int>(total * em / 1000);
}

std::vector<std::string> WrapWords(const std::string& utf8, int width, int em) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // The next word with the blanks before it.
        std::size_t end = pos;
        while (end < utf8.size() && utf8[end] == ' ')
            ++end;
        while (end < utf8.size() && utf8[end] != ' ')
            end += SequenceLength(static_cast<unsigned char>(utf8[end]));
        const std::string piece = utf8.substr(pos, end - pos);
        if (line.empty() || TextWidth(line + piece, em) <= width) {
            line += piece;
        } else {
            lines.push_back(line);
            const std::size_t word = piece.find_first_not_of(' ');
            line = word == std::string::npos ? std::string() : piece.substr(word);
        }
        // A word wider than the page is broken where the page ends.
        while (TextWidth(line, em) > width) {
            std::size_t cut = 0;
            std::size_t next = SequenceLength(static_cast<unsigned char>(line[0]));
            while (next < line.size() && TextWidth(line.substr(0, next), em) <= width) {
                cut = next;
                next += SequenceLength(static_cast<unsigned char>(line[next]));
            }
            if (cut == 0)
                cut = SequenceLength(static_cast<unsigned char>(line[0]));
            lines.push_back(line.substr(0, cut));
            line = line.substr(cut);
        }
        pos = end;
    }
    lines.push_back(line);
    return lines;
}

}  // namespace zv
