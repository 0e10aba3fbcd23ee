#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "HomeFixture.h"
#include "devices/qt/ControllerDefDialog.h"
#include "devices/qt/DeviceDefDialog.h"

namespace {

using DefinitionDialogWidgets = HomeFixture;

template <typename W> W* Field(QWidget& dialog, const QString& name) {
    for (W* w : dialog.findChildren<W*>())
        if (w->accessibleName() == name || w->property("text").toString() == name)
            return w;
    return nullptr;
}

} // namespace

TEST_F(DefinitionDialogWidgets, ASwitchHidesTheRangeAndARefusedOkKeepsTheDialog) {
    MidiController controller;
    ControllerDefDialog dialog(nullptr, controller);
    dialog.show();
    auto* onOff = Field<QCheckBox>(dialog, "On/Off Controller");
    auto* low = Field<QLineEdit>(dialog, "Controller Range");
    auto* number = Field<QLineEdit>(dialog, "Controller Number");
    ASSERT_TRUE(onOff && low && number);
    EXPECT_TRUE(low->isVisible());
    onOff->setChecked(true);
    EXPECT_FALSE(low->isVisible());
    onOff->setChecked(false);
    EXPECT_TRUE(low->isVisible());

    number->setText("200");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.str(), "Input not in range(0 to 119)");
    number->setText("7");
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(controller.Number(), 7);
}

TEST_F(DefinitionDialogWidgets, TheMoveButtonsCarryTheSelectedController) {
    home.Write("A.CTR", CtrFile(1, "Mod"));
    home.Write("B.CTR", CtrFile(7, "Volume"));
    MidiDevice device;
    DeviceDefDialog dialog(nullptr, device);
    auto* available = Field<QListWidget>(dialog, "Available Controllers");
    auto* chosen = Field<QListWidget>(dialog, "Device Controllers");
    auto* add = Field<QPushButton>(dialog, "---Add--->");
    ASSERT_TRUE(available && chosen && add);
    available->setCurrentRow(1);
    add->click();
    EXPECT_EQ(available->count(), 1);
    EXPECT_EQ(available->currentRow(), 0);
    ASSERT_EQ(chosen->count(), 1);
    EXPECT_EQ(chosen->item(0)->text(), "7: Volume");
    dialog.accept();
    ASSERT_EQ(device.ControllerFiles().Count(), 1u);
    EXPECT_EQ(device.ControllerFiles()[0]->str(), "B.CTR");
}
