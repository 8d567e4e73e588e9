#pragma once

#include "core/lang/text_mode_reader.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

// How the language reader tells the windows that something is missing; the windows answer with
// their message boxes and by asking the program to quit.
class LangFeedback {
public:
    virtual ~LangFeedback() = default;
    virtual void LangOpenFailed() = 0;
    virtual void LangLookupFailed() = 0;
};

// Every window's reaction to a text it could not get. A null feedback stays silent.
void LangLookupFailed(LangFeedback* feedback);

// The language file: sections of numbered texts, in windows-1251.
//
//   [Editor]
//   1=text of key 1
//
// A section runs from its header to the next line holding both "[" and "]". The file is read
// afresh on every lookup; nothing is cached.
class CLangFile {
public:
    static constexpr std::size_t kMaxSectionName = 255;

    explicit CLangFile(LangFeedback* feedback = nullptr);
    ~CLangFile();
    CLangFile(const CLangFile&) = delete;
    CLangFile& operator=(const CLangFile&) = delete;

    // Failure tells the feedback once; every lookup then fails until a later Open succeeds.
    bool Open(const std::filesystem::path& path);
    // Selects the first section whose header line is exactly "[name]". Does nothing without an
    // open file. When no header matches, lookups fail until a later Section finds one.
    void Section(std::string_view name);
    // The text after the first "=" of the first line of the selected section whose key is `key`.
    // On failure the text is empty.
    bool Get(long key, char (&buffer)[256]);
    bool Get(long key, std::string& text);
    // Several keys in one pass over the section, each with exactly what Get would give.
    std::vector<std::optional<std::string>> GetMany(std::span<const long> keys);
    // The selected section is kept, so a reopened file can be read from where it was.
    void Close();

    [[nodiscard]] bool IsOpen() const { return reader_.IsOpen(); }
    [[nodiscard]] const std::string& SectionName() const { return sectionName_; }

    // The key of a line's part before "=", read as the C library's atol reads it: blanks, a sign,
    // then digits. A value beyond 32 bits is held at the nearest limit instead of overflowing.
    static long ParseKey(std::string_view keyPart);

private:
    LangFeedback* feedback_;
    TextModeReader reader_;
    std::string sectionName_;
    // Just after the selected section's header; 0 while none is selected.
    std::uint64_t sectionPos_ = 0;
};

// Open, select `section`, get each key, close: what every window does when it opens. A text that
// cannot be had is empty and tells the feedback once; a file that cannot be opened tells it once
// for that and then once per key.
std::vector<std::string> LoadLangTexts(const std::filesystem::path& file, std::string_view section,
                                       std::span<const long> keys, LangFeedback* feedback);

} // namespace tovrin
