#pragma once

#include <QString>

namespace tovrin {

// A window that hands its controls their texts by key, from wherever it keeps them (the editor:
// its section of the language file). The navigation pane asks it for every caption, every time
// it lays out or paints, so a text changed in between shows at once.
class TextSource {
public:
    virtual ~TextSource() = default;
    // An empty text when the key is unknown.
    virtual QString OnGetText(int key) = 0;
};

} // namespace tovrin
