#include "platform/lang_texts.h"

#include "core/lang/lang_keys.h"
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
    if (it == found_.end()) {
        return builtIn;
    }
    for (char digit = '1'; digit <= '9'; ++digit) {
        const QString placeholder = QStringLiteral("%") + QLatin1Char(digit);
        if (builtIn.contains(placeholder) && !it->second.contains(placeholder)) {
            return builtIn;
        }
    }
    return it->second;
}

QString AddedText(std::string_view section, long key, const QString& builtIn) {
    return AddedTexts(section, {key}).Text(key, builtIn);
}

SaveTexts LoadSaveTexts() {
    const AddedTexts added(kLangEditor,
                           {kEditorSaveWrite, kEditorSaveReadOnly, kEditorSaveTemporary,
                            kEditorSaveReplace, kEditorSaveUnconfirmed, kEditorSaveLink});
    SaveTexts texts;
    const auto take = [&added](long key, std::string& text) {
        text = added.Text(key, QString::fromStdString(text)).toStdString();
    };
    take(kEditorSaveWrite, texts.write);
    take(kEditorSaveReadOnly, texts.readOnly);
    take(kEditorSaveTemporary, texts.temporary);
    take(kEditorSaveReplace, texts.replace);
    take(kEditorSaveUnconfirmed, texts.unconfirmed);
    take(kEditorSaveLink, texts.link);
    return texts;
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
