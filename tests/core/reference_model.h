// The search rules written out the slow, obvious way, as an independent check
// of the fast core: whole-file splitting, joined pair strings, and a walk
// from the first byte to classify every candidate.
#pragma once

#include "platform/code_page.h"

#include <cstdint>
#include <string>
#include <vector>

namespace reference {

// How the files are written: the encoding by its name, and whether a lone LF
// ends a line too.
struct Form {
    std::string encoding = "cp932";
    bool anyLf = false;
};

// The bytes of the character at t[i], the rules written out by hand: a first
// byte gives the length, and a byte that may not follow ends it early.
inline std::size_t CharLen(const std::string& encoding, const std::string& t, std::size_t i) {
    const auto b = static_cast<unsigned char>(t[i]);
    std::size_t n = 1;
    bool (*follows)(unsigned char) = [](unsigned char) { return true; };
    if (encoding == "cp932") {
        n = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
    } else if (encoding == "euc-jp") {
        n = b == 0x8F ? 3 : b == 0x8E || (b >= 0xA1 && b <= 0xFE) ? 2 : 1;
        follows = [](unsigned char c) { return c >= 0xA1 && c <= 0xFE; };
    } else {
        n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 1;
        follows = [](unsigned char c) { return c >= 0x80 && c <= 0xBF; };
    }
    std::size_t k = 1;
    while (k < n && i + k < t.size() && follows(static_cast<unsigned char>(t[i + k]))) ++k;
    return k;
}

inline std::string IdeographicSpace(const std::string& encoding) {
    return encoding == "cp932" ? "\x81\x40" : encoding == "euc-jp" ? "\xA1\xA1" : "\xE3\x80\x80";
}

inline std::string CutAtNul(const std::string& s) { return s.substr(0, s.find('\0')); }

// 1-based position of the first match of s in t that starts a character.
inline std::size_t Pos(const std::string& s0, const std::string& t0, const std::string& encoding = "cp932") {
    const std::string s = CutAtNul(s0), t = CutAtNul(t0);
    if (s.empty() || t.empty()) return 0;
    for (std::size_t at = 0; at + s.size() <= t.size(); ++at) {
        if (t.compare(at, s.size(), s) != 0) continue;
        std::size_t i = 0;
        while (i < at) i += CharLen(encoding, t, i);
        if (i == at) return at + 1;
    }
    return 0;
}

// The lines a scan meets: the text ends at its first Ctrl-Z; a line ends at
// CR LF or a lone CR (or a lone LF, when anyLf); an empty text is one empty line.
inline std::vector<std::string> Lines(const std::string& bytes, bool anyLf = false) {
    const std::string text = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string> lines;
    std::size_t at = 0;
    do {
        const std::size_t cr = text.find_first_of(anyLf ? "\r\n" : "\r", at);
        const std::size_t end = cr == std::string::npos ? text.size() : cr;
        lines.push_back(text.substr(at, end - at));
        at = end;
        if (at < text.size() && text[at++] == '\r' && at < text.size() && text[at] == '\n') ++at;
    } while (at < text.size());
    return lines;
}

struct Hit {
    std::int64_t number;
    std::string text;
};

inline std::vector<Hit> Scan(const std::string& bytes, const std::string& s, bool clean, const Form& form = {}) {
    std::vector<std::string> lines = Lines(bytes, form.anyLf);
    if (clean) {
        const std::string space = IdeographicSpace(form.encoding);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            while (lines[i].rfind(space, 0) == 0) lines[i].erase(0, space.size());
        }
    }
    lines.push_back("");  // what a read past the end gives
    std::vector<Hit> hits;
    const std::size_t real = lines.size() - 1;
    for (std::size_t i = 0; i < std::max<std::size_t>(real - 1, 1); ++i) {
        const std::size_t pos = Pos(s, lines[i] + lines[i + 1], form.encoding);
        if (pos > 0 && pos <= lines[i].size()) hits.push_back({static_cast<std::int64_t>(i + 1), lines[i]});
    }
    const std::size_t last = real == 1 ? 1 : real - 1;  // one line: the last-line test sees the empty read
    if (Pos(s, lines[last], form.encoding) > 0) hits.push_back({static_cast<std::int64_t>(last + 1), lines[last]});
    return hits;
}

inline std::string Label(std::int64_t n) {
    const std::string digits = std::to_string(n);
    const std::string padded = std::string(5, '0') + digits;
    return padded.substr(padded.size() - 5);
}

inline std::string GlobalListing(const std::string& s, const std::vector<std::string>& paths,
                                 const std::vector<std::string>& contents, const Form& form = {}) {
    std::string out =
        *platform::Utf8ToEncoding(*platform::EncodingNamed(form.encoding), "検索字句：　") + s + "\r\n\r\n";
    for (std::size_t k = 0; k < paths.size(); ++k) {
        std::string index = std::to_string(k + 1);
        if (index.size() < 2) index = "0" + index;
        out += (paths[k] + " *" + index + std::string(49, '*')).substr(0, 80) + "\r\n";
        for (const auto& hit : Scan(contents[k], s, true, form)) out += Label(hit.number) + ": " + hit.text + "\r\n";
        out += "\r\n";
    }
    return out;
}

inline std::string LocalListing(const std::string& s, const std::string& content, const Form& form = {}) {
    std::string out;
    for (const auto& hit : Scan(content, s, false, form)) out += Label(hit.number) + ": " + hit.text + "\r\n";
    return out + "\r\n";
}

}  // namespace reference
