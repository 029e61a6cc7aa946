// The tile editor zoomed with Ctrl+wheel: picking reads the enlarged view,
// Ctrl+0 returns to 100 %, and a zoom step keeps within the levels.

#include <QPushButton>
#include <QSpinBox>
#include <QWheelEvent>

#include "tile_editor_fixture.h"

namespace zorvane::testing {
namespace {

TEST_F(TileEditorTest, PickingWorksOnTheZoomedView) {
    const std::string ground = Bmp("g.bmp", 3, 2, 30);
    Run("MNewTile", [&] {
        dialogs.files = {ground};
        Click(editor.BtnAddGnd);
        QWheelEvent wheel(QPointF(10, 10), editor.ImgRender->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 240),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(editor.ImgRender, &wheel);
        ASSERT_EQ(editor.Square(), 96) << "two notches in: 200 %, then 300 %";
        Click(editor.BtnPickTransp);
        const QPoint at(96 + 30, 96 + 30);  // block (1, 1): index 34
        QTest::mousePress(editor.ImgRender, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(editor.ImgRender, Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(editor.SEtranspId->value(), 34);
        QTest::keyClick(editor.ImgRender, Qt::Key_0, Qt::ControlModifier);
        EXPECT_EQ(editor.Square(), 32);
        for (int i = 0; i < 9; ++i) editor.ZoomStep(-1);
        EXPECT_EQ(editor.Square(), 16) << "50 % at the least";
    });
}

}  // namespace
}  // namespace zorvane::testing
