#include "core/lang/lang_file.h"

#include <algorithm>
#include <cstring>

namespace tovrin {
namespace {

// What the rest of the program sees of a piece: the C string functions stop at a NUL byte, and
// the line feed is not part of the line.
std::string_view LineOf(const std::string& piece) {
    std::string_view line(piece);
    line = line.substr(0, line.find('\0'));
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    return line;
}

bool EndsSection(std::string_view line) {
    return line.find('[') != std::string_view::npos && line.find(']') != std::string_view::npos;
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

void LangLookupFailed(LangFeedback* feedback) {
    if (feedback != nullptr) {
        feedback->LangLookupFailed();
    }
}

CLangFile::CLangFile(LangFeedback* feedback) : feedback_(feedback) {}

CLangFile::~CLangFile() {
    Close();
}

bool CLangFile::Open(const std::filesystem::path& path) {
    if (reader_.Open(path)) {
        return true;
    }
    if (feedback_ != nullptr) {
        feedback_->LangOpenFailed();
    }
    return false;
}

void CLangFile::Close() {
    reader_.Close();
}

void CLangFile::Section(std::string_view name) {
    if (!reader_.IsOpen()) {
        return;
    }
    sectionName_.clear();
    sectionPos_ = 0;
    // A longer name could never match: no piece is longer than 255 characters.
    if (name.size() > kMaxSectionName) {
        return;
    }
    std::string header;
    header.reserve(name.size() + 2);
    header.append("[").append(name).append("]");
    reader_.Seek(0);
    std::string piece;
    while (reader_.ReadPiece(piece)) {
        if (LineOf(piece) == header) {
            sectionName_ = name;
            sectionPos_ = reader_.Offset();
            return;
        }
    }
}

std::vector<std::optional<std::string>> CLangFile::GetMany(std::span<const long> keys) {
    std::vector<std::optional<std::string>> texts(keys.size());
    if (!reader_.IsOpen() || sectionPos_ == 0 || keys.empty()) {
        return texts;
    }
    std::size_t missing = keys.size();
    reader_.Seek(sectionPos_);
    std::string piece;
    while (missing > 0 && reader_.ReadPiece(piece)) {
        std::string_view line = LineOf(piece);
        std::size_t eq = line.find('=');
        if (eq != std::string_view::npos) {
            long key = ParseKey(line.substr(0, eq));
            for (std::size_t i = 0; i < keys.size(); ++i) {
                // The first line with a key wins over any later one.
                if (keys[i] == key && !texts[i]) {
                    texts[i].emplace(line.substr(eq + 1));
                    --missing;
                }
            }
        }
        // Checked after the key, so a key line whose text holds brackets still gives its own
        // text, yet ends the section for every key after it.
        if (EndsSection(line)) {
            break;
        }
    }
    return texts;
}

bool CLangFile::Get(long key, std::string& text) {
    auto texts = GetMany(std::span<const long>(&key, 1));
    if (!texts[0]) {
        text.clear();
        return false;
    }
    text = std::move(*texts[0]);
    return true;
}

bool CLangFile::Get(long key, char (&buffer)[256]) {
    std::string text;
    bool found = Get(key, text);
    std::size_t n = std::min(text.size(), sizeof buffer - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return found;
}

long CLangFile::ParseKey(std::string_view keyPart) {
    constexpr std::int64_t kMax = 2147483647;
    std::size_t i = 0;
    while (i < keyPart.size() && IsCSpace(keyPart[i])) {
        ++i;
    }
    bool negative = false;
    if (i < keyPart.size() && (keyPart[i] == '+' || keyPart[i] == '-')) {
        negative = keyPart[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < keyPart.size() && keyPart[i] >= '0' && keyPart[i] <= '9'; ++i) {
        value = std::min<std::int64_t>(value * 10 + (keyPart[i] - '0'), kMax + 1);
    }
    value = negative ? -value : std::min(value, kMax);
    return static_cast<long>(value);
}

std::vector<std::string> LoadLangTexts(const std::filesystem::path& file, std::string_view section,
                                       std::span<const long> keys, LangFeedback* feedback) {
    CLangFile lang(feedback);
    lang.Open(file);
    lang.Section(section);
    auto found = lang.GetMany(keys);
    lang.Close();
    std::vector<std::string> texts;
    texts.reserve(keys.size());
    for (auto& text : found) {
        if (!text) {
            LangLookupFailed(feedback);
        }
        texts.push_back(text ? std::move(*text) : std::string());
    }
    return texts;
}

} // namespace tovrin
