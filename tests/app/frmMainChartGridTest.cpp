// The chart pop-up menu's grid toggle: checked as the settings keep it,
// switching every chart page, written back, and read again at the next start.
#include <QAction>
#include <QMenu>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "chart/ChartView.h"
#include "support/ProgramFixture.h"

namespace {

class ChartGridToggleTest : public ProgramFixture {
protected:
    QAction* GridItem() const {
        auto* menu = main->findChild<QMenu*>(QStringLiteral("mnuPopUp2"));
        if (!menu) return nullptr;
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QStringLiteral("mnuViewGrid2")) return action;
        }
        return nullptr;
    }
    void TearDown() override { ChartView::SetGridLinesForAll(false); }
};

TEST_F(ChartGridToggleTest, TheToggleIsKeptInTheSettings) {
    QAction* grid = GridItem();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->text(), StringTable::Text(Str::kChartGridLines));
    EXPECT_TRUE(grid->isCheckable());
    EXPECT_FALSE(grid->isChecked());
    EXPECT_FALSE(ChartView::GridLinesDefault());
    ChartView chart;
    EXPECT_FALSE(chart.GridLines());

    grid->trigger();
    EXPECT_TRUE(chart.GridLines());
    EXPECT_TRUE(ChartView::GridLinesDefault());
    EXPECT_TRUE(store->ReadBool(QStringLiteral("ChartGridLines"), false));

    // The next start reads it back.
    ChartView::SetGridLinesForAll(false);
    frmMain::Options options;
    options.store = store.get();
    options.programFolder = dir.path();
    options.port = &port;
    options.pump = &pump;
    options.presenter = &presenter;
    options.dialogs = &dialogs;
    main.reset();
    main = std::make_unique<frmMain>(options);
    ASSERT_NE(GridItem(), nullptr);
    EXPECT_TRUE(GridItem()->isChecked());
    EXPECT_TRUE(ChartView::GridLinesDefault());

    GridItem()->trigger();
    EXPECT_FALSE(store->ReadBool(QStringLiteral("ChartGridLines"), true));
    EXPECT_FALSE(chart.GridLines());
}

}  // namespace
