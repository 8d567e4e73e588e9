// Code page conversion of 100,000 reminder texts against copying the same bytes, and against the
// C library's converter called per text; language lookups as the windows make them.
#include "core/lang/codepage.h"
#include "core/lang/lang_file.h"
#include "core/lang/lang_keys.h"
#include "core/lang/names.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <string>
#include <vector>

namespace {

constexpr int kTexts = 100000;

// Reminder-like texts of 20 to 80 bytes, mostly Cyrillic with digits and punctuation.
const std::vector<std::string>& Cp1251Texts() {
    static const std::vector<std::string> texts = [] {
        const std::string words[] = {"\xC2\xF1\xF2\xF0\xE5\xF7\xE0",
                                     "\xF1",
                                     "\xE2\xF0\xE0\xF7\xEE\xEC",
                                     "14:30",
                                     "\xE4\xE5\xED\xFC",
                                     "\xF0\xEE\xE6\xE4\xE5\xED\xE8\xFF",
                                     "\xB9",
                                     "5",
                                     "\xAB\xCF\xF0\xEE\xE5\xEA\xF2\xBB,"};
        std::vector<std::string> out;
        out.reserve(kTexts);
        for (int i = 0; i < kTexts; ++i) {
            std::string text;
            for (int w = i; text.size() < 20u + static_cast<unsigned>(i % 60); w = w * 7 + 3) {
                text += words[static_cast<unsigned>(w) % std::size(words)];
                text += ' ';
            }
            text.resize(std::min<std::size_t>(text.size(), 80));
            out.push_back(text);
        }
        return out;
    }();
    return texts;
}

const std::vector<std::string>& Utf8Texts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        for (const auto& t : Cp1251Texts()) {
            out.push_back(tovrin::Cp1251ToUtf8(t));
        }
        return out;
    }();
    return texts;
}

void BM_CopyTextsFloor(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& t : Cp1251Texts()) {
            std::string copy(t);
            benchmark::DoNotOptimize(copy.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_CopyTextsFloor);

void BM_Cp1251ToUtf8(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& t : Cp1251Texts()) {
            benchmark::DoNotOptimize(tovrin::Cp1251ToUtf8(t).data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_Cp1251ToUtf8);

void BM_Cp1251ToUtf8IconvPerText(benchmark::State& state) {
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1251");
    std::string out(256, '\0');
    for (auto _ : state) {
        for (const auto& t : Cp1251Texts()) {
            char* in = const_cast<char*>(t.data());
            char* o = out.data();
            std::size_t inLeft = t.size();
            std::size_t outLeft = out.size();
            iconv(cd, &in, &inLeft, &o, &outLeft);
            benchmark::DoNotOptimize(o);
        }
    }
    iconv_close(cd);
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_Cp1251ToUtf8IconvPerText);

void BM_Utf8ToCp1251(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& t : Utf8Texts()) {
            benchmark::DoNotOptimize(tovrin::Utf8ToCp1251(t).data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_Utf8ToCp1251);

// A language file shaped like the shipped one: every section, every key, a comment line.
class LangDir {
public:
    LangDir() : dir_(std::filesystem::temp_directory_path() / "tovrin-lang-bench") {
        std::filesystem::create_directories(dir_ / "Base");
        std::ofstream out(dir_ / "Base/default.lng", std::ios::binary);
        out << "; comment\r\n";
        std::string_view section;
        for (const auto& k : tovrin::kLangKeys) {
            if (k.section != section) {
                section = k.section;
                out << "\r\n[" << section << "]\r\n";
            }
            out << k.key << "=\xD2\xE5\xEA\xF1\xF2 " << k.key << "\r\n";
        }
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    ~LangDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

void BM_LoadEditorTexts(benchmark::State& state) {
    LangDir dir;
    std::vector<long> keys;
    for (long k = 1; k <= 35; ++k) {
        keys.push_back(k);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tovrin::LoadLangTexts("Base/default.lng", "Editor", keys, nullptr).data());
    }
}
BENCHMARK(BM_LoadEditorTexts);

void BM_NameTableLoad(benchmark::State& state) {
    LangDir dir;
    for (auto _ : state) {
        const tovrin::NameTable table("Base/default.lng", nullptr);
        benchmark::DoNotOptimize(table.Month(12).data());
    }
}
BENCHMARK(BM_NameTableLoad);

// What the table saves: one file open and scan per name.
void BM_MonthNamePerCall(benchmark::State& state) {
    LangDir dir;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tovrin::MonthName(12, nullptr).data());
    }
}
BENCHMARK(BM_MonthNamePerCall);

} // namespace

BENCHMARK_MAIN();
