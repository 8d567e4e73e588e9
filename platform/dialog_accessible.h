#pragma once

class QObject;

namespace tovrin {

// A template control that only holds a kit control's place ("IXStatic", "IXCoolPane") carries
// this property; screen readers never see it.
inline constexpr const char* kPlaceholderProperty = "tovrinPlaceholder";

// How a screen reader sees a window made from a template: a top-level window as a dialog (a
// frame when it has a menu bar) named with its title; a page inside a window as a panel named
// with its heading. Placeholders are left out of either. Installed once, by the first window.
void InstallDialogAccessible(QObject* dialog);

} // namespace tovrin
