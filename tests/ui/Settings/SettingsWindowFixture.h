#pragma once

#include "UI/Settings/SettingsNavigation.h"
#include "UI/Settings/SettingsWindowController.h"

#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// A settings window over its own pane selection, with pages that record their creation.
class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller = std::make_unique<SettingsWindowController>(
            navigation,
            [this](SettingsTab tab) {
                created.push_back(tab);
                return new QWidget;
            },
            [this] { ++closes; });
    }

    void TearDown() override { controller.reset(); }

    QToolButton* button(SettingsTab tab) const
    {
        return controller->window()->findChild<QToolButton*>(SettingsWindowController::identifier(tab));
    }

    // The panes whose buttons are checked, in toolbar order.
    std::vector<SettingsTab> checkedPanes() const
    {
        std::vector<SettingsTab> checked;
        for (SettingsTab tab : SettingsTabs::allCases()) {
            if (button(tab) && button(tab)->isChecked())
                checked.push_back(tab);
        }
        return checked;
    }

    SettingsNavigation navigation;
    std::vector<SettingsTab> created;
    int closes = 0;
    std::unique_ptr<SettingsWindowController> controller;
};
