#pragma once
// The main window's controls, found by their object names as a user finds
// them by their captions: the tests click, choose and type into these.
#include "profiles/Profile.h"
#include "ui/KeyBox.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <array>
#include <gtest/gtest.h>

namespace corvane::test {

struct FormControls {
    explicit FormControls(QWidget& form) : window(form)
    {
        // clang-format off
        const char* mappings[kMappingCount] = {"TurnLeftKey", "TurnRightKey", "LookUpKey", "LookDownKey",
                                               "LeanLeftKey", "LeanRightKey", "StartKey",  "StopKey"};
        // clang-format on
        for (int i = 0; i < kMappingCount; ++i) {
            keyChecks[i] = find<MappingButton>(QString::fromLatin1(mappings[i]) + QStringLiteral("_Check"));
            keyBoxes[i] = find<KeyBox>(QString::fromLatin1(mappings[i]) + QStringLiteral("_RichText"));
        }
    }
    template <class T>
    T* find(const QString& name) const
    {
        T* found = window.findChild<T*>(name);
        EXPECT_TRUE(found) << "the window has no control " << name.toStdString();
        return found;
    }

    QWidget& window;
    PickList* Profile_Combo = find<PickList>(QStringLiteral("Profile_Combo"));
    PickList* Location_Combo = find<PickList>(QStringLiteral("Location_Combo"));
    PickList* Speed_Combo = find<PickList>(QStringLiteral("Speed_Combo"));
    PickList* Mode_Combo = find<PickList>(QStringLiteral("Mode_Combo"));
    PickList* MouseMode_Combo = find<PickList>(QStringLiteral("MouseMode_Combo"));
    PickList* KeyMode_Combo = find<PickList>(QStringLiteral("KeyMode_Combo"));
    QPushButton* Start_Command = find<QPushButton>(QStringLiteral("Start_Command"));
    QPushButton* ShowSettings_Command = find<QPushButton>(QStringLiteral("ShowSettings_Command"));
    QPushButton* Help_Command = find<QPushButton>(QStringLiteral("Help_Command"));
    QPushButton* TollanHome_Command = find<QPushButton>(QStringLiteral("TollanHome_Command"));
    QPushButton* Cancel_Command = find<QPushButton>(QStringLiteral("Cancel_Command"));
    QPushButton* Save_Command = find<QPushButton>(QStringLiteral("Save_Command"));
    QPushButton* SaveAs_Command = find<QPushButton>(QStringLiteral("SaveAs_Command"));
    QPushButton* Delete_Command = find<QPushButton>(QStringLiteral("Delete_Command"));
    QPushButton* Dummy_Command = find<QPushButton>(QStringLiteral("Dummy_Command"));
    QTabWidget* TabStrip = find<QTabWidget>(QStringLiteral("TabStrip"));
    QWidget* Monitor_Frame = find<QWidget>(QStringLiteral("Monitor_Frame"));
    QLineEdit* LRMon_Text = find<QLineEdit>(QStringLiteral("LRMon_Text"));
    QLineEdit* UDMon_Text = find<QLineEdit>(QStringLiteral("UDMon_Text"));
    QLineEdit* SSMon_Text = find<QLineEdit>(QStringLiteral("SSMon_Text"));
    SettingPair* Magnetic = find<SettingPair>(QStringLiteral("Magnetic"));
    SettingPair* Jitter = find<SettingPair>(QStringLiteral("Jitter"));
    SettingPair* Tilt = find<SettingPair>(QStringLiteral("Tilt"));
    SettingPair* LeftRightSmooth = find<SettingPair>(QStringLiteral("LeftRightSmooth"));
    SettingPair* UpDownSmooth = find<SettingPair>(QStringLiteral("UpDownSmooth"));
    SettingPair* SideSideSmooth = find<SettingPair>(QStringLiteral("SideSideSmooth"));
    SettingPair* LeftRightSpeed = find<SettingPair>(QStringLiteral("LeftRightSpeed"));
    SettingPair* UpDownSpeed = find<SettingPair>(QStringLiteral("UpDownSpeed"));
    SettingPair* SideSideSpeed = find<SettingPair>(QStringLiteral("SideSideSpeed"));
    SettingPair* DelayMillisecs = find<SettingPair>(QStringLiteral("DelayMillisecs"));
    std::array<MappingButton*, kMappingCount> keyChecks{};
    std::array<KeyBox*, kMappingCount> keyBoxes{};
};

} // namespace corvane::test
