#include "cli/output_forms.h"

#include <charconv>

namespace cli {

namespace {

std::string_view Digits(std::int64_t n, char (&buffer)[24]) {
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, n).ptr;
    return std::string_view(buffer, static_cast<std::size_t>(end - buffer));
}

class GrepLines final : public core::TargetOutput {
public:
    bool Hit(core::ListingPart& part, std::string_view name, std::int64_t number, const core::HitText& text,
             const platform::Encoding& encoding) override {
        char digits[24];
        part.Append(name, std::string_view(":"), Digits(number, digits), std::string_view(":"));
        try {
            part.AppendConverted(text, encoding, [&](std::string_view bytes) { return EditorText(bytes, encoding); });
        } catch (...) {
            part.Append(std::string_view("\n"));  // a line cut by a failed reading still ends
            throw;
        }
        part.Append(std::string_view("\n"));
        return true;
    }
    void End(core::ListingPart&, std::string_view, std::size_t) override {}
};

class FileNames final : public core::TargetOutput {
public:
    bool Hit(core::ListingPart& part, std::string_view name, std::int64_t, const core::HitText&,
             const platform::Encoding&) override {
        part.Append(name, std::string_view("\n"));
        return false;  // one line is enough to name the file
    }
    void End(core::ListingPart&, std::string_view, std::size_t) override {}
};

class Counts final : public core::TargetOutput {
public:
    explicit Counts(bool names) noexcept : names_(names) {}
    bool Hit(core::ListingPart&, std::string_view, std::int64_t, const core::HitText&,
             const platform::Encoding&) override {
        return true;
    }
    void End(core::ListingPart& part, std::string_view name, std::size_t hitLines) override {
        char digits[24];
        const std::string_view count = Digits(static_cast<std::int64_t>(hitLines), digits);
        if (names_) {
            part.Append(name, std::string_view(":"), count, std::string_view("\n"));
        } else {
            part.Append(count, std::string_view("\n"));
        }
    }

private:
    bool names_;
};

class Quiet final : public core::TargetOutput {
public:
    bool Hit(core::ListingPart&, std::string_view, std::int64_t, const core::HitText&,
             const platform::Encoding&) override {
        throw LineFound{};
    }
    void End(core::ListingPart&, std::string_view, std::size_t) override {}
};

}  // namespace

std::unique_ptr<core::TargetOutput> OutputFor(Report report, bool names) {
    switch (report) {
    case Report::Listing: return nullptr;
    case Report::GrepLines: return std::make_unique<GrepLines>();
    case Report::FilesWithHits: return std::make_unique<FileNames>();
    case Report::Count: return std::make_unique<Counts>(names);
    case Report::Quiet: return std::make_unique<Quiet>();
    }
    return nullptr;
}

std::string EditorText(std::string_view text, const platform::Encoding& encoding) {
    std::string utf8 = platform::EncodingToUtf8(encoding, text);
    static constexpr std::string_view kLineFeedSymbol = "\xE2\x90\x8A";  // U+240A
    for (std::size_t at = 0; (at = utf8.find('\n', at)) != std::string::npos; at += kLineFeedSymbol.size()) {
        utf8.replace(at, 1, kLineFeedSymbol);
    }
    return utf8;
}

}  // namespace cli
