#pragma once

#include "core/lang/lang_file.h"
#include "core/store/save_result.h"

#include <QString>

#include <initializer_list>
#include <map>
#include <string_view>

namespace tovrin {

// What the windows do when the language file fails them: "Couldn't load LANGUAGE RESOURCE" when
// it cannot be opened; "Error" and a posted quit for every text that is missing, after which the
// window carries on with an empty text.
class BoxLangFeedback final : public LangFeedback {
public:
    void LangOpenFailed() override;
    void LangLookupFailed() override;
};

// The program's one instance of it.
LangFeedback* WindowLangFeedback();

// One section's texts, by key, as the widgets want them.
class LangTexts {
public:
    // Empty for a key that was not asked for or not found.
    QString Text(long key) const;
    QString operator[](long key) const { return Text(key); }
    void Set(long key, const QString& text) { texts_[key] = text; }

private:
    std::map<long, QString> texts_;
};

// Texts this program added to a window, read from Base/default.lng when the window opens (a "\n"
// in one becomes a line break), so its boxes speak the window's language even when the folder
// has gone by the time they show. Never reports anything: a language file written before a text
// existed is not at fault, and the window shows its built-in text instead.
class AddedTexts {
public:
    AddedTexts() = default;
    AddedTexts(std::string_view section, std::initializer_list<long> keys);

    // The file's text, or builtIn where the file has none or its text lacks one of builtIn's
    // placeholders (%1 to %9): a file name or a reason must never go unshown.
    QString Text(long key, const QString& builtIn) const;

private:
    std::map<long, QString> found_;
};

// One added text, read now.
QString AddedText(std::string_view section, long key, const QString& builtIn);

// The sentences of a failed save as the language file words them (section Editor, for the editor
// and its pages alike), read when a window opens.
SaveTexts LoadSaveTexts();

// Opens Base/default.lng, selects the section, gets each key and closes the file, answering
// failures through feedback (the boxes above unless a test passes its own).
LangTexts LoadSectionTexts(std::string_view section, std::initializer_list<long> keys,
                           LangFeedback* feedback = WindowLangFeedback());

} // namespace tovrin
