// The search rules written out the slow, obvious way, as an independent check
// of the fast core: whole-file splitting, joined pair strings, and a walk
// from the first byte to classify every candidate.
#pragma once

#include "platform/code_page.h"

#include <cstdint>
#include <string>
#include <vector>

namespace reference {

inline std::string CutAtNul(const std::string& s) { return s.substr(0, s.find('\0')); }

// 1-based position of the first match of s in t that starts a character.
inline std::size_t Pos(const std::string& s0, const std::string& t0) {
    const std::string s = CutAtNul(s0), t = CutAtNul(t0);
    if (s.empty() || t.empty()) return 0;
    for (std::size_t at = 0; at + s.size() <= t.size(); ++at) {
        if (t.compare(at, s.size(), s) != 0) continue;
        bool trail = false;
        for (std::size_t i = 0; i < at; ++i) trail = !trail && platform::IsLeadByte(static_cast<unsigned char>(t[i]));
        if (!trail) return at + 1;
    }
    return 0;
}

// The lines a scan meets: the text ends at its first Ctrl-Z; a line ends at
// CR LF or a lone CR; an empty text is one empty line.
inline std::vector<std::string> Lines(const std::string& bytes) {
    const std::string text = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string> lines;
    std::size_t at = 0;
    do {
        const std::size_t cr = text.find('\r', at);
        const std::size_t end = cr == std::string::npos ? text.size() : cr;
        lines.push_back(text.substr(at, end - at));
        at = end;
        if (at < text.size()) ++at;
        if (at < text.size() && text[at] == '\n') ++at;
    } while (at < text.size());
    return lines;
}

struct Hit {
    std::int64_t number;
    std::string text;
};

inline std::vector<Hit> Scan(const std::string& bytes, const std::string& s, bool clean) {
    std::vector<std::string> lines = Lines(bytes);
    if (clean) {
        for (std::size_t i = 1; i < lines.size(); ++i) {
            while (lines[i].rfind("\x81\x40", 0) == 0) lines[i].erase(0, 2);
        }
    }
    lines.push_back("");  // what a read past the end gives
    std::vector<Hit> hits;
    const std::size_t real = lines.size() - 1;
    for (std::size_t i = 0; i < std::max<std::size_t>(real - 1, 1); ++i) {
        const std::size_t pos = Pos(s, lines[i] + lines[i + 1]);
        if (pos > 0 && pos <= lines[i].size()) hits.push_back({static_cast<std::int64_t>(i + 1), lines[i]});
    }
    const std::size_t last = real == 1 ? 1 : real - 1;  // one line: the last-line test sees the empty read
    if (Pos(s, lines[last]) > 0) hits.push_back({static_cast<std::int64_t>(last + 1), lines[last]});
    return hits;
}

inline std::string Label(std::int64_t n) {
    const std::string digits = std::to_string(n);
    const std::string padded = std::string(5, '0') + digits;
    return padded.substr(padded.size() - 5);
}

inline std::string GlobalListing(const std::string& s, const std::vector<std::string>& paths,
                                 const std::vector<std::string>& contents) {
    std::string out = platform::FixedText("検索字句：　") + s + "\r\n\r\n";
    for (std::size_t k = 0; k < paths.size(); ++k) {
        std::string index = std::to_string(k + 1);
        if (index.size() < 2) index = "0" + index;
        out += (paths[k] + " *" + index + std::string(49, '*')).substr(0, 80) + "\r\n";
        for (const auto& hit : Scan(contents[k], s, true)) out += Label(hit.number) + ": " + hit.text + "\r\n";
        out += "\r\n";
    }
    return out;
}

inline std::string LocalListing(const std::string& s, const std::string& content) {
    std::string out;
    for (const auto& hit : Scan(content, s, false)) out += Label(hit.number) + ": " + hit.text + "\r\n";
    return out + "\r\n";
}

}  // namespace reference
