#include "platform/lang_texts.h"

#include "core/store/paths.h"
#include "platform/message_box.h"
#include "platform/text.h"

#include <span>
#include <string>
#include <vector>

namespace tovrin {

void BoxLangFeedback::LangOpenFailed() {
    AfxMessageBox(QStringLiteral("Couldn't load LANGUAGE RESOURCE"));
}

void BoxLangFeedback::LangLookupFailed() {
    AfxMessageBox(QStringLiteral("Error"));
    PostQuitMessage(0);
}

LangFeedback* WindowLangFeedback() {
    static BoxLangFeedback feedback;
    return &feedback;
}

QString LangTexts::Text(long key) const {
    const auto it = texts_.find(key);
    return it != texts_.end() ? it->second : QString();
}

AddedTexts::AddedTexts(std::string_view section, std::initializer_list<long> keys) {
    CLangFile lang(nullptr);
    if (!lang.Open(kLangPath)) {
        return;
    }
    lang.Section(section);
    const std::vector<long> wanted(keys);
    const auto texts = lang.GetMany(wanted);
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (texts[i]) {
            found_[wanted[i]] =
                FromCp1251(*texts[i]).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        }
    }
}

QString AddedTexts::Text(long key, const QString& builtIn) const {
    const auto it = found_.find(key);
    return it != found_.end() ? it->second : builtIn;
}

QString AddedText(std::string_view section, long key, const QString& builtIn) {
    return AddedTexts(section, {key}).Text(key, builtIn);
}

LangTexts LoadSectionTexts(std::string_view section, std::initializer_list<long> keys,
                           LangFeedback* feedback) {
    const std::vector<long> wanted(keys);
    const std::vector<std::string> found =
        LoadLangTexts(kLangPath, section, std::span<const long>(wanted), feedback);
    LangTexts texts;
    for (size_t i = 0; i < wanted.size(); ++i) {
        texts.Set(wanted[i], i < found.size() ? FromCp1251(found[i]) : QString());
    }
    return texts;
}

} // namespace tovrin
