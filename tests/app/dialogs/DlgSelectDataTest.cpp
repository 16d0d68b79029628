#include "app/dialogs/DlgSelectData.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

namespace {

using Kind = CS2pData::PortKind;

QPushButton* Button(const QDialog& dialog, const char* name)
{
    auto* button = dialog.findChild<QPushButton*>(name);
    EXPECT_NE(button, nullptr) << name;
    return button;
}

ViewSelection Db(std::initializer_list<int> values)
{
    ViewSelection s;
    for (int v : values)
        s.emplace_back(v, 0);
    return s;
}

struct PresetCase {
    Kind kind;
    const char* button;
    ViewSelection expected;
};

TEST(DlgSelectDataTest, PresetsCheckOnlyEnabledColumns)
{
    const PresetCase cases[] = {
        {CS2pData::TWO_PORT, "presetCoupler", Db({0, 4})},
        {CS2pData::TWO_PORT, "presetAllRl", Db({0, 5})},
        {CS2pData::THREE_PORT, "presetSplitter", Db({0, 4, 8})},
        {CS2pData::THREE_PORT, "presetCoupler", Db({0, 4, 8})},
        {CS2pData::FOUR_PORT, "presetAllIl", Db({4, 8, 12})},
        {CS2pData::FOUR_PORT, "presetAllRl", Db({0, 5, 10, 15})},
        {CS2pData::TWO_PORT, "presetIlPhase", {{4, 0}, {4, 1}}},
        {CS2pData::TWO_PORT, "presetIlDelay", {{4, 0}, {4, 2}}},
        {CS2pData::TWO_PORT, "presetRlPhase", {{0, 0}, {0, 1}}},
        {CS2pData::FOUR_PORT, "presetIlRl", Db({0, 4})},
    };
    for (const PresetCase& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " port kind " + std::to_string(c.kind));
        CDlgSelectData dialog;
        dialog.maxPortKind = c.kind;
        dialog.selection = Db({5});  // replaced by every preset
        dialog.InitDialog();
        Button(dialog, c.button)->click();
        EXPECT_TRUE(Button(dialog, "okButton")->isEnabled());
        Button(dialog, "okButton")->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.selection, c.expected);
    }
}

TEST(DlgSelectDataTest, ColumnsDisabledByPortKind)
{
    const struct {
        Kind kind;
        int enabledColumns;
    } cases[] = {{CS2pData::TWO_PORT, 4}, {CS2pData::THREE_PORT, 9}, {CS2pData::FOUR_PORT, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        CDlgSelectData dialog;
        dialog.maxPortKind = c.kind;
        dialog.InitDialog();
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 16; ++col)
                EXPECT_EQ(dialog.Box(r, col)->isEnabled(), col < c.enabledColumns)
                    << r << "," << col;
    }
}

// A view left from a larger file: what the loaded files cannot show is neither shown
// ticked nor handed back.
TEST(DlgSelectDataTest, BoxesInDisabledColumnsShowClearAndAreDropped)
{
    CDlgSelectData dialog;
    dialog.maxPortKind = CS2pData::TWO_PORT;
    // All return loss of a 4-port file, and S31 phase and |S| from a 3-port one.
    dialog.selection = {{0, 0}, {5, 0}, {10, 0}, {15, 0}, {8, 1}, {8, 3}};
    dialog.InitDialog();
    for (const char* name : {"box_0_8", "box_0_15", "box_1_6", "more_3_6"}) {
        SCOPED_TRACE(name);
        QCheckBox* box = dialog.findChild<QCheckBox*>(name);
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->isChecked());
        EXPECT_FALSE(box->isEnabled());
    }
    EXPECT_TRUE(dialog.Box(0, 0)->isChecked());
    Button(dialog, "okButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selection, Db({0, 5}));

    // Nothing left that the files have: nothing ticked, OK waits for a choice.
    CDlgSelectData onlyLarger;
    onlyLarger.selection = Db({10});
    onlyLarger.InitDialog();
    EXPECT_FALSE(Button(onlyLarger, "okButton")->isEnabled());
}

TEST(DlgSelectDataTest, DefaultSelectionAndUnknownPairs)
{
    CDlgSelectData dialog;
    // Unknown formats and values are skipped without harm.
    dialog.selection = {{0, 0}, {4, 0}, {4, 7}, {16, 0}, {-1, 1}};
    dialog.show();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(dialog.Box(r, c)->isChecked(), r == 0 && c < 2) << r << "," << c;
    EXPECT_EQ(dialog.focusWidget(), Button(dialog, "presetIlRl"));
    EXPECT_TRUE(Button(dialog, "okButton")->isEnabled());
    dialog.reject();
}

// Enter presses the focused push button, as in any dialog: a preset, not OK.
TEST(DlgSelectDataTest, EnterOnTheFocusedPresetAppliesIt)
{
    CDlgSelectData dialog;
    dialog.selection = Db({5});
    dialog.show();
    QPushButton* preset = Button(dialog, "presetIlRl");
    ASSERT_EQ(dialog.focusWidget(), preset);
    QTest::keyClick(preset, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.Box(0, 0)->isChecked());   // S11
    EXPECT_TRUE(dialog.Box(0, 1)->isChecked());   // S21
    EXPECT_FALSE(dialog.Box(0, 3)->isChecked());  // S22 cleared by the preset
    dialog.reject();
}

