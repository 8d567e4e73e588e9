#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace tovrin {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path HelpSources() {
    return test::SourceDir() / "res/help";
}

// The pages the project compiles, from its [FILES] section.
std::set<std::string> ProjectFiles() {
    std::istringstream project(Slurp(HelpSources() / "tovrin.hhp"));
    std::set<std::string> files;
    bool inFiles = false;
    for (std::string line; std::getline(project, line);) {
        if (!line.empty() && line[0] == '[') {
            inFiles = line == "[FILES]";
        } else if (inFiles && !line.empty()) {
            files.insert(line);
        }
    }
    return files;
}

TEST(Help, EveryPageAndEveryLinkIsPartOfTheProject) {
    const std::set<std::string> files = ProjectFiles();
    ASSERT_TRUE(files.contains("index.html"));
    std::set<std::string> onDisk;
    for (const auto& entry : fs::directory_iterator(HelpSources())) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".html" || entry.path().extension() == ".css") {
            onDisk.insert(name);
            EXPECT_TRUE(files.contains(name)) << name << " is not compiled into the help";
        }
    }
    const std::regex link(R"re((?:href|value)="([a-z]+\.(?:html|css))(?:#[a-z]+)?")re");
    for (const std::string source :
         {"index.html", "tray.html", "editor.html", "record.html", "modes.html", "notice.html",
          "settings.html", "toc.hhc", "index.hhk"}) {
        const std::string text = Slurp(HelpSources() / source);
        ASSERT_FALSE(text.empty()) << source;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), link);
             it != std::sregex_iterator(); ++it) {
            EXPECT_TRUE(onDisk.contains((*it)[1].str())) << source << " -> " << (*it)[1];
        }
    }
}

TEST(Help, CompiledHelpHoldsEveryPage) {
    const fs::path chm = TOVRIN_HELP_FILE;
    if (!fs::exists(chm)) {
        GTEST_SKIP() << "the help was not built (no chmcmd)";
    }
    const std::string bytes = Slurp(chm);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), "ITSF");
    for (const std::string& file : ProjectFiles()) {
        EXPECT_NE(bytes.find("/" + file), std::string::npos) << file;
    }
}

} // namespace
} // namespace tovrin
