#include "ui/win32/ToolBarImages.h"

#include "ui/FrameLayout.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The bitmaps' background; the image lists show the button's face through it.
constexpr COLORREF Background = RGB(0xC0, 0xC0, 0xC0);
// The colour that stands for "transparent" in the lists' masks: no picture uses it.
constexpr COLORREF Transparent = RGB(0xFF, 0x00, 0xFF);

// Square pictures as 32-bit pixels, rows top to bottom.
struct Picture {
    int size = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB
};

BITMAPINFO Format(int size) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size;
    format.bmiHeader.biHeight = -size; // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

std::uint32_t Pixel(COLORREF colour) {
    return static_cast<std::uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 |
           GetBValue(colour);
}

// The bitmap resource, each pixel repeated scale times in both directions.
Picture Load(const char* name, int scale) {
    Picture drawn{ToolBitmapSize, std::vector<std::uint32_t>(ToolBitmapSize * ToolBitmapSize)};
    const auto bitmap = static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    const HDC screen = ::GetDC(nullptr);
    BITMAPINFO format = Format(drawn.size);
    ::GetDIBits(screen, bitmap, 0, drawn.size, drawn.pixels.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(bitmap);
    Picture scaled{drawn.size * scale, {}};
    for (int y = 0; y < scaled.size; ++y)
        for (int x = 0; x < scaled.size; ++x) {
            const std::uint32_t pixel =
                drawn.pixels[(y / scale) * drawn.size + x / scale] & 0xFFFFFF;
            scaled.pixels.push_back(pixel == Pixel(Background) ? Pixel(Transparent) : pixel);
        }
    return scaled;
}

// Each colour as a light grey of its brightness: black lines stay the darkest, so the shapes
// within the picture still show.
Picture Greyed(Picture picture) {
    for (std::uint32_t& pixel : picture.pixels) {
        if (pixel == Pixel(Transparent))
            continue;
        const std::uint32_t brightness =
            (299 * (pixel >> 16 & 0xFF) + 587 * (pixel >> 8 & 0xFF) + 114 * (pixel & 0xFF)) / 1000;
        const std::uint32_t grey = 0x80 + brightness * (0xE8 - 0x80) / 0xFF;
        pixel = grey << 16 | grey << 8 | grey;
    }
    return picture;
}

void Add(HIMAGELIST list, const Picture& picture) {
    BITMAPINFO format = Format(picture.size);
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return;
    std::copy(picture.pixels.begin(), picture.pixels.end(), static_cast<std::uint32_t*>(bits));
    ::ImageList_AddMasked(list, bitmap, Transparent);
    ::DeleteObject(bitmap); // the list keeps a copy
}

} // namespace

ToolBarImages::ToolBarImages(std::span<const char* const> bitmapNames, int scale) {
    const int size = ToolBitmapSize * scale;
    const int count = static_cast<int>(bitmapNames.size());
    enabled_ = ::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    disabled_ = ::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    for (const char* name : bitmapNames) {
        const Picture picture = Load(name, scale);
        Add(enabled_, picture);
        Add(disabled_, Greyed(picture));
    }
}

ToolBarImages::~ToolBarImages() {
    ::ImageList_Destroy(enabled_);
    ::ImageList_Destroy(disabled_);
}
