#pragma once
// A small project and a renderer over it for pixel tests.

#include <gtest/gtest.h>

#include <QImage>
#include <climits>

#include "builders.h"
#include "render/bitmap_info.h"
#include "render/map_renderer.h"

namespace zorvane::testing {

inline std::uint32_t PixelAt(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

inline std::uint32_t RgbOf(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// Palette entry v of the project as 0xRRGGBB.
inline std::uint32_t PaletteRgb(const Project& p, int v) {
    return RgbOf(p.Palette[v * 4 + 2], p.Palette[v * 4 + 1], p.Palette[v * 4]);
}

inline void SetPaletteEntry(Project& p, int v, int r, int g, int b) {
    p.Palette[v * 4] = static_cast<std::uint8_t>(b);
    p.Palette[v * 4 + 1] = static_cast<std::uint8_t>(g);
    p.Palette[v * 4 + 2] = static_cast<std::uint8_t>(r);
}

class RenderTest : public ::testing::Test {
protected:
    RenderTest() : renderer(project, info) {
        FillTestPalette(project);
        project.MapWidth = 14;
        project.MapHeight = 14;
        project.NoProject = false;
        renderer.DepthLimit = INT_MAX;
        renderer.Options.ShowBorder = false;
        renderer.Resize(200, 150);
    }
    int AddBitmap(const BitmapPixels& px) { return project.AddBitmap(px.data()); }
    MapTile& AddTile(int w, int h, int x, int y, std::uint16_t gnd = NoBitmap, std::uint16_t top = NoBitmap,
                   std::uint8_t atr = 0) {
        project.UsedTiles.push_back(MakeTile(w, h, x, y, gnd, top, atr));
        return *project.UsedTiles.back();
    }
    const QImage& Draw() {
        render::ComputeBitmapInfo(project, info);
        renderer.FullRedraw();
        return renderer.Picture();
    }

    Project project;
    render::BitmapInfo info;
    render::MapRenderer renderer;
};

}  // namespace zorvane::testing
