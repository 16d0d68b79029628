#include "app/dialogs/DlgLoadData.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs/FileChooser.h"

namespace {

class FakeDataChooser : public CFileChooser {
public:
    FakeDataChooser() { previous = SetFileChooser(this); }
    ~FakeDataChooser() override { SetFileChooser(previous); }

    std::string OpenFile(QWidget* parent, const std::string& f, const std::string& suffix) override
    {
        parentSeen = parent;
        filter = f;
        defaultSuffix = suffix;
        return path;
    }
    std::string SaveFile(QWidget*, const std::string&, const std::string&,
                         const std::string&) override
    {
        return {};
    }

    std::string path;
    std::string filter;
    std::string defaultSuffix;
    QWidget* parentSeen = nullptr;

private:
    CFileChooser* previous;
};

QLineEdit* PathEdit(const CDlgLoadData& dialog, int entry)
{
    return dialog.findChild<QLineEdit*>(QString("pathEdit%1").arg(entry));
}

void Click(const CDlgLoadData& dialog, const QString& name)
{
    auto* button = dialog.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    button->click();
}

TEST(DlgLoadDataTest, ShowsPrefilledEntriesAndClears)
{
    CDlgLoadData dialog;
    dialog.paths[0] = "/data/a.s2p";
    dialog.names[0] = "a.s2p";
    dialog.paths[1] = "/data/b.s3p";
    dialog.names[1] = "b.s3p";
    dialog.show();
    EXPECT_EQ(PathEdit(dialog, 1)->text(), "/data/a.s2p");
    EXPECT_EQ(PathEdit(dialog, 2)->text(), "/data/b.s3p");
    for (int k = 3; k <= 5; ++k)
        EXPECT_TRUE(PathEdit(dialog, k)->text().isEmpty()) << k;
    Click(dialog, "clearButton1");
    EXPECT_TRUE(dialog.paths[0].empty());
    EXPECT_TRUE(dialog.names[0].empty());
    EXPECT_TRUE(PathEdit(dialog, 1)->text().isEmpty());
    EXPECT_EQ(dialog.paths[1], "/data/b.s3p");
    Click(dialog, "okButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(DlgLoadDataTest, LoadFillsOneEntryFromChooser)
{
    FakeDataChooser chooser;
    CDlgLoadData dialog;
    dialog.show();
    chooser.path = "/measure/filter.S2P";
    Click(dialog, "loadButton3");
    EXPECT_EQ(dialog.paths[2], "/measure/filter.S2P");
    EXPECT_EQ(dialog.names[2], "filter.S2P");
    EXPECT_EQ(PathEdit(dialog, 3)->text(), "/measure/filter.S2P");
    EXPECT_EQ(chooser.filter, TouchstoneFilter());
    EXPECT_EQ(chooser.defaultSuffix, "s2p");
    EXPECT_EQ(chooser.parentSeen, &dialog);

    chooser.path = "";  // cancelled: the entry keeps its file
    Click(dialog, "loadButton3");
    EXPECT_EQ(dialog.paths[2], "/measure/filter.S2P");
}

TEST(DlgLoadDataTest, TypedPathsAreTaken)
{
    FakeDataChooser chooser;
    CDlgLoadData dialog;
    dialog.paths[2] = "/data/c.s2p";
    dialog.names[2] = "c.s2p";
    dialog.paths[3] = "/data/d.s2p";
    dialog.names[3] = "d.s2p";
    dialog.show();
    EXPECT_FALSE(PathEdit(dialog, 1)->isReadOnly());
    PathEdit(dialog, 1)->setText("  /typed/by/hand.s2p ");
    PathEdit(dialog, 2)->setText("relative/b.s3p");
    PathEdit(dialog, 3)->clear();
    // A chooser on another entry keeps what was typed.
    chooser.path = "/chosen/e.s4p";
    Click(dialog, "loadButton5");
    EXPECT_EQ(PathEdit(dialog, 1)->text(), "/typed/by/hand.s2p");
    Click(dialog, "okButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.paths[0], "/typed/by/hand.s2p");
    EXPECT_EQ(dialog.names[0], "hand.s2p");
    EXPECT_EQ(dialog.paths[1], QDir::current().absoluteFilePath("relative/b.s3p").toStdString());
    EXPECT_EQ(dialog.names[1], "b.s3p");
    EXPECT_TRUE(dialog.paths[2].empty());
    EXPECT_TRUE(dialog.names[2].empty());
    EXPECT_EQ(dialog.paths[3], "/data/d.s2p");  // untouched: as pre-filled
    EXPECT_EQ(dialog.paths[4], "/chosen/e.s4p");
}

TEST(DlgLoadDataTest, EntryLabels)
{
    CDlgLoadData dialog;
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    for (int k = 1; k <= 5; ++k)
        EXPECT_TRUE(texts.contains(QString("File %1").arg(k))) << k;
}

TEST(FileChooserTest, FilterInQtForm)
{
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"Marker files (*.txt)|*.txt||", "Marker files (*.txt *.TXT)"},
        {"S-parameter files (*.s2p;*.s3p;*.s4p;*.out)|*.s2p; *.s3p; *.s4p; *.out||",
         "S-parameter files (*.s2p *.s3p *.s4p *.out *.S2P *.S3P *.S4P *.OUT)"},
        {"Text|*.txt|All files|*||", "Text (*.txt *.TXT);;All files (*)"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(QtFileFilter(c.in), c.out);
    }
}

}  // namespace
