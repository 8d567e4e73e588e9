#pragma once

class QObject;

namespace tovrin {

// How a screen reader sees an owner-drawn list: a list whose children are its rows, each named
// with its text and playing the role its owner gives it (a heading, a line of text). Lists that
// draw their own cells stay the toolkit's tables. Installed once, by the first list made.
void InstallListViewAccessible(QObject* list);

} // namespace tovrin
