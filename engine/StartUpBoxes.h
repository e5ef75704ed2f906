#pragma once
// The boxes that start-up may open, titled "Corvane Start-up": what is wrong
// with the profile files and what each choice does, and where the settings
// were carried over to.
#include "profiles/ProfileFile.h"
#include "profiles/SettingsFolder.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace corvane {

// The box that asks whether to keep the profile files aside: what is in each
// file, and what each choice does. `startProfileMissing`: the profile to start
// with is not among those the profiles file holds (or the defaults, when it
// holds none); otherwise the profiles file yielded no profile at all.
QString recoveryText(const ProfileStore& store, bool startProfileMissing, const QList<FileMove>& moves);

// The box that asks what to do with a profiles file that ends in the middle
// of a profile; `keptName` is the name its copy would take.
QString cutProfileText(const ProfileStore& store, const QString& keptName);

// The message after the profiles were carried over from the program's folder,
// or left there.
QString carriedOverText(const SettingsFolder& settings, const CarriedOver& result);

// The boxes' title and choices, in the user's language.
QString startUpTitle();
QString keepAsideChoice();
QString keepCopyChoice();
QString quitChoice();

} // namespace corvane
