#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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

// The pages and style sheets a help file points at (href="page.html#part", value="page.html"),
// without any web address.
std::vector<std::string> LocalLinks(const std::string& text) {
    std::vector<std::string> links;
    for (const std::string attribute : {"href=\"", "value=\""}) {
        for (std::size_t at = text.find(attribute); at != std::string::npos;
             at = text.find(attribute, at + 1)) {
            const std::size_t start = at + attribute.size();
            std::string target = text.substr(start, text.find('"', start) - start);
            target = target.substr(0, target.find('#'));
            if (target.ends_with(".html") || target.ends_with(".css")) {
                links.push_back(target);
            }
        }
    }
    return links;
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
    for (const std::string source :
         {"index.html", "tray.html", "editor.html", "record.html", "modes.html", "notice.html",
          "settings.html", "toc.hhc", "index.hhk"}) {
        const std::string text = Slurp(HelpSources() / source);
        ASSERT_FALSE(text.empty()) << source;
        for (const std::string& target : LocalLinks(text)) {
            EXPECT_TRUE(onDisk.contains(target)) << source << " -> " << target;
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
