#pragma once
// "Start when I log in": the desktop's autostart entry (XDG autostart) that
// starts Corvane hidden, in the tray, when the user logs in.
#include <QByteArray>
#include <QString>

namespace corvane {

// The entry's place: $XDG_CONFIG_HOME/autostart (normally
// ~/.config/autostart), under the desktop entry's name.
QString autostartPath();

// The entry that starts the program at `program` (an absolute path) with
// --minimized, its path quoted as desktop entries require.
QByteArray autostartEntry(const QString& program);

// Whether the entry is there and is Corvane's.
bool autostartEnabled(const QString& path);

// Writes the entry for `program`, or removes it. Returns why that failed, in
// words for the user; empty text when it worked. Only Corvane's own entry is
// ever removed or replaced.
QString setAutostart(const QString& path, const QString& program, bool enabled);

} // namespace corvane
