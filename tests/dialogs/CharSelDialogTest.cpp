// The character selection dialog as a real widget on the offscreen platform.
#include "base/Sjis.h"
#include "dialogs_qt/CharSelDialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(CharSelDialog, AppliesTheSelectedNameAndNothingWithoutOne)
{
    pendar::TCharSelDialog dialog([] { return false; });
    EXPECT_EQ(QString::fromUtf8("キャラ選択"), dialog.windowTitle());
    EXPECT_EQ(QSize(225, 229), dialog.size());
    std::vector<std::string> chosen;
    dialog.onSelect = [&](const std::string& name) { chosen.push_back(name); };
    dialog.SetNames({"A", Sjis("ソレル"), "C"});
    dialog.show();

    QTest::mouseClick(dialog.SetButton(), Qt::LeftButton);
    EXPECT_TRUE(chosen.empty());

    QListWidget* list = dialog.CharListBox();
    ASSERT_EQ(3, list->count());
    EXPECT_EQ(QString::fromUtf8("ソレル"), list->item(1)->text());
    list->setCurrentRow(1);
    QTest::mouseClick(dialog.SetButton(), Qt::LeftButton);
    EXPECT_EQ((std::vector<std::string>{Sjis("ソレル")}), chosen);
    EXPECT_TRUE(dialog.isVisible()); // the dialog stays open

    const QRect row = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ((std::vector<std::string>{Sjis("ソレル"), "C"}), chosen);

    QTest::mouseClick(dialog.CloseButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(QDialog::Accepted, dialog.result());
}

TEST(CharSelDialog, KeepsAtMostTwoHundredAndFiftySixNames)
{
    pendar::TCharSelDialog dialog([] { return false; });
    dialog.SetNames(std::vector<std::string>(300, "x"));
    EXPECT_EQ(256, dialog.CharListBox()->count());
}

} // namespace