TEST(DlgSelectDataTest, SelectionIsOrderedByFormatThenColumn)
{
    CDlgSelectData dialog;
    dialog.maxPortKind = CS2pData::FOUR_PORT;
    dialog.InitDialog();
    dialog.Box(1, 1)->click();   // S21 phase first
    dialog.Box(2, 15)->click();  // S44 delay
    dialog.Box(0, 0)->click();   // S11 dB last
    dialog.Box(0, 9)->click();   // S14 dB
    Button(dialog, "okButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const ViewSelection expected = {{0, 0}, {3, 0}, {4, 1}, {15, 2}};
    EXPECT_EQ(dialog.selection, expected);
}

TEST(DlgSelectDataTest, OkIsEnabledWhileABoxIsTicked)
{
    CDlgSelectData dialog;
    dialog.selection = Db({0, 4});
    dialog.show();
    QPushButton* ok = Button(dialog, "okButton");
    Button(dialog, "clearAllButton")->click();
    EXPECT_FALSE(ok->isEnabled());
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 16; ++c)
            EXPECT_FALSE(dialog.Box(r, c)->isChecked());

    // An empty selection cannot be confirmed, even when OK is reached another way.
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    // Ticks by hand, in either grid, enable OK; clearing the last one disables it.
    dialog.Box(0, 1)->click();
    EXPECT_TRUE(ok->isEnabled());
    dialog.Box(0, 1)->click();
    EXPECT_FALSE(ok->isEnabled());
    dialog.MoreBox(0, 1)->click();
    EXPECT_TRUE(ok->isEnabled());
    dialog.MoreBox(0, 1)->click();
    EXPECT_FALSE(ok->isEnabled());
    Button(dialog, "presetIlRl")->click();
    EXPECT_TRUE(ok->isEnabled());

    Button(dialog, "clearAllButton")->click();
    dialog.Box(1, 1)->click();  // S21 phase
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selection, (ViewSelection{{4, 1}}));
}

TEST(DlgSelectDataTest, CancelKeepsCallerSelection)
{
    CDlgSelectData dialog;
    dialog.selection = Db({0, 4});
    dialog.show();
    Button(dialog, "presetAllIl")->click();
    Button(dialog, "cancelButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.selection, Db({0, 4}));
}

}  // namespace

#include "app/dialogs/DlgSelectMatrix.h"

#include <QTableWidget>

namespace {

TEST(DlgSelectDataTest, OnePortFilesOfferS11AndPresetsFallBackToIt)
{
    CDlgSelectData dialog;
    dialog.maxPorts = 1;
    dialog.InitDialog();
    for (int c = 0; c < CSelectionGrid::COLUMNS; ++c)
        EXPECT_EQ(dialog.Box(0, c)->isEnabled(), c == 0) << c;
    struct Row {
        const char* button;
        ViewSelection expected;
    };
    const Row rows[] = {
        {"presetIlRl", Db({0})},
        {"presetIlDelay", {{0, 0}, {0, 2}}},
        {"presetAllIl", Db({0})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button);
        QTest::mouseClick(Button(dialog, row.button), Qt::LeftButton);
        dialog.accept();
        EXPECT_EQ(dialog.selection, row.expected);
    }
}

TEST(DlgSelectDataTest, MatrixDialogScalesToThirtyTwoPorts)
{
    const int n = 32;
    std::vector<int> codes;
    std::vector<std::string> names;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            codes.push_back(r * 1000 + c);
            names.push_back("S" + std::to_string(r) + "_" + std::to_string(c));
        }
    CDlgSelectMatrix dialog(n, codes, names,
                            {{0, "Log-Mag", false}, {1, "Phase", false}, {7, "R", true}});
    dialog.selection = {{2 * 1000 + 1, 1}, {5 * 1000 + 5, 7}, {9, 9}};
    dialog.InitDialog();
    EXPECT_EQ(dialog.Table(1)->item(1, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(dialog.Table(2)->item(4, 4)->checkState(), Qt::Checked);
    EXPECT_FALSE(dialog.Table(2)->item(4, 3)->flags() & Qt::ItemIsEnabled);  // no reflection
    dialog.accept();
    EXPECT_EQ(dialog.selection, (ViewSelection{{2001, 1}, {5005, 7}}));

    QTest::mouseClick(Button(dialog, "presetAllRl"), Qt::LeftButton);
    dialog.accept();
    ASSERT_EQ(dialog.selection.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(dialog.selection.back(), ValueFormatPair(32032, 0));
    QTest::mouseClick(Button(dialog, "presetAllIl"), Qt::LeftButton);
    dialog.accept();
    ASSERT_EQ(dialog.selection.size(), static_cast<std::size_t>(n - 1));
    EXPECT_EQ(dialog.selection.front(), ValueFormatPair(2001, 0));
    QTest::mouseClick(Button(dialog, "clearAllButton"), Qt::LeftButton);
    EXPECT_FALSE(Button(dialog, "okButton")->isEnabled());
    EXPECT_EQ(dialog.Table(0)->item(1, 0)->checkState(), Qt::Unchecked);
    // A tick by hand after "Clear all" can be confirmed.
    dialog.Table(1)->item(2, 0)->setCheckState(Qt::Checked);
    EXPECT_TRUE(Button(dialog, "okButton")->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.selection, (ViewSelection{{3001, 1}}));
}

}  // namespace
