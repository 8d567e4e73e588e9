// The language file as any byte sequence: open, select sections (the known ones and the input's
// own first bracketed name), look up a spread of keys, close and reopen. Also the code page
// conversions over the same bytes, checking that every byte but 0x98 comes back unchanged.
#include "core/lang/codepage.h"
#include "core/lang/lang_file.h"
#include "core/lang/names.h"
#include "fuzz/fuzz_scratch.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// The first "[name]" of the input, so the fuzzer can reach the inside of a section it made up.
std::string FirstBracketedName(std::string_view input) {
    std::size_t open = input.find('[');
    std::size_t close = open == std::string_view::npos ? open : input.find(']', open);
    return close == std::string_view::npos ? std::string()
                                           : std::string(input.substr(open + 1, close - open - 1));
}

void CheckCodepage(std::string_view input) {
    std::string expected(input);
    for (char& c : expected) {
        if (static_cast<unsigned char>(c) == 0x98) {
            c = '?';
        }
    }
    tovrin::fuzz::Check(tovrin::Utf8ToCp1251(tovrin::Cp1251ToUtf8(input)) == expected);
    bool lossy = false;
    std::string lowered = tovrin::Utf8ToCp1251(input, &lossy);
    tovrin::CharLowerCp1251(lowered);
}

class NullFeedback : public tovrin::LangFeedback {
public:
    void LangOpenFailed() override {}
    void LangLookupFailed() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckCodepage(input);
    const std::filesystem::path& file = tovrin::fuzz::WriteScratch("default.lng", data, size);

    static const long keys[] = {-1, 0, 1, 2, 3, 5, 9, 15, 22, 33, 35, 100, 65556, 2147483647};
    NullFeedback feedback;
    tovrin::CLangFile lang(&feedback);
    tovrin::fuzz::Check(lang.Open(file));
    char buffer[256];
    for (std::string section : {std::string("Editor"), FirstBracketedName(input), std::string()}) {
        lang.Section(section);
        for (long key : keys) {
            lang.Get(key, buffer);
        }
        lang.GetMany(keys);
    }
    lang.Close();
    lang.Open(file);
    lang.Get(1, buffer);
    lang.Section(std::string(300, 'x'));
    lang.Get(1, buffer);

    tovrin::LoadLangTexts(file, "Menu", keys, &feedback);
    const tovrin::NameTable names(file, &feedback);
    for (int n = 0; n <= 13; ++n) {
        (void)names.Month(n);
        (void)names.Weekday(n);
    }
    return 0;
}
