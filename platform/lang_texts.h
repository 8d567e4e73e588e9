#pragma once

#include "core/lang/lang_file.h"

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

// A text this program added to a window, from Base/default.lng when the file has it (a "\n" in it
// becomes a line break), otherwise `builtIn`. Never reports anything: a language file written
// before the text existed is not at fault.
QString AddedText(std::string_view section, long key, const QString& builtIn);

// Opens Base/default.lng, selects the section, gets each key and closes the file, answering
// failures through feedback (the boxes above unless a test passes its own).
LangTexts LoadSectionTexts(std::string_view section, std::initializer_list<long> keys,
                           LangFeedback* feedback = WindowLangFeedback());

} // namespace tovrin
