#pragma once
// The tile editor window opened from the main window's menu, with pictures
// written in the project palette for its layers.

#include <QListWidget>
#include <functional>

#include "map_edit_fixture.h"
#include "tile_editor/layer_bmp.h"
#include "tile_editor/tile_edit_window.h"

namespace zorvane::testing {

class TileEditorTest : public MapEditTest {
protected:
    TileEditorTest() : editor(window.tileEditWindow()) { list = window.findChild<QListWidget*>("LBNewTiles"); }

    // A w x h picture in the project palette: block (c, r) all index
    // base + c + r * w, with its top-left pixel 0.
    std::string Bmp(const std::string& name, int w, int h, int base) {
        LayerImage img;
        img.Reset(w * 32, h * 32);
        for (int y = 0; y < h * 32; ++y)
            for (int x = 0; x < w * 32; ++x)
                img.At(x, y) = static_cast<std::uint8_t>(x % 32 == 0 && y % 32 == 0 ? 0 : base + x / 32 + (y / 32) * w);
        const std::string path = dir.file(name);
        editor::WriteLayerBmp(img, EditorPaletteOf(window.project()), path);
        return path;
    }
    using MapEditTest::Click;
    void Click(QPushButton* b) {
        QTest::mouseClick(b, Qt::LeftButton);
        QApplication::processEvents();
    }
    // Opens the editor with `action` and runs `inside` while it is shown.
    void Run(const char* action, std::function<void()> inside) {
        bool ran = false;
        WhenModal([&] {
            ran = true;
            EXPECT_TRUE(editor.isVisible());
            inside();
            if (editor.isVisible()) editor.reject();
        });
        window.UpdateTilesListCommands();  // as opening the menu does
        Trigger(action);
        EXPECT_TRUE(ran) << action;
        EXPECT_FALSE(editor.isVisible());
    }

    editor::TileEditWindow& editor;
    QListWidget* list = nullptr;
};

}  // namespace zorvane::testing
