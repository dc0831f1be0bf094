// The commands reach the menu through typed members; the names stay the
// items' object names, and a name that is not in the menu is an error.
#include "MainWindowFixture.h"
#include "app/MainActions.h"
#include "app/MainMenuBuilder.h"

#include <QMenuBar>
#include <stdexcept>

using MainActionsTest = MainWindowTest;

TEST_F(MainActionsTest, EveryMemberIsTheWindowsItemOfItsName) {
    MainActions actions = window->Actions();
    actions.ForEach([&](const QString& name, QAction*& member) {
        ASSERT_NE(member, nullptr) << name.toStdString();
        EXPECT_EQ(member->objectName(), name);
        EXPECT_EQ(window->Action(name), member) << name.toStdString();
    });
    // Menus come through their menu's action.
    EXPECT_NE(window->Actions().MNMenuPort->menu(), nullptr);
    EXPECT_EQ(window->Actions().Bitfarbe[15]->objectName(), QStringLiteral("Bitfarbe161"));
}

TEST_F(MainActionsTest, ANameTheMenuLacksIsAnError) {
    EXPECT_THROW(window->Action(QStringLiteral("Gibtsnicht1")), std::logic_error);

    QMenuBar bar;
    BuildMainMenu(&bar);
    delete bar.findChild<QAction*>(QStringLiteral("Busse1"));
    try {
        FindMainActions(&bar);
        ADD_FAILURE() << "a missing item must not be passed over";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("Busse1"), std::string::npos) << e.what();
    }
}
