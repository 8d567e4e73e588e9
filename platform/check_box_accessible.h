#pragma once

class QObject;

namespace tovrin {

// How a screen reader sees our check boxes: a check box whose Toggle action clicks it, as the
// mouse and Space do. The toolkit's own reading toggles the state behind the box's back, so a
// box whose owner sets its state on the click (the record edit page's modes) never heard it and
// could end up checked beside another. Installed once, by the first box made.
void InstallCheckBoxAccessible(QObject* box);

} // namespace tovrin
